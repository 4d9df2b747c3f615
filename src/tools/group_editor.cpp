#include "tools/group_editor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/groups.h"
#include "paint/win_color.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {
constexpr std::string_view kGroup = "FrmGroup";

std::int32_t IntOr(const data::Value& v, std::int32_t fallback) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    return fallback;
}
}  // namespace

QColor ChooseColour(QWidget* parent, const QColor& current) {
    const QColor chosen = QColorDialog::getColor(current, parent);
    return chosen.isValid() ? chosen : current;
}

GroupEditorDialog::GroupEditorDialog(QWidget* parent, const AppContext& context,
                                     const GroupValue& value,
                                     std::function<bool(const std::string&)> name_taken)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      nameTaken_(std::move(name_taken)),
      color_(value.color) {
    setObjectName(QStringLiteral("FrmGroup"));
    setWindowTitle(context.Text(kGroup, "Caption"));
    auto* form = new QFormLayout;
    ebName_ = new QLineEdit(QString::fromStdString(value.name), this);
    ebName_->setObjectName(QStringLiteral("EbName"));
    ebName_->setMaxLength(80);
    form->addRow(context.Text(kGroup, "Label1"), ebName_);
    ebColor_ = new QLineEdit(this);
    ebColor_->setObjectName(QStringLiteral("EbColor"));
    ebColor_->setReadOnly(true);
    ebColor_->setCursor(Qt::ArrowCursor);
    ebColor_->setFocusPolicy(Qt::NoFocus);
    ebColor_->installEventFilter(this);
    form->addRow(context.Text(kGroup, "Label2"), ebColor_);
    cbFrei_ = new QCheckBox(context.Text(kGroup, "cbFrei"), this);
    cbFrei_->setObjectName(QStringLiteral("cbFrei"));
    cbFrei_->setChecked(value.free);
    cbZeigen_ = new QCheckBox(context.Text(kGroup, "cbZeigen"), this);
    cbZeigen_->setObjectName(QStringLiteral("cbZeigen"));
    cbZeigen_->setChecked(value.shown);
    form->addRow(QString(), cbFrei_);
    form->addRow(QString(), cbZeigen_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(context.Text(kGroup, "btnOk"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    buttons->addButton(context.Text(kGroup, "btnCancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ShowColour();
}

void GroupEditorDialog::ShowColour() {
    QPalette palette = ebColor_->palette();
    palette.setColor(QPalette::Base, WinColorToQColor(color_));
    ebColor_->setPalette(palette);
}

bool GroupEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ebColor_ && event->type() == QEvent::MouseButtonRelease) {
        color_ = QColorToWinColor(ChooseColour(this, WinColorToQColor(color_)));
        ShowColour();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

GroupValue GroupEditorDialog::Value() const {
    return GroupValue{ebName_->text().trimmed().toStdString(), color_, cbFrei_->isChecked(),
                      cbZeigen_->isChecked()};
}

void GroupEditorDialog::accept() {
    const std::string name = Value().name;
    // The table refuses an empty or a second equal name; the user hears why and fixes it
    // here rather than finding the group table half-changed later.
    if (name.empty() || nameTaken_(name)) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(),
                          context_.Text(kGroup, "NameTaken").arg(QString::fromStdString(name)));
        ebName_->setFocus();
        return;
    }
    QDialog::accept();
}

GroupValue GroupValueOfRow(const data::Table& groups) {
    return GroupValue{groups.AsText(data::Gp_name), IntOr(groups.Get(data::Gp_color), 0),
                      IntOr(groups.Get(data::Gp_free), 0) != 0,
                      IntOr(groups.Get(data::Gp_show), 0) == 1};
}

namespace {
void SetFields(data::Table& groups, const GroupValue& value) {
    groups.SetText(data::Gp_name, value.name);
    groups.SetInteger(data::Gp_color, value.color);
    groups.SetBoolean(data::Gp_free, value.free);
    groups.SetInteger(data::Gp_show, value.shown ? 1 : 0);
}
}  // namespace

void InsertGroup(data::Table& groups, const GroupValue& value) {
    groups.Append();
    groups.SetInteger(data::Gp_no, 0);
    SetFields(groups, value);
    try {
        groups.Post();
    } catch (...) {
        groups.Cancel();
        throw;
    }
}

void ChangeGroup(data::Table& groups, std::int32_t group_no, const GroupValue& value) {
    const std::string index = groups.CurrentIndex();
    groups.SetCurrentIndex("Ix_Gp_no");
    const bool found = groups.GoToKey(data::Value{group_no});
    if (found) {
        groups.Edit();
        SetFields(groups, value);
        try {
            groups.Post();
        } catch (...) {
            groups.Cancel();
            groups.SetCurrentIndex(index);
            throw;
        }
    }
    groups.SetCurrentIndex(index);
}

bool GroupNameTaken(const data::Table& groups, const std::string& name, std::int32_t except_no) {
    for (int i = 0; i < groups.RecordCount(); ++i) {
        const data::Value n = groups.ValueAt(i, data::Gp_name);
        const auto* text = std::get_if<std::string>(&n);
        if (text && *text == name && IntOr(groups.ValueAt(i, data::Gp_no), -1) != except_no)
            return true;
    }
    return false;
}

}  // namespace yorbel::gui
