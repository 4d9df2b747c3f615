// GroupFilterDialog: which groups are shown. Two lists, moved between by buttons or a double
// click; the dialog only collects the choice, the caller writes Gp_show and saves.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "data/table.h"

class QListWidget;
class QPushButton;

namespace yorbel::gui {

struct AppContext;

struct GroupShown {
    std::int32_t no = 0;
    std::string name;
    bool shown = false;
    std::int32_t color = 0xFFFFFF;  // as stored (0x00BBGGRR); white when unreadable
    friend bool operator==(const GroupShown&, const GroupShown&) = default;
};

// The groups in number order, shown exactly when Gp_show is 1.
std::vector<GroupShown> GroupsShown(const data::Table& groups);
// Writes each group's flag; a group deleted meanwhile is passed over.
void ApplyGroupsShown(data::Table& groups, const std::vector<GroupShown>& choice);

class GroupFilterDialog : public QDialog {
    Q_OBJECT
  public:
    GroupFilterDialog(QWidget* parent, const AppContext& context, std::vector<GroupShown> groups);
    // Every group with its chosen flag.
    const std::vector<GroupShown>& Choice() const { return groups_; }

  private:
    void Fill();
    void Move(QListWidget* from, bool shown);
    void UpdateButtons();

    std::vector<GroupShown> groups_;
    QListWidget* lbShow_ = nullptr;
    QListWidget* lbHide_ = nullptr;
    QPushButton* bbHide_ = nullptr;
    QPushButton* bbShow_ = nullptr;
};

}  // namespace yorbel::gui
