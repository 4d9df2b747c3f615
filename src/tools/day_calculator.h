// DayCalculatorDialog: the modal day calculator of a year window. It counts the days between two
// dates, both included, and with its options panel open counts only chosen weekdays and
// combines them with the dates of events of chosen groups. It reads only.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace yorbel::gui {

class CivilDateEdit;
class YearWindowLink;

class DayCalculatorDialog : public QDialog {
    Q_OBJECT

  public:
    // From 1 January to 31 December of the year window's shown year, every weekday and
    // group counted, the options panel hidden.
    explicit DayCalculatorDialog(YearWindowLink& year);

    void Calculate();

  private:
    // One side of the panel: its weekday and group lists (each line keyed in UserRole).
    struct Side {
        QListWidget* weekdays;
        QListWidget* groups;
    };
    void ResetResult();
    void ToggleOptions();
    // Moves the selected line (or all lines) of the selected list from one side to the
    // other; a selected group goes before a selected weekday.
    void Move(Side from, Side to, bool all);
    void UpdateMoveButtons();

    YearWindowLink& year_;
    CivilDateEdit* from_;
    CivilDateEdit* to_;
    Side count_;
    Side dontCount_;
    QPushButton* hideAll_;
    QPushButton* hide_;
    QPushButton* show_;
    QPushButton* showAll_;
    QRadioButton* or_;
    QRadioButton* and_;
    QCheckBox* not_;
    QLabel* result_;
    QLabel* combined_;
    QPushButton* calc_;
    QPushButton* optionsButton_;
    QWidget* options_;
};

}  // namespace yorbel::gui
