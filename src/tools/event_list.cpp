#include "tools/event_list.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "calendar/dates.h"
#include "ui/app_context.h"
#include "ui/day_facts_text.h"
#include "ui/mnemonics.h"
#include "ui/year_window_link.h"

namespace yorbel::gui {

namespace cal = yorbel::calendar;

namespace {

constexpr const char* kList = "FrmList";
// The delete question is shared with the day sheet.
constexpr const char* kDayInfo = "FrmDayInfo";
constexpr int kColumns = 3;

}  // namespace

// --- the model ------------------------------------------------------------------------

ListRowsModel::ListRowsModel(const QStringList& titles, const QLocale& locale, QObject* parent)
    : QAbstractTableModel(parent), titles_(titles), locale_(locale) {}

void ListRowsModel::SetRows(std::vector<data::ListRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ListRowsModel::Sort(data::ListOrder order) {
    emit layoutAboutToBeChanged();
    data::SortListRows(rows_, order);
    emit layoutChanged();
}

QString ListRowsModel::DisplayDate(const std::string& date_text) const {
    const std::optional<cal::CivilDate> date = cal::ParseDateText(date_text);
    if (!date) return {};
    const QDate shown(date->year, date->month, date->day);
    // A Julian-system day the Gregorian QDate lacks (29 February 1900) keeps its digits.
    if (!shown.isValid()) return QString::fromStdString(date_text);
    return locale_.toString(shown, QLocale::ShortFormat);
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const data::ListRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case 0:
            return DisplayDate(row.from);
        case 1:
            return DisplayDate(row.to);
        default:
            return QString::fromStdString(row.name);
    }
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles_.size())
        return {};
    return titles_[section];
}

// --- the window -----------------------------------------------------------------------

EventListWindow::EventListWindow(YearWindowLink& year)
    : QWidget(year.Widget(), Qt::Tool), year_(year) {
    setObjectName(QStringLiteral("FrmList"));
    setAttribute(Qt::WA_DeleteOnClose);
    const AppContext& context = year.Context();
    setWindowTitle(context.Text(kList, "Caption"));
    QStringList titles;
    for (int column = 0; column < kColumns; ++column)
        titles << context.Text(kList, "dbgList_Col_" + std::to_string(column));
    model_ = new ListRowsModel(titles, NamesLocale(context.Settings), this);

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("dbgList"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    // Wide enough for the longest short date of the interface language.
    const int dateWidth =
        grid_->fontMetrics().horizontalAdvance(model_->DisplayDate("20281228")) + 16;
    grid_->setColumnWidth(0, std::max(67, dateWidth));
    grid_->setColumnWidth(1, std::max(69, dateWidth));
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setSectionsClickable(true);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &EventListWindow::SortByColumn);
    connect(grid_, &QTableView::doubleClicked, this, &EventListWindow::EditCurrent);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("pmList"));
    KeepMnemonics(*menu_);
    auto add = [&](const char* name, void (EventListWindow::*run)()) {
        QAction* action = menu_->addAction(context.Text(kList, name));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    add("iNew", &EventListWindow::NewEvent)->setEnabled(static_cast<bool>(context.EventEditor));
    QAction* edit = add("iEdit", &EventListWindow::EditCurrent);
    edit->setEnabled(static_cast<bool>(context.EventEditor));
    menu_->setDefaultAction(edit);
    add("iDelete", &EventListWindow::DeleteCurrent);
    menu_->addSeparator();
    QAction* sort = menu_->addAction(context.Text(kList, "iSort"));
    sort->setObjectName(QStringLiteral("iSort"));
    connect(sort, &QAction::triggered, this, [this] {
        SortByColumn(grid_->currentIndex().isValid() ? grid_->currentIndex().column() : 0);
    });
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(grid_->viewport()->mapToGlobal(at)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(grid_);
    resize(426, 418);
    Fill(year.ShownYear());
}

void EventListWindow::Fill(int year) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->SetRows(data::ListRowsOf(year_.EventsTable(), year_.Context().Groups->CdsGroups(), year,
                                     year_.Gregorian())
                        .rows);
    QApplication::restoreOverrideCursor();
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, 0));
}

void EventListWindow::SortByColumn(int column) {
    static constexpr data::ListOrder kOrders[] = {data::ListOrder::From, data::ListOrder::To,
                                                  data::ListOrder::Name};
    if (column < 0 || column >= kColumns) return;
    model_->Sort(kOrders[column]);
    if (model_->rowCount() > 0) grid_->setCurrentIndex(model_->index(0, column));
}

const data::ListRow* EventListWindow::CurrentRow() const {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid()) return nullptr;
    return &model_->Rows()[static_cast<std::size_t>(current.row())];
}

void EventListWindow::NewEvent() {
    const data::ListRow* row = CurrentRow();
    const std::optional<cal::CivilDate> date = row ? cal::ParseDateText(row->from) : std::nullopt;
    year_.NewEventOn(date.value_or(cal::CivilDate{1, 1, year_.ShownYear()}));
}

void EventListWindow::EditCurrent() {
    const data::ListRow* row = CurrentRow();
    if (!row || !year_.Context().EventEditor) return;
    const int ev_no = row->ev_no;
    const cal::CivilDate date =
        cal::ParseDateText(row->from).value_or(cal::CivilDate{1, 1, year_.ShownYear()});
    year_.EditEventByKey(ev_no, date);  // refills the list through the year window
}

void EventListWindow::DeleteCurrent() {
    const data::ListRow* row = CurrentRow();
    if (!row) return;
    const int ev_no = row->ev_no;
    const AppContext& context = year_.Context();
    const QMessageBox::StandardButton answer = context.Ui->Ask(
        this, QMessageBox::Warning, context.Text(kDayInfo, "Warning"),
        context.Text(kDayInfo, "ReallyDelete"), QMessageBox::Ok | QMessageBox::Cancel);
    if (answer == QMessageBox::Ok) year_.DeleteEventByKey(ev_no);
}

}  // namespace yorbel::gui
