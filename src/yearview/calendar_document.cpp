#include "yearview/calendar_document.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <optional>

#include "data/atomic_file.h"
#include "data/error.h"
#include "data/events.h"
#include "data/index_names.h"
#include "exchange/delimited_text.h"
#include "exchange/ical_import.h"
#include "exchange/icalendar_export.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kYear = "FrmYear";

}  // namespace

CalendarDocument::CalendarDocument(AppContext& context, data::EventTables& calendar,
                                   app::CalendarLock lock, bool read_only, QWidget& window,
                                   Hooks hooks)
    : context_(context),
      calendar_(calendar),
      lock_(std::move(lock)),
      readOnly_(read_only),
      window_(window),
      hooks_(std::move(hooks)) {}

bool CalendarDocument::Open(const QString& path, QString* error) {
    try {
        calendar_.OpenCalendar(path.toStdString());
    } catch (const data::Error& e) {
        if (error) *error = context_.ErrorText(e);
        return false;
    } catch (const std::exception& e) {
        if (error) *error = QString::fromStdString(e.what());
        return false;
    }
    return true;
}

QString CalendarDocument::FileName() const {
    return QString::fromStdString(calendar_.FileName().string());
}

QString CalendarDocument::Title() const {
    const QString file = FileName();
    return file.isEmpty() ? context_.Text(kYear, "NoTitle") : QFileInfo(file).completeBaseName();
}

bool CalendarDocument::Modified() const {
    return calendar_.Modified();
}

void CalendarDocument::ShowError(const QString& text) const {
    context_.Ui->Tell(&window_, QMessageBox::Warning, Title(), text);
}

bool CalendarDocument::Save() {
    if (readOnly_) return false;
    if (FileName().isEmpty()) return SaveAs();
    try {
        calendar_.SaveCalendar();  // has a file name, so it saves
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        return false;
    }
    if (hooks_.Saved) hooks_.Saved();
    return true;
}

bool CalendarDocument::SaveAs() {
    const std::optional<QString> chosen = context_.Ui->GetSaveFile(
        &window_, context_.Text(kYear, "dlgSave_Title"),
        QtFileFilter(context_.Text(kYear, "dlgSave_Filter")), QStringLiteral("yrb"), Title());
    if (!chosen) return false;
    const std::string path = chosen->toStdString();
    // The document keeps one lock, that of the file it writes: it takes the new path's
    // lock before saving and gives up the old one only once the save succeeded. A file
    // another window holds for writing is not overwritten.
    app::CalendarLock new_lock;
    const bool same_lock = lock_.Held() && lock_.LockPath() == app::LockFileName(path);
    if (!same_lock && !new_lock.TryAcquire(path)) {
        ShowError(context_.Text(kYear, "SaveAsLocked").arg(*chosen));
        return false;
    }
    try {
        calendar_.SaveCalendarAs(path);
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        return false;  // new_lock goes with this scope; the old lock stays
    }
    if (!same_lock) lock_ = std::move(new_lock);
    // The document now writes the file it saved, under that file's lock.
    readOnly_ = false;
    if (hooks_.Saved) hooks_.Saved();
    return true;
}

