// yorbel-cli render: the year view as the year window paints it, into a PNG, SVG or PDF
// file, on Qt's offscreen platform so that no display is needed.
#include <QGuiApplication>
#include <QLocale>
#include <array>
#include <iostream>

#include "app/language_file.h"
#include "calendar/dates.h"
#include "cli/args.h"
#include "cli/calendar_files.h"
#include "cli/calendar_source.h"
#include "cli/commands.h"
#include "cli/output.h"
#include "cli/year_picture.h"
#include "data/atomic_file.h"
#include "data/occurrences.h"
#include "paint/year_style_settings.h"

namespace yorbel::cli {

namespace {

constexpr std::string_view kUsageHead =
    "yorbel-cli render CALENDAR --year Y -o FILE.png|FILE.svg|FILE.pdf [--size WxH]\n"
    "                  [--language de|en] [--julian] [--groups FILE]\n"
    "    The year view of the calendar file as the year window paints it with the\n"
    "    default display settings, without a display. The file's extension picks\n"
    "    the format; a PDF has one page of the picture's size in points. Without\n"
    "    --size the picture has the window's own size for its font. --language\n"
    "    picks the month and weekday names (default: the stored interface language).\n";

constexpr std::array<OptionSpec, 6> kOptions{{
    {"year", true},
    {"output", true},
    {"size", true},
    {"language", true},
    {"julian", false},
    {"groups", true},
}};

constexpr int kMaxSide = 10000;

// "-o" is the one short option: the usual spelling of an output file.
std::vector<std::string> WithLongOutput(std::span<const std::string> words) {
    std::vector<std::string> result(words.begin(), words.end());
    for (std::string& word : result) {
        if (word == "-o")
            word = "--output";
        else if (word.starts_with("-o="))
            word = "--output" + word.substr(2);
    }
    return result;
}

QSize ReadSize(std::string_view text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        throw UsageError(Concat("--size expects WxH, not '", text, "'"));
    return {ReadInteger("--size width", text.substr(0, x), 100, kMaxSide),
            ReadInteger("--size height", text.substr(x + 1), 100, kMaxSide)};
}

gui::YearStyle DisplayStyle(bool gregorian, bool english) {
    gui::YearStyle style;
    gui::ApplyDisplaySettings(style, app::Settings{});
    style.Gregorian = gregorian;
    const app::Language language = english ? app::Language::English : app::Language::German;
    const app::LanguageFile texts =
        app::LanguageFile::Load(ProgramFolder() / std::string(app::LanguageFileName(language)));
    style.WeekLabel = QString::fromStdString(texts.Text("FrmYear", "Kw"));
    gui::FillLocaleNames(style, QLocale(english ? QLocale::English : QLocale::German));
    return style;
}

int RunRender(std::span<const std::string> words, std::ostream& out) {
    const std::vector<std::string> long_words = WithLongOutput(words);
    const Args args = Args::Parse(long_words, kOptions);
    if (args.help()) {
        out << kUsageHead << kGroupFileHelp;
        return 0;
    }
    if (args.positional().size() != 1) throw UsageError("expects exactly one CALENDAR file");
    const auto year_text = args.value("year");
    if (!year_text) throw UsageError("--year is required");
    const int year = ReadInteger("--year", *year_text, calendar::kMinYear, calendar::kMaxYear);
    const auto output = args.value("output");
    if (!output || output->empty()) throw UsageError("-o FILE is required");
    const auto format = PictureFormatOf(*output);
    if (!format) throw UsageError(Concat("-o: '", *output, "' does not end in .png, .svg or .pdf"));
    bool english = StoredLanguageIsEnglish();
    if (const auto language = args.value("language")) {
        constexpr std::array<std::string_view, 2> kLanguages{"de", "en"};
        english = ReadChoice("--language", *language, kLanguages) == 1;
    }
    YearPictureSpec picture;
    if (const auto size = args.value("size")) picture.size = ReadSize(*size);
    picture.year = year;
    const bool gregorian = !args.flag("julian");

    CalendarSource source(args.positional()[0], args.value("groups"), std::cerr);
    data::Table& dates = source.Occurrences(year, gregorian);

    // Text needs fonts, and fonts need an application; the offscreen platform needs no
    // display server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes on the environment (no runtime folder, ...) are no concern of a script.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << "yorbel-cli render: " << text.toStdString() << '\n';
    });
    int argc = 1;
    char name[] = "yorbel-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);

    picture.style = DisplayStyle(gregorian, english);
    picture.day_color = [&dates](const std::string& date, std::int32_t fallback) {
        return data::DayColor(dates, date, fallback);
    };
    data::WriteFileAtomically(*output, YearPictureBytes(*format, picture));
    return 0;
}

}  // namespace

Command RenderCommand() {
    static const std::string usage = Concat(kUsageHead, kGroupFileHelp);
    return {"render", usage, RunRender};
}

}  // namespace yorbel::cli
