#include "paint/page_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "paint/win_color.h"
#include "paint/year_painter.h"

namespace yorbel::gui {

PageTextPainter::PageTextPainter(const PageText& text, const QString& font_family, int line_height,
                                 int page_width, int margin, const QPaintDevice* device)
    : entries_(text.Legend), pageWidth_(page_width), margin_(margin) {
    lineHeight_ = std::max(1, line_height);
    const int usable = std::max(1, page_width - 2 * margin);

    titleFont_ = YearFont(font_family, lineHeight_ * 3 / 2, device);
    titleFont_.setBold(true);
    const QFontMetrics title_metrics(titleFont_, device);
    titleHeight_ = title_metrics.height();
    if (!text.Title.isEmpty()) {
        // A very long calendar name must not run off the paper.
        title_ = title_metrics.elidedText(text.Title, Qt::ElideRight, usable);
        titleBand_ = margin + titleHeight_;
    }

    legendFont_ = YearFont(font_family, lineHeight_, device);
    const QFontMetrics metrics(legendFont_, device);
    swatch_ = std::max(1, metrics.height() * 2 / 3);
    gap_ = std::max(1, lineHeight_ / 3);
    // Entries run left to right and wrap; an entry never breaks, an overlong name is cut.
    int x = 0;
    int y = 0;
    for (LegendEntry& entry : entries_) {
        entry.Name =
            metrics.elidedText(entry.Name, Qt::ElideRight, std::max(1, usable - swatch_ - gap_));
        const int width = swatch_ + gap_ + metrics.horizontalAdvance(entry.Name);
        if (x > 0 && x + width > usable) {
            x = 0;
            y += lineHeight_;
        }
        entryRects_.emplace_back(x, y, width, lineHeight_);
        x += width + lineHeight_;
    }
    if (!entries_.empty()) legendBand_ = margin + y + lineHeight_;
}

void PageTextPainter::DrawTitle(QPainter& painter) const {
    if (title_.isEmpty()) return;
    painter.setFont(titleFont_);
    painter.setPen(Qt::black);
    painter.drawText(QRect(margin_, margin_, pageWidth_ - 2 * margin_, titleHeight_),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, title_);
}

void PageTextPainter::DrawLegend(QPainter& painter, int grid_bottom) const {
    painter.setFont(legendFont_);
    const QPoint origin(margin_, grid_bottom + margin_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const QRect entry = entryRects_[i].translated(origin);
        const QRect swatch(entry.left(), entry.top() + (entry.height() - swatch_) / 2, swatch_,
                           swatch_);
        PaintSwatch(painter, swatch, entries_[i].Color);
        painter.setPen(Qt::black);
        painter.drawText(entry.adjusted(swatch_ + gap_, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         entries_[i].Name);
    }
}

}  // namespace yorbel::gui
