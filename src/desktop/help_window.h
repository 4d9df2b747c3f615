// The user manual: HTML pages of the interface language shipped in help/de and help/en of
// the program folder, shown in a window of their own, offline.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace yorbel::gui {

struct AppContext;

// Page names the Help menu opens.
inline constexpr const char* kHelpContents = "index.html";
inline constexpr const char* kHelpFirstSteps = "start.html";

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    // The owner's help window (made on first use, one per owner), raised at the page of
    // the manual in the current interface language.
    static HelpWindow* ShowPage(QWidget* owner, AppContext& context, const QString& page);

    QTextBrowser* Browser() const { return browser_; }

  private:
    HelpWindow(QWidget* owner, AppContext& context);
    void Open(const QString& page);

    AppContext& context_;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace yorbel::gui
