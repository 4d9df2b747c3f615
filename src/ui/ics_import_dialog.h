// IcsImportDialog: what an iCalendar import needs to know before it runs, the group for
// events that no category places and the years over which events that repeat in ways no
// rule of Yorbel holds are expanded. It only collects the choice.
#pragma once

#include <QDialog>

#include "ui/dialogs.h"

class QComboBox;
class QSpinBox;

namespace yorbel::gui {

struct AppContext;

class IcsImportDialog : public QDialog {
    Q_OBJECT
  public:
    // The groups are those of context, in number order; `proposal` presets every field.
    IcsImportDialog(QWidget* parent, const AppContext& context, const IcsImportChoice& proposal);
    IcsImportChoice Choice() const;

  private:
    QComboBox* cbGroup_ = nullptr;
    QSpinBox* ebFrom_ = nullptr;
    QSpinBox* ebTo_ = nullptr;
};

}  // namespace yorbel::gui
