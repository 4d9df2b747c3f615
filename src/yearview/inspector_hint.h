// The inspector's box beside the pointer: the facts and shown events of the day under it.
#pragma once

#include <QPlainTextEdit>
#include <QPoint>
#include <QStringList>

namespace yorbel::gui {

struct DayFactsText;

class InspectorHint : public QPlainTextEdit {
    Q_OBJECT

  public:
    // Hidden until shown; the pointer passes through it to the window below.
    explicit InspectorHint(QWidget* parent);

    // Fills the box with a day's facts and event names; it grows to its longest line so
    // long event names and large fonts are not cut off.
    void SetDay(const DayFactsText& facts, const QStringList& event_names);

    // Shows the box beside the pointer, flipped to the other side near the parent's right
    // and bottom edges so it stays inside.
    void ShowBeside(QPoint pointer);

    QString Text() const { return toPlainText(); }
};

}  // namespace yorbel::gui
