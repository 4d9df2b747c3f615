#include "desktop/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "data/groups.h"
#include "desktop/position_units.h"
#include "paint/qt_weekday.h"
#include "paint/win_color.h"
#include "paint/year_painter.h"
#include "tools/group_editor.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/mnemonics.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kOptions = "FrmOptions";
constexpr const char* kSwatchNames[6] = {"ebSoV", "ebSoH", "ebWkV", "ebWkH", "ebMkV", "ebMkH"};

QRadioButton* AddItem(QButtonGroup* group, QGroupBox* box, int id, const QString& name) {
    auto* item = new QRadioButton(box);
    item->setObjectName(name);
    group->addButton(item, id);
    box->layout()->addWidget(item);
    return item;
}

QGroupBox* RadioBox(QWidget* parent, const char* name, QButtonGroup*& group) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    new QVBoxLayout(box);
    group = new QButtonGroup(box);
    return box;
}

int IndexOfLine(const QComboBox* box, const std::string& line) {
    return line.empty() ? -1 : box->findData(QString::fromStdString(line));
}

// A stored city line written before lines carried a zone name still finds its city.
int IndexOfCityLine(const QComboBox* box, const std::string& stored) {
    if (stored.empty()) return -1;
    for (int i = 0; i < box->count(); ++i)
        if (app::SameCityLine(stored, box->itemData(i).toString().toStdString())) return i;
    return -1;
}

}  // namespace

OptionsDialog::OptionsDialog(QWidget* parent, AppContext& context)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context),
      value_(context.Settings),
      separator_(QLocale::system().decimalPoint()) {
    setObjectName(QStringLiteral("FrmOptions"));
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PcOptions"));
    pages_->addTab(BuildCalendarPage(), QString());
    pages_->addTab(BuildPlacePage(), QString());
    pages_->addTab(BuildDisplayPage(), QString());
    pages_->addTab(BuildGroupsPage(), QString());
    pages_->widget(0)->setObjectName(QStringLiteral("TabSheet1"));
    pages_->widget(1)->setObjectName(QStringLiteral("TabSheet4"));
    pages_->widget(2)->setObjectName(QStringLiteral("TabSheet3"));
    pages_->widget(3)->setObjectName(QStringLiteral("TabSheet2"));

    cbOpenLastActive_ = new QCheckBox(this);
    cbOpenLastActive_->setObjectName(QStringLiteral("cbOpenLastActive"));
    cbDayViewOpen_ = new QCheckBox(this);
    cbDayViewOpen_->setObjectName(QStringLiteral("cbDayViewOpen"));
    btClose_ = new QPushButton(this);
    btClose_->setObjectName(QStringLiteral("btClose"));
    btClose_->setDefault(true);
    connect(btClose_, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addWidget(cbOpenLastActive_);
    checks->addWidget(cbDayViewOpen_);
    bottom->addLayout(checks, 1);
    bottom->addWidget(btClose_, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(bottom);

    LoadCountries();
    Load(context.Settings);
    ApplyTexts();
    FillGroups();
    pages_->setCurrentIndex(0);
}

QWidget* OptionsDialog::BuildCalendarPage() {
    auto* page = new QWidget;
    QGroupBox* wkStart = RadioBox(page, "rgWkStart", rgWkStart_);
    for (int i = 0; i < 3; ++i)
        AddItem(rgWkStart_, wkStart, i, QStringLiteral("rgWkStart_Items%1").arg(i + 1));
    QGroupBox* firstDay = RadioBox(page, "rgFirstWkDay", rgFirstWkDay_);
    for (int i = 0; i < 7; ++i) AddItem(rgFirstWkDay_, firstDay, i, QStringLiteral("Wt%1").arg(i));
    QGroupBox* calType = RadioBox(page, "rgCalType", rgCalType_);
    for (int i = 0; i < 2; ++i)
        AddItem(rgCalType_, calType, i, QStringLiteral("rgCalType_Items%1").arg(i + 1));
    QGroupBox* lang = RadioBox(page, "rgLang", rgLang_);
    for (int i = 0; i < 2; ++i)
        AddItem(rgLang_, lang, i, QStringLiteral("rgLang_Items%1").arg(i + 1));
    connect(rgLang_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !loading_) emit languageChosen(id);
    });
    auto* grid = new QGridLayout(page);
    grid->addWidget(wkStart, 0, 0, 1, 2);
    grid->addWidget(firstDay, 1, 0, 2, 1);
    grid->addWidget(calType, 1, 1);
    grid->addWidget(lang, 2, 1);
    return page;
}

