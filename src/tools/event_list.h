// EventListWindow: the event list of one year window, a tool window kept above it that shows
// every occurrence of a shown group in the year that window shows, sortable by first day,
// last day or name. Its popup menu creates, edits and deletes events through the year
// window; closing it deletes it, which the year window sees through its guarded pointer.
#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QString>
#include <QWidget>
#include <vector>

#include "data/list_rows.h"

class QAction;
class QMenu;
class QTableView;

namespace yorbel::gui {

class YearWindowLink;

// The list rows as a read-only table: first day, last day (display dates) and name.
class ListRowsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    ListRowsModel(const QStringList& titles, const QLocale& locale, QObject* parent = nullptr);
    void SetRows(std::vector<data::ListRow> rows);
    void Sort(data::ListOrder order);
    const std::vector<data::ListRow>& Rows() const { return rows_; }
    // "yyyymmdd" in the locale's short date format; empty for an empty or broken text.
    QString DisplayDate(const std::string& date_text) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QStringList titles_;
    QLocale locale_;
    std::vector<data::ListRow> rows_;
};

class EventListWindow : public QWidget {
    Q_OBJECT

  public:
    // A list for the year window, filled for its shown year; a child of its widget.
    explicit EventListWindow(YearWindowLink& year);

    // Rebuilds the rows for the year, in order of their first day.
    void Fill(int year);
    // Sorts by the column (0 first day, 1 last day, 2 name).
    void SortByColumn(int column);
    const ListRowsModel& Model() const { return *model_; }

    void NewEvent();
    void EditCurrent();
    void DeleteCurrent();

  private:
    const data::ListRow* CurrentRow() const;

    YearWindowLink& year_;
    ListRowsModel* model_;
    QTableView* grid_;
    QMenu* menu_;
};

}  // namespace yorbel::gui
