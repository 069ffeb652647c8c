#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;

namespace talor::print {

// Draws the texts of cells as QPainter::drawText(box, Qt::TextSingleLine | Qt::AlignVCenter |
// alignment, text) draws them (same glyphs, same places, clipped to the box only when the text
// does not fit), but shapes each text once per font and sends a row's glyphs to the device as
// one run per font. A report repeats its codes, names, dates and times on every page: shaping
// them anew and starting a text object on the PDF page for every cell was most of the cost of
// a page. Texts that need more than a plain line (line breaks, tabs, right-to-left scripts) are
// drawn by QPainter::drawText itself.
//
// Glyphs wait until flush(): call it before painting anything that may overlap them, and
// before the painter's pen, transform or clip change.
class CellTextPainter
{
public:
    // Fonts and shapes depend on the device's resolution: a painter on a device of another
    // resolution starts afresh.
    void begin(QPainter& painter);

    // A handle for `font`, used by the calls below (cheap to ask again for the same font). A
    // new font is set on the painter once, to learn how the painter resolves it.
    int font(const QFont& font);

    // The text's width as QFontMetricsF::horizontalAdvance gives it on the painter's device.
    double width(int font, const QString& text);

    // `alignment` is Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter. A text may reach
    // past the box by `overhang` on the side(s) its alignment lets it run over: within that it
    // is drawn whole, a wider one is clipped there.
    void draw(const QRectF& box, int font, Qt::Alignment alignment, const QString& text, double overhang = 0);

    void flush();

private:
    struct Run
    {
        int rawFont;
        QList<quint32> glyphs;
        QList<QPointF> positions; // from the line's top-left corner
    };
    struct Shape
    {
        std::vector<Run> runs;
        double advance = 0; // QTextLine::horizontalAdvance
        double natural = 0; // QTextLine::naturalTextWidth
        double height = 0;
        double metricsWidth = -1; // QFontMetricsF::horizontalAdvance where it differs from advance
        bool plain = true;        // false: drawn by QPainter::drawText
    };
    struct FontShapes
    {
        QFont font; // as set on the painter
        QFont deviceFont;
        QHash<QString, Shape> shapes;
    };
    struct Batch
    {
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };

    Shape& shape(int font, const QString& text);
    int rawFont(const QRawFont& font);

    QPainter* m_painter = nullptr;
    int m_dpi = 0;
    std::vector<FontShapes> m_fonts;
    QHash<QFont, int> m_fontIds;
    std::vector<QRawFont> m_rawFonts;
    std::vector<Batch> m_batches; // one per raw font
};

} // namespace talor::print