QWidget* OptionsDialog::BuildDisplayPage() {
    auto* page = new QWidget;
    auto* fontBox = new QGroupBox(page);
    fontBox->setObjectName(QStringLiteral("GroupBox2"));
    lbName_ = new QLabel(fontBox);
    lbName_->setObjectName(QStringLiteral("LbName"));
    QFont bold = lbName_->font();
    bold.setBold(true);
    lbName_->setFont(bold);
    lbHeight_ = new QLabel(fontBox);
    lbHeight_->setObjectName(QStringLiteral("LbHeight"));
    auto* change = new QPushButton(fontBox);
    change->setObjectName(QStringLiteral("BtnChangeFont"));
    change->setAutoDefault(false);
    cbAdaptToFont_ = new QCheckBox(fontBox);
    cbAdaptToFont_->setObjectName(QStringLiteral("CbAdaptToFont"));
    auto* fontGrid = new QGridLayout(fontBox);
    fontGrid->addWidget(lbName_, 0, 0);
    fontGrid->addWidget(lbHeight_, 0, 1);
    fontGrid->addWidget(change, 0, 2);
    fontGrid->addWidget(cbAdaptToFont_, 1, 0, 1, 3);
    connect(change, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, yearFont_, this);
        if (!ok) return;
        yearFont_ = chosen;
        yearFontSize_ = chosen.pixelSize() > 0
                            ? -chosen.pixelSize()
                            : -qRound(chosen.pointSizeF() * logicalDpiY() / 72.0);
        ShowFont();
    });

    auto* colours = new QGroupBox(page);
    colours->setObjectName(QStringLiteral("gbColors"));
    auto* grid = new QGridLayout(colours);
    const char* heads[2] = {"Label2", "Label3"};
    const char* rows[3] = {"Label1", "Label16", "Label17"};
    for (int c = 0; c < 2; ++c) {
        auto* head = new QLabel(colours);
        head->setObjectName(QString::fromLatin1(heads[c]));
        grid->addWidget(head, 0, 1 + c);
    }
    for (int r = 0; r < 3; ++r) {
        auto* caption = new QLabel(colours);
        caption->setObjectName(QString::fromLatin1(rows[r]));
        grid->addWidget(caption, 1 + r, 0);
        for (int c = 0; c < 2; ++c) {
            const int which = 2 * r + c;
            auto* swatch = new QLineEdit(colours);
            swatch->setObjectName(QString::fromLatin1(kSwatchNames[which]));
            swatch->setReadOnly(true);
            swatch->setCursor(Qt::ArrowCursor);
            swatch->setFocusPolicy(Qt::NoFocus);
            swatch->setFixedSize(48, 22);
            swatch->installEventFilter(this);
            swatches_[which] = swatch;
            grid->addWidget(swatch, 1 + r, 1 + c);
        }
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(fontBox);
    layout->addWidget(colours);
    layout->addStretch();
    return page;
}

QWidget* OptionsDialog::BuildGroupsPage() {
    auto* page = new QWidget;
    auto* box = new QGroupBox(page);
    box->setObjectName(QStringLiteral("gbGroups"));
    groups_ = new QListWidget(box);
    groups_->setObjectName(QStringLiteral("DblbGroups"));
    groups_->setContextMenuPolicy(Qt::CustomContextMenu);
    pmEditGrps_ = new QMenu(this);
    pmEditGrps_->setObjectName(QStringLiteral("PmEditGrps"));
    KeepMnemonics(*pmEditGrps_);
    QAction* add = pmEditGrps_->addAction(QString(), this, &OptionsDialog::NewGroup);
    add->setObjectName(QStringLiteral("iNewGrp"));
    QAction* change = pmEditGrps_->addAction(QString(), this, &OptionsDialog::ChangeGroup);
    change->setObjectName(QStringLiteral("iChgGrp"));
    pmEditGrps_->setDefaultAction(change);
    QAction* remove = pmEditGrps_->addAction(QString(), this, &OptionsDialog::DeleteGroup);
    remove->setObjectName(QStringLiteral("iDelGrp"));
    connect(groups_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const bool selected = groups_->currentItem() != nullptr;
        for (QAction* a : pmEditGrps_->actions())
            if (a->objectName() != QLatin1String("iNewGrp")) a->setEnabled(selected);
        pmEditGrps_->popup(groups_->viewport()->mapToGlobal(at));
    });
    connect(groups_, &QListWidget::itemDoubleClicked, this, &OptionsDialog::ChangeGroup);
    (new QVBoxLayout(box))->addWidget(groups_);
    (new QVBoxLayout(page))->addWidget(box);
    return page;
}

