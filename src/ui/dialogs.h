// Every question and file or print dialog the windows show goes through this interface,
// so the widget tests can answer them without a person at the screen.
#pragma once

#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QPrinter;
class QWidget;

namespace yorbel::gui {

struct AppContext;

struct OpenChoice {
    QString Path;
    bool ReadOnly = false;
};

// Where an iCalendar import puts events that no category places, and the years over which
// events without a rule of their own are expanded (both included).
struct IcsImportChoice {
    std::optional<std::int32_t> Group;
    int ExpandFrom = 0;
    int ExpandTo = 0;
    friend bool operator==(const IcsImportChoice&, const IcsImportChoice&) = default;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // The folder file dialogs start in (empty: the system's choice), and who hears of the
    // folder of each file chosen, which then becomes the start folder.
    QString StartFolder;
    std::function<void(const QString&)> FolderUsed;

    // File-open dialog; filter in Qt form ("Calendars (*.yrb);;All files (*)"). An empty
    // title shows the system's default title. read_only_label, when given, adds the
    // check box for opening the file read-only.
    virtual std::optional<OpenChoice> GetOpenFile(QWidget* parent, const QString& title,
                                                  const QString& filter,
                                                  const QString& read_only_label) = 0;
    // File-save dialog that asks before overwriting; default_suffix without the dot. The
    // file type the user picks sets the suffix added to a name typed without one; it is
    // stored in chosen_filter when given (one entry of filter, as written there).
    virtual std::optional<QString> GetSaveFile(QWidget* parent, const QString& title,
                                               const QString& filter, const QString& default_suffix,
                                               const QString& proposed_name,
                                               QString* chosen_filter = nullptr) = 0;
    // Print dialog on the given printer, with print-to-file offered; false when cancelled.
    virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer) = 0;
    virtual QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons) = 0;
    virtual void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                      const QString& text) = 0;
    // A message with a list of details (one per line) the user may open. Without its own
    // dialog an implementation tells both through Tell.
    virtual void TellWithDetails(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, const QString& details);
    // The group and years of an iCalendar import, starting from `proposal`; none when
    // cancelled. The groups offered are those of context.
    virtual std::optional<IcsImportChoice> AskIcsImport(QWidget* parent, const AppContext& context,
                                                        const IcsImportChoice& proposal) = 0;

    // A question whose buttons say what they do ("Save As...", "Discard"): each is a
    // standard button with its own text, and the answer is that standard button. Without
    // its own dialog an implementation answers through Ask. safe_button, when given, is
    // both the default and the answer of Escape, for questions where one answer risks
    // nothing.
    using ButtonTexts = std::vector<std::pair<QMessageBox::StandardButton, QString>>;
    virtual QMessageBox::StandardButton AskWithTexts(
        QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
        const ButtonTexts& buttons,
        QMessageBox::StandardButton safe_button = QMessageBox::NoButton);

  protected:
    // A file was chosen: its folder becomes the start folder, and FolderUsed hears of it.
    void NoteFolderOf(const QString& file);
};

// The real dialogs of the platform.
class PlatformDialogs : public Dialogs {
  public:
    std::optional<OpenChoice> GetOpenFile(QWidget* parent, const QString& title,
                                          const QString& filter,
                                          const QString& read_only_label) override;
    std::optional<QString> GetSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                       const QString& default_suffix, const QString& proposed_name,
                                       QString* chosen_filter = nullptr) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer) override;
    QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                    const QString& text,
                                    QMessageBox::StandardButtons buttons) override;
    void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
              const QString& text) override;
    void TellWithDetails(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                         const QString& text, const QString& details) override;
    std::optional<IcsImportChoice> AskIcsImport(QWidget* parent, const AppContext& context,
                                                const IcsImportChoice& proposal) override;
    QMessageBox::StandardButton AskWithTexts(
        QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
        const ButtonTexts& buttons,
        QMessageBox::StandardButton safe_button = QMessageBox::NoButton) override;
};

// Language files may hold a filter in the older "Description|*.ext|..." form; the Qt
// form passes unchanged.
QString QtFileFilter(const QString& filter);

// The extension of a filter entry's first pattern without the dot: "ics" for
// "iCalendar (*.ics)", empty for "All files (*)".
QString FilterSuffix(const QString& filter_entry);

}  // namespace yorbel::gui
