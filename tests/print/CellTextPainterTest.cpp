#include "print/CellTextPainter.h"

#include "print/PrintTestSupport.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using talor::print::CellTextPainter;

namespace {

// Plain lines in each alignment, CJK and mixed, texts too wide for their box (clipped),
// and texts drawText lays out itself (a tab, a line break, right-to-left script, underlining).
// The text, its alignment, the width of its box in points, bold (1) and underlined (2).
// clang-format off
const std::tuple<const char*, Qt::Alignment, double, int> Cases[] = {
    {"E00012", Qt::AlignLeft, 60, 0}, {"张三", Qt::AlignLeft, 60, 1}, {"2024-03-05", Qt::AlignRight, 60, 0},
    {"123.25", Qt::AlignRight, 33.3, 0}, {"第1页 共3页", Qt::AlignHCenter, 80.7, 0}, {"AB", Qt::AlignHCenter, 25, 1},
    {"  leading and trailing  ", Qt::AlignRight, 150, 0}, {"示范公司制表人张三审核人一二三四五", Qt::AlignLeft, 50, 0},
    {"9876543210", Qt::AlignRight, 20, 0}, {"wide centred text", Qt::AlignHCenter, 30, 1}, {"a\ttab", Qt::AlignLeft, 80, 0},
    {"two\nlines", Qt::AlignRight, 80, 0}, {"שלום abc", Qt::AlignLeft, 80, 0},
    {"E00012 张三", Qt::AlignLeft, 80, 2}};
// clang-format on

constexpr double RowHeight = 15;

QFont cellFont(const QPainter& painter)
{
    QFont font("WenQuanYi Micro Hei");
    font.setPointSizeF(10 * 72.0 / painter.device()->logicalDpiY());
    return font;
}

// Paints every case in its own band, 15 points high, at a fractional offset, as drawText
// draws it or through `texts`, whose widths are those of the metrics on the device.
void paintCases(QPainter& painter, CellTextPainter* texts)
{
    if (texts)
        texts->begin(painter);
    painter.setPen(Qt::black);
    const QFont anyDevice("WenQuanYi Micro Hei", 10); // one font on every device
    double y = 3.3;
    for (const auto& [text, alignment, width, style] : Cases) {
        QFont font = cellFont(painter);
        font.setBold(style & 1);
        font.setUnderline(style & 2);
        const QRectF box(12.4, y, width, RowHeight);
        if (texts) {
            texts->draw(box, texts->font(font), alignment, QString::fromUtf8(text));
            EXPECT_DOUBLE_EQ(
                texts->width(texts->font(anyDevice), QString::fromUtf8(text)),
                QFontMetricsF(anyDevice, painter.device()).horizontalAdvance(QString::fromUtf8(text)));
        } else {
            painter.setFont(font);
            painter.drawText(box, int(Qt::TextSingleLine | Qt::AlignVCenter | alignment),
                             QString::fromUtf8(text));
        }
        y += RowHeight;
    }
    if (texts)
        texts->flush();
}

// The band (case) where two greyscale pictures first differ, or -1.
int firstDifferentBand(const QImage& a, const QImage& b, double pixelsPerPoint)
{
    for (int row = 0; row < a.height(); ++row)
        for (int col = 0; col < a.width(); ++col)
            if (a.pixel(col, row) != b.pixel(col, row))
                return int((row / pixelsPerPoint - 3.3) / RowHeight);
    return -1;
}

const double PagePoints = 72 * 3.5;

// A white picture at 288 dpi of what `paint` draws, in points, with a black pen.
QImage picture(double width, double height, const std::function<void(QPainter&)>& paint)
{
    QImage image(int(width * 4), int(height * 4), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(4, 4);
    painter.setPen(Qt::black);
    paint(painter);
    return image;
}

// The PDF page rendered by pdftoppm at 288 dpi.
QImage paintedPdf(const QString& dir, CellTextPainter* texts)
{
    const QString pdf = QDir(dir).filePath(texts ? "cells.pdf" : "drawtext.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QSizeF(PagePoints, PagePoints), QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.scale(writer.logicalDpiX() / 72.0, writer.logicalDpiX() / 72.0);
        paintCases(painter, texts);
    }
    talor::test::runTool("pdftoppm", {"-r", "288", "-gray", "-png", "-singlefile", pdf, pdf});
    return QImage(pdf + ".png");
}

} // namespace

// The same pixels as drawText, on a picture and on a PDF page as a reader renders it, by one
// painter of cell texts going from the one device to the other.
TEST(CellTextPainter, DrawsTextsWhereDrawTextDoes)
{
    CellTextPainter texts;
    const auto painted = [](CellTextPainter* texts) {
        return picture(PagePoints, PagePoints, [&](QPainter& painter) { paintCases(painter, texts); });
    };
    EXPECT_EQ(firstDifferentBand(painted(nullptr), painted(&texts), 4), -1) << "on a picture";

    QTemporaryDir dir;
    const QImage pdfReference = paintedPdf(dir.path(), nullptr);
    ASSERT_FALSE(pdfReference.isNull());
    EXPECT_EQ(firstDifferentBand(pdfReference, paintedPdf(dir.path(), &texts), 4), -1) << "on a PDF page";
}

// A right-aligned text reaching past its box's left side: up to `overhang` it is drawn whole,
// beyond it clipped there, as drawText draws it in a box widened on the left by that much.
TEST(CellTextPainter, ATextReachingIntoTheOverhangIsDrawnWholeBeyondItClippedThere)
{
    const double overhang = 2;
    for (const double reach : {overhang - 0.5, overhang + 0.5}) {
        const auto paint = [&](bool throughCellTexts) {
            return picture(100, 25, [&](QPainter& painter) {
                const QFont font = cellFont(painter);
                painter.setFont(font);
                const QString text = "2024-03-05";
                const double natural = QFontMetricsF(painter.font()).horizontalAdvance(text);
                EXPECT_GT(natural, 40);
                // On the 1/64 grid, so that both ways of placing the line give the same point.
                const QRectF box(10.25, 4, natural - reach, RowHeight);
                if (throughCellTexts) {
                    CellTextPainter texts;
                    texts.begin(painter);
                    texts.draw(box, texts.font(font), Qt::AlignRight, text, overhang);
                    texts.flush();
                } else {
                    painter.drawText(box.adjusted(-overhang, 0, 0, 0),
                                     int(Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignRight), text);
                }
            });
        };
        EXPECT_EQ(paint(true), paint(false)) << "reaching " << reach << " points past the box";
    }
}