void OptionsDialog::ApplyTexts() {
    setWindowTitle(context_.Text(kOptions, "Caption"));
    for (int i = 0; i < pages_->count(); ++i)
        pages_->setTabText(i,
                           context_.Text(kOptions, pages_->widget(i)->objectName().toStdString()));
    for (QWidget* w : findChildren<QWidget*>()) {
        const std::string name = w->objectName().toStdString();
        if (name.empty() || !context_.Language.Has(kOptions, name)) continue;
        const QString text = context_.Text(kOptions, name);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(w))
            g->setTitle(text);
        else if (auto* l = qobject_cast<QLabel*>(w); l && !name.starts_with("Lb"))
            l->setText(text);
    }
    for (QAction* a : pmEditGrps_->actions())
        a->setText(context_.Text(kOptions, a->objectName().toStdString()));
    groups_->setToolTip(context_.Text(kOptions, "DblbGroups_Hint"));
    // Weekday names follow the interface language like every other window's.
    const QLocale names = NamesLocale(context_.Settings);
    for (int i = 0; i < 7; ++i)
        rgFirstWkDay_->button(i)->setText(
            names.dayName(QtDayOf(calendar::WeekdayFromNumber(i)), QLocale::LongFormat));
}

void OptionsDialog::Load(const app::Settings& s) {
    loading_ = true;
    rgWkStart_->button(std::clamp(s.Kw1, 0, 2))->setChecked(true);
    rgFirstWkDay_->button(std::clamp(s.Wt1, 0, 6))->setChecked(true);
    rgCalType_->button(s.greg == 0 ? 0 : 1)->setChecked(true);
    rgLang_->button(s.Language == 0 ? 0 : 1)->setChecked(true);
    cbLand_->setCurrentIndex(IndexOfLine(cbLand_, s.Country));
    if (const auto code = app::CountryCodeOf(s.Country)) LoadCities(*code, true);
    cbOrt_->setCurrentIndex(IndexOfCityLine(cbOrt_, s.City));
    SetPositionBoxes(app::PositionTextsOf(s, separator_.toStdString()));
    cbCustom_->setChecked(s.CustomPos);
    SetCustom(s.CustomPos);
    yearFontSize_ = s.YearFontSize;
    yearFont_ = YearFont(QString::fromStdString(s.YearFontName), s.YearFontSize, this);
    ShowFont();
    cbAdaptToFont_->setChecked(s.AdaptToFont);
    for (int i = 0; i < 6; ++i) {
        colours_[i] = app::DisplayColor(s, static_cast<app::ColorRole>(i));
        ShowSwatch(i);
    }
    cbOpenLastActive_->setChecked(s.OpenLastActive);
    cbDayViewOpen_->setChecked(s.DayViewOpen);
    loading_ = false;
    UpdatePositionSummary();
}

void OptionsDialog::ShowFont() {
    lbName_->setText(yearFont_.family());
    const double points = yearFontSize_ < 0 ? -yearFontSize_ * 72.0 / logicalDpiY()
                                            : yearFontSize_ * 72.0 / logicalDpiY();
    lbHeight_->setText(QString::number(qRound(points)));
}

void OptionsDialog::ShowSwatch(int which) {
    QPalette palette = swatches_[which]->palette();
    palette.setColor(QPalette::Base, WinColorToQColor(colours_[which]));
    swatches_[which]->setPalette(palette);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 6; ++i) {
            if (watched != swatches_[i]) continue;
            colours_[i] = QColorToWinColor(ChooseColour(this, WinColorToQColor(colours_[i])));
            ShowSwatch(i);
            btClose_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool OptionsDialog::Collect() {
    const auto read = app::ReadPosition(PositionBoxes(), separator_.toStdString());
    if (const auto* refusal = std::get_if<app::PositionRefusal>(&read)) {
        QString box = context_.Text(kOptions, app::PositionBoxKey(refusal->box));
        if (box.endsWith(QLatin1Char(':'))) box.chop(1);
        const int part = static_cast<int>(refusal->box) % 3;
        if (refusal->box != app::PositionBox::Zone)
            box += QLatin1Char(' ') + QString::fromUtf8(kUnitSigns[part]);
        pages_->setCurrentIndex(1);
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(),
                          context_.Text(kOptions, "PositionRefused")
                              .arg(box, QString::fromStdString(refusal->text)));
        return false;
    }
    app::Settings s = value_;
    s.Kw1 = rgWkStart_->checkedId();
    s.Wt1 = rgFirstWkDay_->checkedId();
    s.greg = rgCalType_->checkedId();
    s.Language = rgLang_->checkedId();
    s.VFarbeSonntag = colours_[0];
    s.HFarbeSonntag = colours_[1];
    s.VFarbeWochen = colours_[2];
    s.HFarbeWochen = colours_[3];
    s.VFarbeMark = colours_[4];
    s.HFarbeMark = colours_[5];
    s.OpenLastActive = cbOpenLastActive_->isChecked();
    s.YearFontName = yearFont_.family().toStdString();
    s.YearFontSize = yearFontSize_;
    s.AdaptToFont = cbAdaptToFont_->isChecked();
    app::StorePosition(s, std::get<app::PositionValues>(read));
    s.Country = cbLand_->currentIndex() < 0 ? std::string()
                                            : cbLand_->currentData().toString().toStdString();
    s.City =
        cbOrt_->currentIndex() < 0 ? std::string() : cbOrt_->currentData().toString().toStdString();
    s.CustomPos = cbCustom_->isChecked();
    // A chosen city keeps the clock of its zone, summer time included; an own position
    // keeps the fixed hours typed beside it.
    s.ZoneName.clear();
    if (!s.CustomPos && !s.City.empty()) {
        const auto city = app::ParseCityLine(s.City, separator_.toStdString());
        if (const auto* parsed = std::get_if<app::City>(&city)) s.ZoneName = parsed->zone_name;
    }
    s.DayViewOpen = cbDayViewOpen_->isChecked();
    value_ = s;
    return true;
}

