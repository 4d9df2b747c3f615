#include "yearview/inspector_hint.h"

#include <QFontMetrics>
#include <QPalette>
#include <QTextDocument>
#include <algorithm>

#include "ui/day_facts_text.h"

namespace yorbel::gui {

namespace {

constexpr int kMinWidth = 185;
constexpr int kMinHeight = 60;
constexpr int kPointerGap = 20;

}  // namespace

InspectorHint::InspectorHint(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("mmHint"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, parent->palette().color(QPalette::ToolTipBase));
    colours.setColor(QPalette::Text, parent->palette().color(QPalette::ToolTipText));
    setPalette(colours);
    resize(kMinWidth, 181);
    hide();
}

void InspectorHint::SetDay(const DayFactsText& facts, const QStringList& event_names) {
    QStringList lines;
    lines << facts.Day << QString() << facts.Weeks << facts.Days << facts.JD << QString();
    lines << QStringLiteral("S: ") + facts.Sun;
    lines << QStringLiteral("M: ") + facts.Moon;
    lines << facts.Zone;
    lines << QString();
    lines << event_names;
    const QString text = lines.join(QLatin1Char('\n'));
    setPlainText(text);

    const QFontMetrics metrics(font());
    int widest = 0;
    lines = text.split(QLatin1Char('\n'));  // an event name may hold line breaks
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int frame = 2 * (frameWidth() + static_cast<int>(document()->documentMargin())) + 4;
    resize(std::max(kMinWidth, widest + frame),
           std::max(kMinHeight, static_cast<int>(lines.size()) * metrics.lineSpacing() + frame));
}

void InspectorHint::ShowBeside(QPoint pointer) {
    const QSize box = size();
    const QSize room = parentWidget()->size();
    int left = pointer.x() + kPointerGap;
    if (left + box.width() > room.width()) left = pointer.x() - box.width() - kPointerGap;
    int top = pointer.y();
    if (top + box.height() > room.height()) top = pointer.y() - box.height();
    move(std::max(0, left), std::max(0, top));
    show();
    raise();
}

}  // namespace yorbel::gui
