#include "ui/ics_import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "calendar/dates.h"
#include "data/groups.h"
#include "paint/win_color.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kIcsImport = "FrmIcsImport";

QSpinBox* YearBox(QWidget* parent, const char* name, int year) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(calendar::kMinYear, calendar::kMaxYear);
    box->setValue(std::clamp(year, calendar::kMinYear, calendar::kMaxYear));
    return box;
}

}  // namespace

IcsImportDialog::IcsImportDialog(QWidget* parent, const AppContext& context,
                                 const IcsImportChoice& proposal)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QString::fromLatin1(kIcsImport.data(), kIcsImport.size()));
    setWindowTitle(context.Text(kIcsImport, "Caption"));

    cbGroup_ = new QComboBox(this);
    cbGroup_->setObjectName(QStringLiteral("cbGroup"));
    if (context.Groups) {
        // In number order, as the group lists of the other windows show them.
        std::map<std::int32_t, std::pair<QString, std::int32_t>> groups;
        const data::Table& table = context.Groups->CdsGroups();
        for (int position = 0; position < table.RecordCount(); ++position) {
            const data::Value no = table.ValueAt(position, data::Gp_no);
            const data::Value name = table.ValueAt(position, data::Gp_name);
            const auto* number = std::get_if<std::int32_t>(&no);
            const auto* text = std::get_if<std::string>(&name);
            if (number && text)
                groups[*number] = {QString::fromStdString(*text),
                                   data::GroupColourAt(table, position)};
        }
        for (const auto& [number, group] : groups)
            cbGroup_->addItem(ColorSwatch(group.second), group.first, number);
    }
    if (proposal.Group) cbGroup_->setCurrentIndex(std::max(0, cbGroup_->findData(*proposal.Group)));

    ebFrom_ = YearBox(this, "ebFrom", proposal.ExpandFrom);
    ebTo_ = YearBox(this, "ebTo", std::max(proposal.ExpandTo, proposal.ExpandFrom));
    // The span never runs backwards: the last year follows the first.
    ebTo_->setMinimum(ebFrom_->value());
    connect(ebFrom_, &QSpinBox::valueChanged, ebTo_, &QSpinBox::setMinimum);

    auto* years = new QHBoxLayout;
    years->addWidget(ebFrom_);
    years->addWidget(new QLabel(context.Text(kIcsImport, "lbTo"), this));
    years->addWidget(ebTo_);
    years->addStretch();
    auto* form = new QFormLayout;
    form->addRow(context.Text(kIcsImport, "lbGroup"), cbGroup_);
    form->addRow(context.Text(kIcsImport, "lbFrom"), years);
    auto* hint = new QLabel(context.Text(kIcsImport, "lbHint"), this);
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(context.Text(kIcsImport, "btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(context.Text(kIcsImport, "btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    cbGroup_->setFocus();
}

IcsImportChoice IcsImportDialog::Choice() const {
    IcsImportChoice choice;
    if (cbGroup_->currentIndex() >= 0) choice.Group = cbGroup_->currentData().toInt();
    choice.ExpandFrom = ebFrom_->value();
    choice.ExpandTo = std::max(ebTo_->value(), ebFrom_->value());
    return choice;
}

}  // namespace yorbel::gui