bool CalendarDocument::QueryClose() {
    if (!calendar_.Modified()) return true;
    if (readOnly_) {
        // The file itself is not to be written, but the changes are the user's: they go
        // only when the user says so.
        const auto answer = context_.Ui->AskWithTexts(
            &window_, QMessageBox::Question, context_.Text(kYear, "Close"),
            context_.Text(kYear, "ReadOnlyChanges"),
            {{QMessageBox::Save, context_.Text(kYear, "btnSaveAs")},
             {QMessageBox::Discard, context_.Text(kYear, "btnDiscard")},
             {QMessageBox::Cancel, context_.Text(kYear, "btnCancel")}});
        if (answer == QMessageBox::Save) return SaveAs();
        return answer == QMessageBox::Discard;
    }
    const auto answer =
        context_.Ui->Ask(&window_, QMessageBox::Question, context_.Text(kYear, "Close"),
                         context_.Text(kYear, "SaveChanges"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return Save();
    return answer == QMessageBox::No;
}

void CalendarDocument::Export(int year, bool gregorian, const std::vector<data::ListRow>* list_rows,
                              const exchange::DisplayDate& display) {
    const QString ics_filter = QtFileFilter(context_.Text(kYear, "ExportIcs_Filter"));
    const QString filter =
        QtFileFilter(context_.Text(kYear, "Export_Filter")) + QStringLiteral(";;") + ics_filter;
    QString chosen_filter;
    const std::optional<QString> chosen =
        context_.Ui->GetSaveFile(&window_, context_.Text(kYear, "Export_Title"), filter,
                                 QStringLiteral("csv"), Title(), &chosen_filter);
    if (!chosen) return;
    // The file type chosen decides the format; with "All files" the name's extension does.
    const bool ics = chosen_filter == ics_filter ||
                     (FilterSuffix(chosen_filter).isEmpty() &&
                      chosen->endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive));
    if (ics) {
        ExportICalendar(*chosen, year, gregorian);
        return;
    }
    const auto is_shown = [this](std::int32_t group) {
        return context_.Groups->IsGroupShown(group);
    };
    if (list_rows) {
        try {
            exchange::ExportList(*list_rows, chosen->toStdString(), ",", display, is_shown);
        } catch (const data::Error& e) {
            ShowError(context_.ErrorText(e));
        }
        return;
    }
    try {
        exchange::ExportTable(calendar_.CdsEvents(), chosen->toStdString(), ",", "Ev_gp_no",
                              is_shown);
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
    }
    calendar_.CdsEvents().SetCurrentIndex(data::kIxEvNo);
}

// Other calendar programs read the year's days as iCalendar all-day events.
void CalendarDocument::ExportICalendar(const QString& path, int year, bool gregorian) {
    std::string text;
    try {
        text = exchange::ExportICalendar(calendar_, *context_.Groups, year, gregorian,
                                         Title().toStdString());
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        return;
    }
    try {
        data::WriteFileAtomically(path.toStdString(), text);
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
    }
}

bool CalendarDocument::Import(const QString& path, int shown_year, bool gregorian) {
    data::Table& events = calendar_.CdsEvents();
    const int before = events.RecordCount();
    const std::string file = path.toStdString();
    bool complete = true;
    std::optional<exchange::IcsImportReport> report;
    try {
        const exchange::ImportSource source = exchange::ReadImportFile(file);
        if (source.icalendar) {
            report = ImportICalendar(path, source.text, shown_year, gregorian);
            complete = report && report->skipped == 0;
        } else {
            exchange::ImportText(events, source.text, ",", data::kEventRuleColumns, file);
        }
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        complete = false;
    }
    // The lines read before a faulty one stay imported, so they count as a change too.
    if (events.RecordCount() != before && hooks_.EventsChanged) hooks_.EventsChanged();
    // Told over the year that already shows the new days.
    if (report) ShowImportReport(*report);
    return complete;
}

std::optional<exchange::IcsImportReport> CalendarDocument::ImportICalendar(const QString& path,
                                                                           const std::string& text,
                                                                           int shown_year,
                                                                           bool gregorian) {
    const std::string file = path.toStdString();
    // A file that is no calendar is told before anything is asked.
    exchange::CheckICalendarText(text, file);
    const std::optional<IcsImportChoice> choice =
        context_.Ui->AskIcsImport(&window_, context_, {std::nullopt, shown_year, shown_year + 2});
    if (!choice) return std::nullopt;
    exchange::IcsImportOptions options;
    options.group = choice->Group;
    options.expand_from = choice->ExpandFrom;
    options.expand_to = choice->ExpandTo;
    options.gregorian = gregorian;
    options.zone = {context_.Settings.ZoneName, app::ZoneHours(context_.Settings)};
    return exchange::ImportICalendarText(calendar_.CdsEvents(), context_.Groups->CdsGroups(), text,
                                         options, file);
}

void CalendarDocument::ShowImportReport(const exchange::IcsImportReport& report) const {
    QStringList details;
    for (const data::Error& note : report.notes) details << context_.ErrorText(note);
    context_.Ui->TellWithDetails(
        &window_, report.skipped > 0 ? QMessageBox::Warning : QMessageBox::Information, Title(),
        context_.ErrorText(report.Summary()), details.join(QStringLiteral("\n\n")));
}

bool CalendarDocument::Print(QPrinter& printer, const std::function<void(QPainter&)>& draw_page) {
    // Printing to a file (a PDF) writes a temporary file that replaces the chosen one only
    // once complete, so a failed or cut-off print leaves an existing file as it was.
    const QString target = printer.outputFileName();
    std::optional<data::AtomicFile> file;
    try {
        if (!target.isEmpty()) {
            file.emplace(target.toStdString());
            printer.setOutputFileName(QString::fromStdString(file->WritePath().string()));
        }
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        return false;
    }
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        draw_page(painter);
        printed = painter.end();
    }
    if (file) printer.setOutputFileName(target);
    if (!printed) {
        ShowError(context_.Text(kYear, "PrintFailed"));
        return false;
    }
    try {
        if (file) file->Commit();
    } catch (const data::Error& e) {
        ShowError(context_.ErrorText(e));
        return false;
    }
    return true;
}

}  // namespace yorbel::gui
