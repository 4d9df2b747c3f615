#include "desktop/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/app_context.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kHelp = "FrmHelp";

}  // namespace

HelpWindow::HelpWindow(QWidget* owner, AppContext& context)
    : QWidget(owner, Qt::Window), context_(context) {
    setObjectName(QStringLiteral("FrmHelp"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("tbManual"));
    browser_->setOpenExternalLinks(true);  // the web: the user's browser

    auto* back = new QPushButton(this);
    back->setObjectName(QStringLiteral("btnBack"));
    auto* forward = new QPushButton(this);
    forward->setObjectName(QStringLiteral("btnForward"));
    auto* contents = new QPushButton(this);
    contents->setObjectName(QStringLiteral("btnContents"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this,
            [this] { Open(QString::fromLatin1(kHelpContents)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(760, 640);
}

HelpWindow* HelpWindow::ShowPage(QWidget* owner, AppContext& context, const QString& page) {
    auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr) window = new HelpWindow(owner, context);
    window->Open(page);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::Open(const QString& page) {
    // Texts and manual follow the interface language as it is now.
    setWindowTitle(context_.Text(kHelp, "Caption"));
    for (const char* name : {"btnBack", "btnForward", "btnContents"})
        findChild<QPushButton*>(QString::fromLatin1(name))->setText(context_.Text(kHelp, name));

    const QString folder = QDir(context_.ProgramFolder + QStringLiteral("help"))
                               .filePath(app::LanguageOf(context_.Settings) == app::Language::German
                                             ? QStringLiteral("de")
                                             : QStringLiteral("en"));
    const QString file = QDir(folder).filePath(page);
    if (!QFileInfo(file).isFile()) {
        browser_->clear();
        browser_->clearHistory();
        browser_->setPlainText(
            context_.Text(kHelp, "NoManual").arg(QDir::toNativeSeparators(file)));
        return;
    }
    browser_->setSearchPaths({folder});
    browser_->setSource(QUrl::fromLocalFile(file));
}

}  // namespace yorbel::gui
