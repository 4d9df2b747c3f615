#include "desktop/help_menu.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

#include "desktop/about_box.h"
#include "desktop/help_window.h"

namespace yorbel::gui {

void ConnectHelpCommands(QWidget* owner, AppContext& context, const HelpActions& actions) {
    QObject::connect(actions.contents, &QAction::triggered, owner, [owner, &context] {
        HelpWindow::ShowPage(owner, context, QString::fromLatin1(kHelpContents));
    });
    QObject::connect(actions.first_steps, &QAction::triggered, owner, [owner, &context] {
        HelpWindow::ShowPage(owner, context, QString::fromLatin1(kHelpFirstSteps));
    });
    actions.homepage->setEnabled(!HomepageAddress().isEmpty());
    QObject::connect(actions.homepage, &QAction::triggered, owner,
                     [] { QDesktopServices::openUrl(QUrl(HomepageAddress())); });
    QObject::connect(actions.about, &QAction::triggered, owner, [owner, &context] {
        AboutBox box(context, owner);
        box.exec();
    });
}

}  // namespace yorbel::gui
