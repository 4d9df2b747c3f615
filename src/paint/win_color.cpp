#include "paint/win_color.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace yorbel::gui {

namespace {

// The border that sets a colour swatch off from a white ground.
const QColor kSwatchBorder(64, 64, 64);

// Windows system colour indices and the palette entries closest to their meaning.
QColor SystemColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
        case 1:   // desktop
        case 12:  // application workspace
            return palette.color(QPalette::Dark);
        case 2:   // active caption
        case 13:  // highlight
            return palette.color(QPalette::Highlight);
        case 3:   // inactive caption
        case 11:  // inactive border
            return palette.color(QPalette::Inactive, QPalette::Highlight);
        case 4:   // menu
        case 15:  // button face
        case 0:   // scroll bar
        case 10:  // active border
            return palette.color(QPalette::Button);
        case 7:   // menu text
        case 18:  // button text
            return palette.color(QPalette::ButtonText);
        case 6:   // window frame
        case 21:  // 3D dark shadow
            return palette.color(QPalette::Shadow);
        case 8:  // window text
            return palette.color(QPalette::WindowText);
        case 9:   // caption text
        case 14:  // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 16:  // button shadow
            return palette.color(QPalette::Mid);
        case 17:  // grey text
        case 19:  // inactive caption text
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 20:  // button highlight
        case 22:  // 3D light
            return palette.color(QPalette::Light);
        case 23:  // tooltip text
            return palette.color(QPalette::ToolTipText);
        case 24:  // tooltip background
            return palette.color(QPalette::ToolTipBase);
        default:  // 5 window and anything unknown
            return palette.color(QPalette::Base);
    }
}

}  // namespace

QColor WinColorToQColor(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits >> 24) == 0x80) return SystemColor(static_cast<int>(bits & 0xFF));
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

std::int32_t QColorToWinColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                     (static_cast<std::uint32_t>(rgb.blue()) << 16));
}

void PaintSwatch(QPainter& painter, const QRect& square, std::int32_t value) {
    painter.fillRect(square, WinColorToQColor(value));
    painter.setPen(kSwatchBorder);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square.adjusted(0, 0, -1, -1));
}

QIcon ColorSwatch(std::int32_t value) {
    QPixmap swatch(14, 14);
    QPainter painter(&swatch);
    PaintSwatch(painter, swatch.rect(), value);
    painter.end();
    return QIcon(swatch);
}

}  // namespace yorbel::gui
