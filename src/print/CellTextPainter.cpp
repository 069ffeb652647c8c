#include "print/CellTextPainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace talor::print {

namespace {

// Shapes kept per font before the oldest are dropped: a sheet's unique texts (codes, running
// numbers) would otherwise grow the cache with the sheet.
constexpr qsizetype MaxShapesPerFont = 20000;

// Whether QPainter::drawText lays the text out as one plain line: no line breaks or tabs it
// would replace or expand, nothing that may run right to left.
bool isPlainLine(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const auto in = [u](char16_t first, char16_t last) {
            return u >= first && u <= last;
        };
        if (u < 0x20 || u == 0x7F || u == 0x2028 || u == 0x2029 || c.isSurrogate())
            return false;
        if (in(0x0590, 0x08FF) || in(0x200E, 0x200F) || in(0x202A, 0x202E) || in(0x2066, 0x2069) ||
            in(0xFB1D, 0xFDFF) || in(0xFE70, 0xFEFF))
            return false;
    }
    return true;
}

} // namespace

void CellTextPainter::begin(QPainter& painter)
{
    const int dpi = painter.device()->logicalDpiY();
    if (dpi != m_dpi) {
        m_fonts.clear();
        m_fontIds.clear();
        m_rawFonts.clear();
        m_batches.clear();
        m_dpi = dpi;
    }
    m_painter = &painter;
}

int CellTextPainter::font(const QFont& font)
{
    if (const auto found = m_fontIds.constFind(font); found != m_fontIds.cend())
        return *found;
    // The font as the painter resolves it for its device, which drawText would use.
    m_painter->setFont(font);
    m_fonts.push_back({font, m_painter->font(), {}});
    m_fontIds.insert(font, int(m_fonts.size() - 1));
    return int(m_fonts.size() - 1);
}

int CellTextPainter::rawFont(const QRawFont& font)
{
    for (size_t i = 0; i < m_rawFonts.size(); ++i) {
        if (m_rawFonts[i] == font)
            return int(i);
    }
    m_rawFonts.push_back(font);
    m_batches.emplace_back();
    return int(m_rawFonts.size() - 1);
}

CellTextPainter::Shape& CellTextPainter::shape(int font, const QString& text)
{
    FontShapes& fontShapes = m_fonts[size_t(font)];
    if (const auto found = fontShapes.shapes.find(text); found != fontShapes.shapes.end())
        return *found;
    if (fontShapes.shapes.size() >= MaxShapesPerFont)
        fontShapes.shapes.clear();
    Shape& shape = fontShapes.shapes[text];
    if (!isPlainLine(text)) {
        shape.plain = false;
        return shape;
    }
    // The one line QPainter::drawText lays out for a single-line text.
    QTextLayout layout(text, fontShapes.deviceFont);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0x01000000);
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    shape.advance = line.horizontalAdvance();
    shape.natural = line.naturalTextWidth();
    // The unrounded line height, by which drawText centres the line (QTextLine::height rounds up).
    shape.height = line.ascent() + line.descent();
    for (const QGlyphRun& glyphs : layout.glyphRuns()) {
        Run run{rawFont(glyphs.rawFont()), glyphs.glyphIndexes(), glyphs.positions()};
        if (glyphs.overline() || glyphs.underline() || glyphs.strikeOut()) {
            shape.plain = false; // decorations are left to drawText
            break;
        }
        shape.runs.push_back(std::move(run));
    }
    return shape;
}

double CellTextPainter::width(int font, const QString& text)
{
    Shape& s = shape(font, text);
    // The line's advance is the metrics' width but for trailing spaces, which it leaves out.
    if (s.plain && !text.isEmpty() && !text.back().isSpace())
        return s.advance;
    if (s.metricsWidth < 0)
        s.metricsWidth =
            QFontMetricsF(m_fonts[size_t(font)].deviceFont, m_painter->device()).horizontalAdvance(text);
    return s.metricsWidth;
}

void CellTextPainter::draw(const QRectF& box, int font, Qt::Alignment alignment, const QString& text,
                           double overhang)
{
    const Shape& s = shape(font, text);
    const auto offset = [&](double width) {
        if (alignment & Qt::AlignRight)
            return box.width() - width;
        if (alignment & Qt::AlignHCenter)
            return (box.width() - width) / 2;
        return 0.0;
    };
    const double top = box.y() + (box.height() - s.height) / 2;
    // The box widened by the overhang on the side(s) the text runs over: the left of a
    // right-aligned text, the right of a left-aligned one, both of a centred one.
    const QRectF room = box.adjusted((alignment & Qt::AlignLeft) ? 0 : -overhang, 0,
                                     (alignment & Qt::AlignRight) ? 0 : overhang, 0);
    // drawText clips to the box only when the line's natural extent leaves it.
    const bool fits = room.contains(QRectF(box.x() + offset(s.natural), top, s.natural, s.height));
    if (!s.plain || !fits) {
        flush();
        if (!s.plain) {
            m_painter->setFont(m_fonts[size_t(font)].font);
            m_painter->drawText(box, int(Qt::TextSingleLine | Qt::AlignVCenter | alignment), text);
            return;
        }
    }
    // drawText places the line at this point cut down to its 1/64 grid (QFixed), then adds
    // each glyph's position on that grid.
    const auto onGrid = [](double v) {
        return std::trunc(v * 64) / 64;
    };
    const QPointF origin(onGrid(box.x() + offset(s.advance)), onGrid(top));
    if (fits) {
        for (const Run& run : s.runs) {
            Batch& batch = m_batches[size_t(run.rawFont)];
            batch.glyphs.append(run.glyphs);
            for (const QPointF& p : run.positions)
                batch.positions.append(origin + p);
        }
        return;
    }
    m_painter->save();
    m_painter->setClipRect(room, Qt::IntersectClip);
    for (const Run& run : s.runs) {
        QGlyphRun glyphs;
        glyphs.setRawFont(m_rawFonts[size_t(run.rawFont)]);
        glyphs.setGlyphIndexes(run.glyphs);
        glyphs.setPositions(run.positions);
        m_painter->drawGlyphRun(origin, glyphs);
    }
    m_painter->restore();
}

void CellTextPainter::flush()
{
    for (size_t i = 0; i < m_batches.size(); ++i) {
        Batch& batch = m_batches[i];
        if (batch.glyphs.isEmpty())
            continue;
        QGlyphRun glyphs;
        glyphs.setRawFont(m_rawFonts[i]);
        glyphs.setGlyphIndexes(batch.glyphs);
        glyphs.setPositions(batch.positions);
        m_painter->drawGlyphRun(QPointF(0, 0), glyphs);
        batch.glyphs.clear();
        batch.positions.clear();
    }
}

} // namespace talor::print
