// GroupEditorDialog: edits one group's name, colour and flags. It hands back what the user
// confirmed; the caller writes the groups table. A name another group already has is
// refused while the editor is open, so nothing half-stored is left behind.
#pragma once

#include <QColor>
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "data/table.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace yorbel::gui {

struct AppContext;

struct GroupValue {
    std::string name;
    std::int32_t color = static_cast<std::int32_t>(0x80000005u);  // system window colour
    bool free = false;
    bool shown = true;
};

// The colour dialog preset with the current colour; Cancel gives the current colour back.
QColor ChooseColour(QWidget* parent, const QColor& current);

class GroupEditorDialog : public QDialog {
    Q_OBJECT
  public:
    // name_taken: whether another group already has a name.
    GroupEditorDialog(QWidget* parent, const AppContext& context, const GroupValue& value,
                      std::function<bool(const std::string&)> name_taken);
    GroupValue Value() const;

    void accept() override;

  private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ShowColour();

    const AppContext& context_;
    std::function<bool(const std::string&)> nameTaken_;
    std::int32_t color_;
    QLineEdit* ebName_ = nullptr;
    QLineEdit* ebColor_ = nullptr;
    QCheckBox* cbFrei_ = nullptr;
    QCheckBox* cbZeigen_ = nullptr;
};

// The group page's commands on the table (any current index). Each returns the error
// text to show, empty when done.
GroupValue GroupValueOfRow(const data::Table& groups);
void InsertGroup(data::Table& groups, const GroupValue& value);
void ChangeGroup(data::Table& groups, std::int32_t group_no, const GroupValue& value);
// Whether a group other than `except_no` carries the name.
bool GroupNameTaken(const data::Table& groups, const std::string& name, std::int32_t except_no);

}  // namespace yorbel::gui
