// The options dialog's location page: country and city lists read from the location
// files, and the position boxes that a chosen city fills or the user types.
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/options_dialog.h"
#include "desktop/position_units.h"
#include "ui/app_context.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kOptions = "FrmOptions";

// Typing in the list finds every entry containing the typed text, not only the prefix:
// some countries have hundreds of cities.
void MakeSearchable(QComboBox* box) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->completer()->setCompletionMode(QCompleter::PopupCompletion);
    box->completer()->setFilterMode(Qt::MatchContains);
    box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

// Fills a list from location entries, sorted by name; the whole line rides along.
template <typename Entry>
void FillList(QComboBox* box, std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    box->clear();
    for (const Entry& e : entries)
        box->addItem(QString::fromStdString(e.name), QString::fromStdString(e.line));
    box->setCurrentIndex(-1);
}

}  // namespace

QWidget* OptionsDialog::BuildPlacePage() {
    auto* page = new QWidget;
    auto* box = new QGroupBox(page);
    box->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(box);
    auto label = [box](const char* name) {
        auto* l = new QLabel(box);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    QLabel* land = label("Label15");
    QLabel* ort = label("Label14");
    cbLand_ = new QComboBox(box);
    cbLand_->setObjectName(QStringLiteral("cbLand"));
    cbOrt_ = new QComboBox(box);
    cbOrt_->setObjectName(QStringLiteral("cbOrt"));
    MakeSearchable(cbLand_);
    MakeSearchable(cbOrt_);
    cbOrt_->setMinimumContentsLength(28);
    grid->addWidget(land, 0, 0);
    grid->addWidget(cbLand_, 0, 1, 1, 8);
    grid->addWidget(ort, 1, 0);
    grid->addWidget(cbOrt_, 1, 1, 1, 8);
    cityControls_ = {land, ort, cbLand_, cbOrt_};

    cbCustom_ = new QCheckBox(box);
    cbCustom_->setObjectName(QStringLiteral("cbCustom"));
    grid->addWidget(cbCustom_, 2, 0, 1, 9);
    auto positionRow = [&](int row, const char* name, QLineEdit** boxes, QCheckBox*& sign,
                           const char* sign_name, int first_label) {
        QLabel* caption = label(name);
        grid->addWidget(caption, row, 0);
        customControls_.push_back(caption);
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new QLineEdit(box);
            boxes[i]->setMaximumWidth(56);
            grid->addWidget(boxes[i], row, 1 + 2 * i);
            QLabel* unit =
                label(QStringLiteral("Label%1").arg(first_label + i).toLatin1().constData());
            unit->setText(QString::fromUtf8(kUnitSigns[i]));
            grid->addWidget(unit, row, 2 + 2 * i);
            customControls_.push_back(boxes[i]);
            customControls_.push_back(unit);
            connect(boxes[i], &QLineEdit::textChanged, this, &OptionsDialog::UpdatePositionSummary);
        }
        sign = new QCheckBox(box);
        sign->setObjectName(QString::fromLatin1(sign_name));
        grid->addWidget(sign, row, 7);
        customControls_.push_back(sign);
        connect(sign, &QCheckBox::toggled, this, &OptionsDialog::UpdatePositionSummary);
    };
    positionRow(3, "Label4", lat_, cbN_, "cbN", 7);
    positionRow(4, "Label5", long_, cbW_, "cbW", 10);
    const char* names[6] = {"LatD", "LatM", "LatS", "LongD", "LongM", "LongS"};
    for (int i = 0; i < 3; ++i) {
        lat_[i]->setObjectName(QString::fromLatin1(names[i]));
        long_[i]->setObjectName(QString::fromLatin1(names[3 + i]));
    }

    // The zone has a row of its own, room for naming a zone beside the hours.
    auto* zoneRow = new QHBoxLayout;
    zoneRow->setObjectName(QStringLiteral("ZoneRow"));
    zone_ = new QLineEdit(box);
    zone_->setObjectName(QStringLiteral("Zone"));
    zone_->setMaximumWidth(56);
    zoneRow->addWidget(label("Label6"));
    zoneRow->addWidget(zone_);
    zoneRow->addWidget(label("Label13"));
    zoneRow->addStretch();
    grid->addLayout(zoneRow, 5, 0, 1, 9);
    connect(zone_, &QLineEdit::textChanged, this, &OptionsDialog::UpdatePositionSummary);

    lbPosition_ = new QLabel(box);
    lbPosition_->setObjectName(QStringLiteral("lbPosition"));
    lbPosition_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(lbPosition_, 6, 0, 1, 9);

    connect(cbLand_, &QComboBox::activated, this, &OptionsDialog::CountryChosen);
    // Choosing a city again refills boxes that were typed over.
    connect(cbOrt_, &QComboBox::activated, this, [this] {
        if (!loading_ && !cbCustom_->isChecked()) FillPositionFromCity();
    });
    connect(cbCustom_, &QCheckBox::clicked, this, [this](bool on) {
        SetCustom(on);
        if (!on) FillPositionFromCity();
    });
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

void OptionsDialog::LoadCountries() {
    const app::CountryListResult result =
        app::ReadCountryList(app::CountryListPath(context_.ProgramFolder.toStdString()));
    QSignalBlocker block(cbLand_);
    if (const auto* list = std::get_if<app::LocationList<app::Country>>(&result)) {
        FillList(cbLand_, list->entries);
        return;
    }
    // Without a country list the position can still be typed in.
    const auto& error = std::get<app::LocationFileError>(result);
    context_.Ui->Tell(
        this, QMessageBox::Warning, QStringLiteral("Yorbel"),
        context_.Text(kOptions, error.key).arg(QString::fromStdString(error.path.string())));
}

bool OptionsDialog::LoadCities(const std::string& code, bool report) {
    const app::CityListResult result = app::ReadCityList(
        app::CityListPath(context_.ProgramFolder.toStdString(), code), separator_.toStdString());
    if (const auto* list = std::get_if<app::LocationList<app::City>>(&result)) {
        const bool was = loading_;
        loading_ = true;
        FillList(cbOrt_, list->entries);
        loading_ = was;
        return true;
    }
    if (report) {
        const auto& error = std::get<app::LocationFileError>(result);
        context_.Ui->Tell(
            this, QMessageBox::Warning, QStringLiteral("Yorbel"),
            context_.Text(kOptions, error.key).arg(QString::fromStdString(error.path.string())));
    }
    return false;
}

void OptionsDialog::CountryChosen(int index) {
    if (loading_ || index < 0) return;
    const auto code = app::CountryCodeOf(cbLand_->itemData(index).toString().toStdString());
    // A missing city file keeps the former cities and the position as they were.
    if (!code || !LoadCities(*code, true)) return;
    if (cbOrt_->count() > 0) cbOrt_->setCurrentIndex(0);
    FillPositionFromCity();
}

void OptionsDialog::FillPositionFromCity() {
    const std::string line =
        cbOrt_->currentIndex() < 0 ? std::string() : cbOrt_->currentData().toString().toStdString();
    SetPositionBoxes(app::PositionFromCityLine(line, separator_.toStdString()));
}

void OptionsDialog::SetCustom(bool custom) {
    for (QWidget* w : customControls_) w->setEnabled(custom);
    for (QWidget* w : cityControls_) w->setEnabled(!custom);
}

void OptionsDialog::SetPositionBoxes(const app::PositionTexts& texts) {
    lat_[0]->setText(QString::fromStdString(texts.LatD));
    lat_[1]->setText(QString::fromStdString(texts.LatM));
    lat_[2]->setText(QString::fromStdString(texts.LatS));
    long_[0]->setText(QString::fromStdString(texts.LongD));
    long_[1]->setText(QString::fromStdString(texts.LongM));
    long_[2]->setText(QString::fromStdString(texts.LongS));
    cbN_->setChecked(texts.North);
    cbW_->setChecked(texts.West);
    zone_->setText(QString::fromStdString(texts.Zone));
}

app::PositionTexts OptionsDialog::PositionBoxes() const {
    return app::PositionTexts{lat_[0]->text().toStdString(),  lat_[1]->text().toStdString(),
                              lat_[2]->text().toStdString(),  cbN_->isChecked(),
                              long_[0]->text().toStdString(), long_[1]->text().toStdString(),
                              long_[2]->text().toStdString(), cbW_->isChecked(),
                              zone_->text().toStdString()};
}

void OptionsDialog::UpdatePositionSummary() {
    if (loading_) return;
    const auto read = app::ReadPosition(PositionBoxes(), separator_.toStdString());
    const auto* values = std::get_if<app::PositionValues>(&read);
    lbPosition_->setText(values ? QString::fromStdString(app::PositionText(*values)) : QString());
}

QString OptionsDialog::PositionSummary() const {
    return lbPosition_->text();
}

}  // namespace yorbel::gui
