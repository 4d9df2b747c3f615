// The file side of a year window: opening and saving its calendar under the lock of the
// file it writes, the save question on closing, export, import and printing. The window
// owns it, the calendar tables it works on and the drawing it prints.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/lock_file.h"
#include "data/list_rows.h"
#include "exchange/ical_import.h"
#include "exchange/list_export.h"

class QPainter;
class QPrinter;
class QWidget;

namespace yorbel::data {
class EventTables;
}

namespace yorbel::gui {

struct AppContext;

class CalendarDocument {
  public:
    // What the window does after the document changed under it.
    struct Hooks {
        std::function<void()> Saved;          // a save succeeded: file name and state moved
        std::function<void()> EventsChanged;  // an import added events
    };

    // Dialogs and messages are shown over window. A held lock is released with the
    // document, or earlier by ReleaseLock.
    CalendarDocument(AppContext& context, data::EventTables& calendar, app::CalendarLock lock,
                     bool read_only, QWidget& window, Hooks hooks);

    // Loads the file (empty: starts an empty calendar). False with the message in error
    // when it cannot be read.
    bool Open(const QString& path, QString* error);
    // Saves under the file's name, asking for one when it has none; never in a read-only
    // document.
    bool Save();
    // Also in a read-only document, which then writes the new file.
    bool SaveAs();
    // The save question of a modified calendar (for a read-only one: Save As, Discard or
    // Cancel); true when the window may close.
    bool QueryClose();

    // Delimited text of the events (of the list rows, when given, with their dates as
    // display shows them), or an iCalendar file of the year's days when the chosen name
    // ends in ".ics".
    void Export(int year, bool gregorian, const std::vector<data::ListRow>* list_rows,
                const exchange::DisplayDate& display);
    // Appends the events of a delimited-text or iCalendar file (told by its content, or a
    // name ending in .ics); false when not all of it was read or the user cancelled. An
    // iCalendar import asks for its group and expansion years, proposing shown_year and
    // the two after it, and reports what became of the events.
    bool Import(const QString& path, int shown_year, bool gregorian);
    // Prints one page drawn by draw_page. Printing to a file replaces an existing file
    // only once the new one is complete.
    bool Print(QPrinter& printer, const std::function<void(QPainter&)>& draw_page);

    QString FileName() const;
    // The file's base name, or the untitled text of a new calendar.
    QString Title() const;
    bool Modified() const;
    bool ReadOnly() const { return readOnly_; }
    bool HoldsLock() const { return lock_.Held(); }
    QString LockPath() const { return QString::fromStdString(lock_.LockPath()); }
    void ReleaseLock() { lock_.Release(); }

    // A warning over the window, titled with the document's title.
    void ShowError(const QString& text) const;

  private:
    void ExportICalendar(const QString& path, int year, bool gregorian);
    // None when the user cancelled.
    std::optional<exchange::IcsImportReport> ImportICalendar(const QString& path,
                                                             const std::string& text,
                                                             int shown_year, bool gregorian);
    void ShowImportReport(const exchange::IcsImportReport& report) const;

    AppContext& context_;
    data::EventTables& calendar_;
    app::CalendarLock lock_;
    bool readOnly_;
    QWidget& window_;
    Hooks hooks_;
};

}  // namespace yorbel::gui