void OptionsDialog::done(int result) {
    if (!Collect()) return;
    QDialog::done(result);
}

// --- groups -----------------------------------------------------------------------------

void OptionsDialog::FillGroups() {
    const data::Table& table = context_.Groups->CdsGroups();
    // Name order, as the user looks a group up; each with its colour.
    std::vector<std::tuple<QString, int, std::int32_t>> rows;
    for (int i = 0; i < table.RecordCount(); ++i) {
        const data::Value no = table.ValueAt(i, data::Gp_no);
        const data::Value name = table.ValueAt(i, data::Gp_name);
        const auto* n = std::get_if<std::int32_t>(&no);
        const auto* text = std::get_if<std::string>(&name);
        if (n)
            rows.emplace_back(text ? QString::fromStdString(*text) : QString(), *n,
                              data::GroupColourAt(table, i));
    }
    std::sort(rows.begin(), rows.end());
    groups_->clear();
    for (const auto& [name, no, rgb] : rows) {
        auto* item = new QListWidgetItem(ColorSwatch(rgb), name, groups_);
        item->setData(Qt::UserRole, no);
    }
}

void OptionsDialog::NewGroup() {
    data::Table& table = context_.Groups->CdsGroups();
    GroupValue value;
    value.name = context_.Text("FrmGroup", "EbName").toStdString();
    GroupEditorDialog editor(this, context_, value, [&table](const std::string& name) {
        return GroupNameTaken(table, name, -1);
    });
    if (editor.exec() != QDialog::Accepted) return;
    try {
        InsertGroup(table, editor.Value());
    } catch (const data::Error& e) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), context_.ErrorText(e));
    }
    FillGroups();
}

void OptionsDialog::ChangeGroup() {
    QListWidgetItem* item = groups_->currentItem();
    if (item == nullptr) return;
    const std::int32_t no = item->data(Qt::UserRole).toInt();
    data::Table& table = context_.Groups->CdsGroups();
    const std::string index = table.CurrentIndex();
    table.SetCurrentIndex("Ix_Gp_no");
    if (!table.GoToKey(data::Value{no})) {
        table.SetCurrentIndex(index);
        return;
    }
    const GroupValue current = GroupValueOfRow(table);
    table.SetCurrentIndex(index);
    GroupEditorDialog editor(this, context_, current, [&table, no](const std::string& name) {
        return GroupNameTaken(table, name, no);
    });
    if (editor.exec() != QDialog::Accepted) return;
    try {
        gui::ChangeGroup(table, no, editor.Value());
    } catch (const data::Error& e) {
        context_.Ui->Tell(this, QMessageBox::Warning, windowTitle(), context_.ErrorText(e));
    }
    FillGroups();
    for (int i = 0; i < groups_->count(); ++i)
        if (groups_->item(i)->data(Qt::UserRole).toInt() == no) groups_->setCurrentRow(i);
}

void OptionsDialog::DeleteGroup() {
    QListWidgetItem* item = groups_->currentItem();
    if (item == nullptr) return;
    if (context_.Ui->Ask(this, QMessageBox::Warning, context_.Text(kOptions, "Warning"),
                         context_.Text(kOptions, "ReallyDelete"),
                         QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    data::Table& table = context_.Groups->CdsGroups();
    const std::string index = table.CurrentIndex();
    table.SetCurrentIndex("Ix_Gp_no");
    if (table.GoToKey(data::Value{item->data(Qt::UserRole).toInt()})) table.Delete();
    table.SetCurrentIndex(index);
    FillGroups();
}

}  // namespace yorbel::gui
