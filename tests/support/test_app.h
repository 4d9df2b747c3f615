// What the widget tests share: scripted dialogs, a run's context on temporary folders,
// and calendars written through the core.
#pragma once

#include <QColor>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "data/groups.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"

namespace yorbel::test {

// Answers every dialog from a script, and records what was shown. A dialog without a
// scripted answer is cancelled and counted, so a test sees questions it did not expect.
class ScriptedDialogs : public gui::Dialogs {
  public:
    // An empty path stands for a cancelled dialog.
    std::deque<gui::OpenChoice> open_answers;
    std::deque<QString> save_answers;
    // The file type picked with each save answer, by extension ("ics"); without one the
    // type of the answer's extension, else the first. A name without extension takes the
    // type's, as the platform dialog adds it.
    std::deque<QString> save_types;
    std::deque<QMessageBox::StandardButton> ask_answers;
    QString print_to;        // PDF path for the print dialog; empty: the dialog is cancelled
    QString print_doc_name;  // the job's name the print dialog was shown with
    // Answers of the iCalendar import dialog, none for a cancelled one; the proposals it
    // was shown are kept.
    std::deque<std::optional<gui::IcsImportChoice>> ics_answers;
    std::vector<gui::IcsImportChoice> ics_proposals;

    QStringList asked;         // texts of questions, in order
    QStringList told;          // texts of messages, in order
    QStringList button_texts;  // own button texts of questions, in order
    QStringList save_titles;
    int unexpected = 0;

    std::optional<gui::OpenChoice> GetOpenFile(QWidget*, const QString&, const QString&,
                                               const QString&) override;
    std::optional<QString> GetSaveFile(QWidget*, const QString& title, const QString& filter,
                                       const QString&, const QString&,
                                       QString* chosen_filter = nullptr) override;
    bool SetUpPrinter(QWidget*, QPrinter& printer) override;
    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon, const QString&,
                                    const QString& text, QMessageBox::StandardButtons) override;
    void Tell(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override;
    std::optional<gui::IcsImportChoice> AskIcsImport(QWidget*, const gui::AppContext&,
                                                     const gui::IcsImportChoice& proposal) override;
    QMessageBox::StandardButton AskWithTexts(
        QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
        const ButtonTexts& buttons,
        QMessageBox::StandardButton safe_button = QMessageBox::NoButton) override;
};

// Group numbers of the two groups every test run has.
inline constexpr int kShownGroup = 1;   // green, shown
inline constexpr int kHiddenGroup = 2;  // blue, hidden
inline constexpr std::int32_t kShownColor = 0x00A000;
inline constexpr std::int32_t kHiddenColor = 0xC00000;

// The colour in the middle of a group's swatch in a list.
QColor SwatchColor(const QIcon& icon);

struct EventRow {
    std::string name;
    int type = 0;    // 0 single day, 1 period
    int repeat = 0;  // repeat code
    std::string from;
    std::string to;
    int group = kShownGroup;
};

// One run: temporary program and data folders, the English language file, default
// settings in memory (sizeable windows), two groups.
class TestApp {
  public:
    TestApp();
    gui::AppContext& Context() { return context_; }
    ScriptedDialogs& Dialogs() { return dialogs_; }
    app::MemorySettingsStore& Store() { return store_; }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // Writes a calendar file with these events; returns its path.
    QString MakeCalendar(const QString& name, const std::vector<EventRow>& events);

  private:
    QTemporaryDir dir_;
    app::MemorySettingsStore store_;
    std::unique_ptr<data::Groups> groups_;
    ScriptedDialogs dialogs_;
    gui::AppContext context_;
};

// Number of pages in a PDF file, counted from its page objects.
int PdfPageCount(const QString& path);

// A field of pdfinfo's report on a PDF file ("Title", ...); null when pdfinfo (from
// poppler-utils, see scripts/install-deps.sh) cannot read the file.
QString PdfInfo(const QString& path, const QString& field);

}  // namespace yorbel::test
