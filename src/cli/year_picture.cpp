#include "cli/year_picture.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

#include "cli/args.h"

namespace yorbel::cli {

QSize YearPictureSpec::PixelSize() const {
    if (size) return *size;
    const QFont font = gui::YearFont(style.FontName, style.FontSize);
    const QSize outer = gui::AdaptedWindowSize(
        QFontMetrics(font).horizontalAdvance(style.WeekLabel), style.FontSize);
    return {outer.width(), outer.height() - gui::kCaptionAllowance};
}

gui::YearLayout DrawYearPicture(QPainter& painter, const YearPictureSpec& picture,
                                gui::DayGrid& grid) {
    const QSize size = picture.PixelSize();
    const gui::YearLayout layout =
        gui::ScreenLayout(size.width(), size.height() + gui::kCaptionAllowance);
    painter.setFont(picture.size ? gui::YearFont(picture.style.FontName, layout.RowHeight)
                                 : gui::YearFont(picture.style.FontName, picture.style.FontSize));
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    grid.Clear();
    const gui::YearPainter year_painter(picture.style, picture.day_color);
    year_painter.DrawMonths(painter, layout, picture.year, grid, -1, 0, false);
    return layout;
}

std::optional<PictureFormat> PictureFormatOf(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png") return PictureFormat::Png;
    if (extension == ".svg") return PictureFormat::Svg;
    if (extension == ".pdf") return PictureFormat::Pdf;
    return std::nullopt;
}

namespace {

// A painter that could not start (no memory for a huge image, ...) must not give an
// empty file that looks like success.
void NeedActive(const QPainter& painter) {
    if (!painter.isActive()) throw Failure("cannot draw a picture of that size");
}

}  // namespace

std::string YearPictureBytes(PictureFormat format, const YearPictureSpec& picture) {
    const QSize size = picture.PixelSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    gui::DayGrid grid;
    switch (format) {
        case PictureFormat::Png: {
            QImage image(size, QImage::Format_RGB32);
            QPainter painter(&image);
            NeedActive(painter);
            DrawYearPicture(painter, picture, grid);
            painter.end();
            if (!image.save(&buffer, "PNG")) throw Failure("cannot encode the PNG picture");
            break;
        }
        case PictureFormat::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle(QStringLiteral("Yorbel %1").arg(picture.year));
            QPainter painter(&svg);
            NeedActive(painter);
            DrawYearPicture(painter, picture, grid);
            break;
        }
        case PictureFormat::Pdf: {
            // One point per pixel: the page is the picture, drawn as vectors.
            QPdfWriter pdf(&buffer);
            pdf.setResolution(72);
            pdf.setPageSize(
                QPageSize(QSizeF(size), QPageSize::Point, QString(), QPageSize::ExactMatch));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            pdf.setCreator(QStringLiteral("Yorbel"));
            pdf.setTitle(QStringLiteral("Yorbel %1").arg(picture.year));
            QPainter painter(&pdf);
            NeedActive(painter);
            DrawYearPicture(painter, picture, grid);
            break;
        }
    }
    return bytes.toStdString();
}

}  // namespace yorbel::cli
