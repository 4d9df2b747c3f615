#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include "data/events.h"

namespace yorbel::test {

QColor SwatchColor(const QIcon& icon) {
    return icon.pixmap(14, 14).toImage().pixelColor(7, 7);
}

std::optional<gui::OpenChoice> ScriptedDialogs::GetOpenFile(QWidget*, const QString&,
                                                            const QString&, const QString&) {
    if (open_answers.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    const gui::OpenChoice answer = open_answers.front();
    open_answers.pop_front();
    if (answer.Path.isEmpty()) return std::nullopt;
    NoteFolderOf(answer.Path);
    return answer;
}

std::optional<QString> ScriptedDialogs::GetSaveFile(QWidget*, const QString& title,
                                                    const QString& filter, const QString&,
                                                    const QString&, QString* chosen_filter) {
    save_titles << title;
    if (save_answers.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    QString answer = save_answers.front();
    save_answers.pop_front();
    QString type = QFileInfo(answer).suffix();
    if (!save_types.empty()) {
        type = save_types.front();
        save_types.pop_front();
    }
    const QStringList entries = filter.split(QStringLiteral(";;"));
    QString entry = entries.constFirst();
    for (const QString& e : entries) {
        if (gui::FilterSuffix(e) == type) entry = e;
    }
    if (answer.isEmpty()) return std::nullopt;
    if (QFileInfo(answer).suffix().isEmpty() && !gui::FilterSuffix(entry).isEmpty())
        answer += QLatin1Char('.') + gui::FilterSuffix(entry);
    if (chosen_filter) *chosen_filter = entry;
    return answer;
}

bool ScriptedDialogs::SetUpPrinter(QWidget*, QPrinter& printer) {
    print_doc_name = printer.docName();
    if (print_to.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(print_to);
    return true;
}

QMessageBox::StandardButton ScriptedDialogs::Ask(QWidget*, QMessageBox::Icon, const QString&,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons) {
    asked << text;
    if (ask_answers.empty()) {
        ++unexpected;
        return QMessageBox::Cancel;
    }
    const auto answer = ask_answers.front();
    ask_answers.pop_front();
    return answer;
}

std::optional<gui::IcsImportChoice> ScriptedDialogs::AskIcsImport(
    QWidget*, const gui::AppContext&, const gui::IcsImportChoice& proposal) {
    ics_proposals.push_back(proposal);
    if (ics_answers.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    const auto answer = ics_answers.front();
    ics_answers.pop_front();
    return answer;
}

QMessageBox::StandardButton ScriptedDialogs::AskWithTexts(QWidget* parent, QMessageBox::Icon icon,
                                                          const QString& caption,
                                                          const QString& text,
                                                          const ButtonTexts& buttons,
                                                          QMessageBox::StandardButton safe_button) {
    for (const auto& [button, label] : buttons) button_texts << label;
    return Dialogs::AskWithTexts(parent, icon, caption, text, buttons, safe_button);
}

void ScriptedDialogs::Tell(QWidget*, QMessageBox::Icon, const QString&, const QString& text) {
    told << text;
}

TestApp::TestApp() {
    const QString bin = QStringLiteral(YORBEL_BIN_DIR) + QLatin1Char('/');
    context_.ProgramFolder = dir_.filePath(QStringLiteral("program")) + QLatin1Char('/');
    QDir().mkpath(context_.ProgramFolder);
    context_.Language =
        app::LanguageFile::Load((bin + QStringLiteral("english.spr")).toStdString());
    context_.Settings = app::StartSettings(store_).settings;
    context_.Settings.AdaptToFont = false;
    context_.Settings.YearFontName = "DejaVu Sans";
    context_.Store = &store_;

    groups_ = std::make_unique<data::Groups>(dir_.filePath(QStringLiteral("data")).toStdString());
    QDir().mkpath(dir_.filePath(QStringLiteral("data")));
    groups_->LoadGroups(true);
    data::Table& table = groups_->CdsGroups();
    const auto add = [&table](const char* name, std::int32_t colour, bool shown) {
        table.Append();
        table.SetText(data::Gp_name, name);
        table.SetInteger(data::Gp_color, colour);
        table.SetBoolean(data::Gp_free, false);
        table.SetInteger(data::Gp_show, shown ? 1 : 0);
        table.Post();
    };
    add("Shown", kShownColor, true);
    add("Hidden", kHiddenColor, false);
    context_.Groups = groups_.get();
    context_.Ui = &dialogs_;
}

QString TestApp::MakeCalendar(const QString& name, const std::vector<EventRow>& events) {
    data::EventTables tables(groups_->CdsGroups());
    tables.OpenCalendar({});
    data::Table& table = tables.CdsEvents();
    for (const EventRow& row : events) {
        table.Append();
        table.SetText(data::Ev_name, row.name);
        table.SetInteger(data::Ev_Type, row.type);
        table.SetInteger(data::Ev_repeat, row.repeat);
        table.SetText(data::Ev_from, row.from);
        if (!row.to.empty()) table.SetText(data::Ev_to, row.to);
        table.SetInteger(data::Ev_gp_no, row.group);
        table.Post();
    }
    const QString path = dir_.filePath(name);
    tables.SaveCalendarAs(path.toStdString());
    return path;
}

int PdfPageCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF")) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(bytes).count(page));
}

QString PdfInfo(const QString& path, const QString& field) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path});
    if (!pdfinfo.waitForFinished() || pdfinfo.exitCode() != 0) return {};
    const QString prefix = field + QLatin1Char(':');
    for (const QString& line : QString::fromUtf8(pdfinfo.readAllStandardOutput()).split('\n'))
        if (line.startsWith(prefix)) return line.mid(prefix.size()).trimmed();
    return QStringLiteral("");
}

}  // namespace yorbel::test
