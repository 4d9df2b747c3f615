#include "desktop/tool_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace yorbel::gui {

namespace {

// Every image is drawn on a 16 by 16 design grid and scaled to the size asked for.
class ToolIconEngine : public QIconEngine {
  public:
    explicit ToolIconEngine(ToolIcon kind) : kind_(kind) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        grey_ = mode == QIcon::Disabled;
        Draw(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap result = pixmap(size * scale, mode, state);
        result.setDevicePixelRatio(scale);
        return result;
    }

    QIconEngine* clone() const override { return new ToolIconEngine(kind_); }

  private:
    QColor C(QColor color) const {
        if (!grey_) return color;
        const int g = 110 + qGray(color.rgb()) / 2;
        return QColor(g, g, g);
    }
    QPen Pen(QColor color, qreal width = 1.0) const {
        QPen pen(C(color), width);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        return pen;
    }

    void Page(QPainter& p) const {
        QPainterPath page;
        page.moveTo(3.5, 1.5);
        page.lineTo(10, 1.5);
        page.lineTo(12.5, 4);
        page.lineTo(12.5, 14.5);
        page.lineTo(3.5, 14.5);
        page.closeSubpath();
        p.setPen(Pen(QColor(90, 90, 90)));
        p.setBrush(C(Qt::white));
        p.drawPath(page);
        p.drawLine(QPointF(10, 1.5), QPointF(10, 4));
        p.drawLine(QPointF(10, 4), QPointF(12.5, 4));
    }

    void CalendarSheet(QPainter& p, const QColor& head) const {
        p.setPen(Pen(QColor(80, 80, 80)));
        p.setBrush(C(Qt::white));
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(C(head));
        p.drawRect(QRectF(2, 3, 12, 3));
        p.setBrush(C(QColor(150, 150, 150)));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) p.drawRect(QRectF(3 + c * 2.7, 7.2 + r * 2.3, 1.6, 1.4));
    }

    void Arrow(QPainter& p, bool left) const {
        QPolygonF arrow;
        if (left)
            arrow << QPointF(2, 8) << QPointF(8, 2.5) << QPointF(8, 5.5) << QPointF(14, 5.5)
                  << QPointF(14, 10.5) << QPointF(8, 10.5) << QPointF(8, 13.5);
        else
            arrow << QPointF(14, 8) << QPointF(8, 2.5) << QPointF(8, 5.5) << QPointF(2, 5.5)
                  << QPointF(2, 10.5) << QPointF(8, 10.5) << QPointF(8, 13.5);
        p.setPen(Pen(QColor(20, 70, 140)));
        p.setBrush(C(QColor(60, 130, 210)));
        p.drawPolygon(arrow);
    }

    void Draw(QPainter& p) const {
        switch (kind_) {
            case ToolIcon::New:
                Page(p);
                p.setPen(Pen(QColor(230, 170, 0), 1.4));
                p.drawLine(QPointF(11.5, 9), QPointF(11.5, 15));
                p.drawLine(QPointF(8.5, 12), QPointF(14.5, 12));
                break;
            case ToolIcon::Open: {
                p.setPen(Pen(QColor(150, 110, 20)));
                p.setBrush(C(QColor(240, 200, 90)));
                p.drawRect(QRectF(1.5, 3.5, 11, 10));
                QPolygonF flap;
                flap << QPointF(3.5, 7.5) << QPointF(15, 7.5) << QPointF(12.5, 13.5)
                     << QPointF(1.5, 13.5);
                p.setBrush(C(QColor(250, 220, 120)));
                p.drawPolygon(flap);
                break;
            }
            case ToolIcon::Save:
                p.setPen(Pen(QColor(30, 50, 110)));
                p.setBrush(C(QColor(60, 90, 180)));
                p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
                p.setBrush(C(Qt::white));
                p.drawRect(QRectF(4, 1.5, 8, 5));
                p.setBrush(C(QColor(200, 200, 200)));
                p.drawRect(QRectF(4.5, 9.5, 7, 5));
                break;
            case ToolIcon::Print:
                p.setPen(Pen(QColor(70, 70, 70)));
                p.setBrush(C(Qt::white));
                p.drawRect(QRectF(4.5, 1.5, 7, 5));
                p.setBrush(C(QColor(170, 170, 170)));
                p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
                p.setBrush(C(Qt::white));
                p.drawRect(QRectF(4.5, 10.5, 7, 4));
                p.setPen(Pen(QColor(40, 170, 60)));
                p.drawPoint(QPointF(12.5, 8.5));
                break;
            case ToolIcon::Today:
                CalendarSheet(p, QColor(200, 40, 40));
                p.setPen(Pen(QColor(200, 40, 40), 1.2));
                p.setBrush(C(QColor(255, 230, 0)));
                p.drawRect(QRectF(8.2, 9.2, 3.6, 3.4));
                break;
            case ToolIcon::Filter: {
                QPolygonF funnel;
                funnel << QPointF(1.5, 2.5) << QPointF(14.5, 2.5) << QPointF(9.5, 8.5)
                       << QPointF(9.5, 14) << QPointF(6.5, 12.5) << QPointF(6.5, 8.5);
                p.setPen(Pen(QColor(40, 90, 40)));
                p.setBrush(C(QColor(90, 180, 90)));
                p.drawPolygon(funnel);
                break;
            }
            case ToolIcon::Calc:
                p.setPen(Pen(QColor(60, 60, 60)));
                p.setBrush(C(QColor(210, 210, 200)));
                p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 1.5, 1.5);
                p.setBrush(C(QColor(190, 230, 190)));
                p.drawRect(QRectF(4, 2, 8, 3.5));
                p.setPen(Qt::NoPen);
                p.setBrush(C(QColor(70, 70, 70)));
                for (int r = 0; r < 3; ++r)
                    for (int c = 0; c < 3; ++c) p.drawRect(QRectF(4 + c * 3, 7 + r * 2.8, 2, 1.8));
                break;
            case ToolIcon::Inspect:
                p.setPen(Pen(QColor(90, 60, 30), 2.2));
                p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
                p.setPen(Pen(QColor(40, 40, 40), 1.4));
                p.setBrush(C(QColor(200, 230, 255)));
                p.drawEllipse(QPointF(6.5, 6.5), 4.8, 4.8);
                break;
            case ToolIcon::PrevYear:
                Arrow(p, true);
                break;
            case ToolIcon::NextYear:
                Arrow(p, false);
                break;
            case ToolIcon::App: {
                CalendarSheet(p, QColor(40, 90, 170));
                p.setPen(Qt::NoPen);
                p.setBrush(C(QColor(240, 120, 40)));
                p.drawRect(QRectF(5.7, 7.2, 1.6, 1.4));
                p.setBrush(C(QColor(60, 170, 80)));
                p.drawRect(QRectF(8.4, 11.8, 1.6, 1.4));
                break;
            }
        }
    }

    ToolIcon kind_;
    bool grey_ = false;
};

}  // namespace

QIcon MakeToolIcon(ToolIcon kind) {
    return QIcon(new ToolIconEngine(kind));
}

}  // namespace yorbel::gui
