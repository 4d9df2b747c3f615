// The commands of the Help menu.
#pragma once

class QAction;
class QWidget;

namespace yorbel::gui {

struct AppContext;

struct HelpActions {
    QAction* contents = nullptr;
    QAction* first_steps = nullptr;
    QAction* homepage = nullptr;
    QAction* about = nullptr;
};

// Contents and First Steps open the manual at its contents and at its first steps; Visit
// Homepage opens the homepage in the browser and is disabled without an address; About
// shows a new about box, modally.
void ConnectHelpCommands(QWidget* owner, AppContext& context, const HelpActions& actions);

}  // namespace yorbel::gui
