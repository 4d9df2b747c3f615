#include "tools/group_filter.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "data/groups.h"
#include "paint/win_color.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {
constexpr std::string_view kFilter = "FrmFilter";
}

std::vector<GroupShown> GroupsShown(const data::Table& groups) {
    std::vector<GroupShown> result;
    for (int i = 0; i < groups.RecordCount(); ++i) {
        const data::Value no = groups.ValueAt(i, data::Gp_no);
        const data::Value name = groups.ValueAt(i, data::Gp_name);
        const data::Value show = groups.ValueAt(i, data::Gp_show);
        const auto* number = std::get_if<std::int32_t>(&no);
        if (number == nullptr) continue;
        const auto* text = std::get_if<std::string>(&name);
        const auto* flag = std::get_if<std::int32_t>(&show);
        result.push_back({*number, text ? *text : std::string(), flag && *flag == 1,
                          data::GroupColourAt(groups, i)});
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const GroupShown& a, const GroupShown& b) { return a.no < b.no; });
    return result;
}

void ApplyGroupsShown(data::Table& groups, const std::vector<GroupShown>& choice) {
    const std::string index = groups.CurrentIndex();
    groups.SetCurrentIndex("Ix_Gp_no");
    for (const GroupShown& g : choice) {
        if (!groups.GoToKey(data::Value{g.no})) continue;
        const data::Value show = groups.Get(data::Gp_show);
        const auto* flag = std::get_if<std::int32_t>(&show);
        if ((flag && *flag == 1) == g.shown) continue;
        groups.Edit();
        groups.SetInteger(data::Gp_show, g.shown ? 1 : 0);
        groups.Post();
    }
    groups.SetCurrentIndex(index);
}

GroupFilterDialog::GroupFilterDialog(QWidget* parent, const AppContext& context,
                                     std::vector<GroupShown> groups)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      groups_(std::move(groups)) {
    setObjectName(QStringLiteral("FrmFilter"));
    setWindowTitle(context.Text(kFilter, "Caption"));
    lbShow_ = new QListWidget(this);
    lbShow_->setObjectName(QStringLiteral("lbShow"));
    lbHide_ = new QListWidget(this);
    lbHide_->setObjectName(QStringLiteral("lbHide"));
    bbHide_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight),
                              context.Text(kFilter, "bbHide"), this);
    bbHide_->setObjectName(QStringLiteral("bbHide"));
    bbShow_ = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft),
                              context.Text(kFilter, "bbShow"), this);
    bbShow_->setObjectName(QStringLiteral("bbShow"));
    bbHide_->setAutoDefault(false);
    bbShow_->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbHide_);
    buttons->addWidget(bbShow_);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(context.Text(kFilter, "Label1"), this), 0, 0);
    grid->addWidget(new QLabel(context.Text(kFilter, "Label2"), this), 0, 2);
    grid->addWidget(lbShow_, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(lbHide_, 1, 2);

    connect(lbShow_, &QListWidget::itemSelectionChanged, this, &GroupFilterDialog::UpdateButtons);
    connect(lbHide_, &QListWidget::itemSelectionChanged, this, &GroupFilterDialog::UpdateButtons);
    connect(bbHide_, &QPushButton::clicked, this, [this] { Move(lbShow_, false); });
    connect(bbShow_, &QPushButton::clicked, this, [this] { Move(lbHide_, true); });
    connect(lbShow_, &QListWidget::itemDoubleClicked, this, [this] { Move(lbShow_, false); });
    connect(lbHide_, &QListWidget::itemDoubleClicked, this, [this] { Move(lbHide_, true); });
    Fill();
    UpdateButtons();
    resize(460, 268);
}

void GroupFilterDialog::Fill() {
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        auto* item = new QListWidgetItem(ColorSwatch(groups_[i].color),
                                         QString::fromStdString(groups_[i].name));
        item->setData(Qt::UserRole, static_cast<int>(i));
        (groups_[i].shown ? lbShow_ : lbHide_)->addItem(item);
    }
}

// The moved group goes to the end of the other list, as the user sees it arrive.
void GroupFilterDialog::Move(QListWidget* from, bool shown) {
    QListWidgetItem* item = from->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    groups_[static_cast<std::size_t>(item->data(Qt::UserRole).toInt())].shown = shown;
    QListWidget* to = from == lbShow_ ? lbHide_ : lbShow_;
    to->addItem(from->takeItem(from->row(item)));
    from->clearSelection();
    UpdateButtons();
}

void GroupFilterDialog::UpdateButtons() {
    bbHide_->setEnabled(!lbShow_->selectedItems().isEmpty());
    bbShow_->setEnabled(!lbHide_->selectedItems().isEmpty());
}

}  // namespace yorbel::gui
