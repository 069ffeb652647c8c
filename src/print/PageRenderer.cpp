#include "print/PageRenderer.h"

#include "grid/CellAddress.h"
#include "io/FileWrite.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <array>
#include <cmath>

namespace talor::print {

namespace {

// Space between a cell's text and its sides, in points.
constexpr double TextPadding = 2;

// The smallest size, in points, to which a number too wide for its cell is made smaller.
constexpr double SmallestPointSize = 3;
// The room kept between a centred header or footer and the left and right ones beside it.
constexpr double SideGap = 6;

QColor toColour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// A spreadsheet's line styles (1 thin .. 13 slanted dash-dot) as pens, widths in points.
QPen borderPen(short style, quint32 colour, bool blackAndWhite)
{
    double width = 0.5;
    Qt::PenStyle line = Qt::SolidLine;
    switch (style) {
    case 2:
        width = 1;
        break;
    case 3:
        line = Qt::DashLine;
        break;
    case 4:
        line = Qt::DotLine;
        break;
    case 5:
        width = 1.5;
        break;
    case 6:
        width = 1.5;
        break; // double: drawn as one heavier line
    case 7:
        width = 0.25;
        break;
    case 8:
        width = 1;
        line = Qt::DashLine;
        break;
    case 9:
        line = Qt::DashDotLine;
        break;
    case 10:
        width = 1;
        line = Qt::DashDotLine;
        break;
    case 11:
        line = Qt::DashDotDotLine;
        break;
    case 12:
        width = 1;
        line = Qt::DashDotDotLine;
        break;
    case 13:
        width = 1;
        line = Qt::DashDotLine;
        break;
    default:
        break;
    }
    QPen pen(blackAndWhite ? QColor(Qt::black) : toColour(colour), width, line, Qt::FlatCap);
    return pen;
}

// A font whose size is `points` in the painter's coordinates (points), on a device of `dpi`.
QFont scaledFont(const QString& family, double points, int dpi, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setPointSizeF(points * 72.0 / dpi);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// `text` with tabs, line breaks and other control characters as blanks: a name brought into a
// header or footer prints on its code's line, measured like the rest of it.
QString blankedControls(QString text)
{
    for (QChar& c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return text;
}

double digitsWidth(int lastRow)
{
    return 6.0 * QString::number(lastRow).size() + 8;
}

} // namespace

PageRenderer::PageRenderer(const PrintGrid& grid, const PageSetup& setup, HeaderFooterContext context,
                           PrintFonts fonts)
    : m_grid(grid), m_setup(setup), m_context(std::move(context)), m_fonts(std::move(fonts))
{
    m_context.sheetName = blankedControls(m_context.sheetName);
    m_context.filePath = blankedControls(m_context.filePath);
    if (m_setup.printArea)
        m_area = *m_setup.printArea;
    else
        m_area = grid::CellRange{1, 1, std::max(1, grid.lastRow()), std::max(1, grid.lastColumn())};
    int rows = m_area.row2;
    if (m_setup.titleRows)
        rows = std::max(rows, m_setup.titleRows->second);
    m_metrics.columnWidths.resize(size_t(m_area.col2));
    for (int c = 1; c <= m_area.col2; ++c)
        m_metrics.columnWidths[size_t(c - 1)] = grid.columnWidth(c);
    m_metrics.rowHeights.resize(size_t(rows));
    for (int r = 1; r <= rows; ++r)
        m_metrics.rowHeights[size_t(r - 1)] = grid.rowHeight(r);
    if (m_setup.printHeadings) {
        m_metrics.headingWidth = digitsWidth(rows);
        m_metrics.headingHeight = SheetPrintGrid::DefaultRowHeight;
    }
    m_pagination = paginate(m_setup, m_area, m_metrics);
}

void PageRenderer::paintPage(QPainter& painter, int index) const
{
    const Page& page = m_pagination.pages.at(size_t(index));
    m_texts.begin(painter);
    paintHeaderFooter(painter, page);

    const auto& widths = m_metrics.columnWidths;
    const auto& heights = m_metrics.rowHeights;
    double width = m_metrics.headingWidth, height = m_metrics.headingHeight;
    for (int c = page.col1; c <= page.col2; ++c)
        width += widths[size_t(c - 1)];
    double titleHeight = 0;
    if (page.titleRows) {
        for (int r = page.titleRows->first; r <= page.titleRows->second; ++r)
            titleHeight += heights[size_t(r - 1)];
    }
    height += titleHeight;
    for (int r = page.row1; r <= page.row2; ++r)
        height += heights[size_t(r - 1)];

    const double scale = m_pagination.scale;
    const QSizeF body = m_pagination.body;
    double x = m_setup.leftMargin, y = m_setup.topMargin;
    if (m_setup.centerHorizontally)
        x += std::max(0.0, (body.width() - width * scale) / 2);
    if (m_setup.centerVertically)
        y += std::max(0.0, (body.height() - height * scale) / 2);

    painter.save();
    painter.setClipRect(QRectF(QPointF(m_setup.leftMargin, m_setup.topMargin), body));
    painter.translate(x, y);
    painter.scale(scale, scale);
    const bool headings = m_setup.printHeadings;
    if (headings) {
        // Column letters above the cells.
        const int dpi = painter.device()->logicalDpiX();
        const int font = m_texts.font(scaledFont(m_fonts.family, m_fonts.cellPointSize, dpi));
        painter.setPen(QPen(Qt::black, 0.25));
        double cx = m_metrics.headingWidth;
        for (int c = page.col1; c <= page.col2; ++c) {
            const QRectF cell(cx, 0, widths[size_t(c - 1)], m_metrics.headingHeight);
            painter.fillRect(cell, m_setup.blackAndWhite ? QColor(Qt::white) : QColor(0xE8, 0xE8, 0xE8));
            painter.drawRect(cell);
            m_texts.draw(cell, font, Qt::AlignHCenter, grid::columnName(c));
            cx += cell.width();
        }
        m_texts.flush();
    }
    double top = m_metrics.headingHeight;
    if (page.titleRows) {
        paintBlock(painter, page.titleRows->first, page.titleRows->second, page.col1, page.col2, top,
                   headings);
        top += titleHeight;
    }
    paintBlock(painter, page.row1, page.row2, page.col1, page.col2, top, headings);
    painter.restore();
}

void PageRenderer::paintBlock(QPainter& painter, int row1, int row2, int col1, int col2, double top,
                              bool headings) const
{
    const int dpi = painter.device()->logicalDpiX();
    const int font = m_texts.font(scaledFont(m_fonts.family, m_fonts.cellPointSize, dpi));
    const int boldFont = m_texts.font(scaledFont(m_fonts.family, m_fonts.cellPointSize, dpi, true));
    const bool colours = !m_setup.blackAndWhite;
    const bool fills = colours && !m_setup.draft;
    const bool gridLines = m_setup.printGridLines && !m_setup.draft;
    const double left = m_metrics.headingWidth;

    // Left edges of the columns col1..col2+1.
    std::vector<double> xs(size_t(col2 - col1 + 2));
    xs[0] = left;
    for (int c = col1; c <= col2; ++c)
        xs[size_t(c - col1 + 1)] = xs[size_t(c - col1)] + m_metrics.columnWidths[size_t(c - 1)];

    const int columns = col2 - col1 + 1;
    std::vector<QString> texts(static_cast<size_t>(columns));
    std::vector<CellLook> looks(static_cast<size_t>(columns));
    double y = top;
    for (int r = row1; r <= row2; ++r) {
        const double h = m_metrics.rowHeights[size_t(r - 1)];
        for (int c = col1; c <= col2; ++c) {
            texts[size_t(c - col1)] = m_grid.text(r, c);
            looks[size_t(c - col1)] = m_grid.look(r, c);
        }
        if (headings) {
            const QRectF cell(0, y, left, h);
            painter.fillRect(cell, colours ? QColor(0xE8, 0xE8, 0xE8) : QColor(Qt::white));
            painter.setPen(QPen(Qt::black, 0.25));
            painter.drawRect(cell);
            m_texts.draw(cell, font, Qt::AlignHCenter, QString::number(r));
            m_texts.flush();
        }
        if (fills) {
            for (int i = 0; i < columns; ++i) {
                const grid::CellFill& fill = looks[size_t(i)].fill;
                if (fill.pattern <= 0)
                    continue;
                const QRectF cell(xs[size_t(i)], y, xs[size_t(i + 1)] - xs[size_t(i)], h);
                if (fill.pattern == 1) {
                    painter.fillRect(cell, toColour(fill.foreground));
                } else {
                    painter.fillRect(cell, toColour(fill.background));
                    painter.fillRect(cell, QBrush(toColour(fill.foreground), Qt::Dense4Pattern));
                }
            }
        }
        if (gridLines) {
            painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0.25));
            painter.drawLine(QPointF(left, y), QPointF(xs.back(), y));
            painter.drawLine(QPointF(left, y + h), QPointF(xs.back(), y + h));
            for (double x : xs)
                painter.drawLine(QPointF(x, y), QPointF(x, y + h));
        }
        painter.setPen(Qt::black);
        for (int i = 0; i < columns; ++i) {
            const QString& text = texts[size_t(i)];
            if (text.isEmpty())
                continue;
            const CellLook& look = looks[size_t(i)];
            int cellFont = look.bold ? boldFont : font;
            // Text runs on over the empty cells to its right, as a spreadsheet shows it.
            int last = i;
            if (!look.alignRight) {
                while (last + 1 < columns && texts[size_t(last + 1)].isEmpty())
                    ++last;
            }
            const QRectF box(xs[size_t(i)] + TextPadding, y,
                             xs[size_t(last + 1)] - xs[size_t(i)] - 2 * TextPadding, h);
            // A number or date wider than its cell is drawn smaller to fit: cut off at the
            // cell's edge it would print wrong digits. It may reach into the padding, inside
            // the cell. Fonts come in whole sizes, so a size in proportion to the width may
            // come back larger: the text is measured again in the font the painter uses, and
            // made a point smaller until it fits. Too wide even at the smallest size, it is
            // shown as '#'s, as a spreadsheet shows it, rather than cut.
            const double wide = look.alignRight ? m_texts.width(cellFont, text) : 0;
            double overhang = 0;
            if (wide > box.width() && box.width() > 0) {
                overhang = TextPadding;
                const double room = box.width() + overhang;
                double points = std::max(SmallestPointSize, m_fonts.cellPointSize * box.width() / wide);
                cellFont = m_texts.font(scaledFont(m_fonts.family, points, dpi, look.bold));
                while (m_texts.width(cellFont, text) > room && points > SmallestPointSize) {
                    points = std::max(SmallestPointSize, points - 1);
                    cellFont = m_texts.font(scaledFont(m_fonts.family, points, dpi, look.bold));
                }
                if (m_texts.width(cellFont, text) > room) {
                    cellFont = look.bold ? boldFont : font;
                    const double hash = m_texts.width(cellFont, QStringLiteral("#"));
                    m_texts.draw(box, cellFont, Qt::AlignRight,
                                 QString(std::max(1, int(box.width() / hash)), u'#'));
                    continue;
                }
            }
            m_texts.draw(box, cellFont, look.alignRight ? Qt::AlignRight : Qt::AlignLeft, text, overhang);
        }
        m_texts.flush();
        for (int i = 0; i < columns; ++i) {
            const grid::CellBorder& b = looks[size_t(i)].border;
            if (b.left <= 0 && b.right <= 0 && b.top <= 0 && b.bottom <= 0)
                continue;
            const double x1 = xs[size_t(i)], x2 = xs[size_t(i + 1)];
            if (b.top > 0) {
                painter.setPen(borderPen(b.top, b.topColour, !colours));
                painter.drawLine(QPointF(x1, y), QPointF(x2, y));
            }
            if (b.bottom > 0) {
                painter.setPen(borderPen(b.bottom, b.bottomColour, !colours));
                painter.drawLine(QPointF(x1, y + h), QPointF(x2, y + h));
            }
            if (b.left > 0) {
                painter.setPen(borderPen(b.left, b.leftColour, !colours));
                painter.drawLine(QPointF(x1, y), QPointF(x1, y + h));
            }
            if (b.right > 0) {
                painter.setPen(borderPen(b.right, b.rightColour, !colours));
                painter.drawLine(QPointF(x2, y), QPointF(x2, y + h));
            }
        }
        y += h;
    }
}

void PageRenderer::paintHeaderFooter(QPainter& painter, const Page& page) const
{
    HeaderFooterContext context = m_context;
    context.page = page.number;
    context.pages = pageCount();
    const int dpi = painter.device()->logicalDpiX();
    const QSizeF paper = m_setup.paperPoints();

    struct Section
    {
        const QString& codes;
        Qt::Alignment align;
        bool header;
    };
    const Section sections[] = {
        {m_setup.leftHeader, Qt::AlignLeft, true},       {m_setup.centerHeader, Qt::AlignHCenter, true},
        {m_setup.rightHeader, Qt::AlignRight, true},     {m_setup.leftFooter, Qt::AlignLeft, false},
        {m_setup.centerFooter, Qt::AlignHCenter, false}, {m_setup.rightFooter, Qt::AlignRight, false},
    };
    // Runs split into lines at line breaks.
    const auto linesOf = [&](const Section& section) {
        QList<QList<TextRun>> lines(1);
        for (const TextRun& run : expandHeaderFooter(section.codes, context)) {
            const QStringList parts = run.text.split(u'\n');
            for (int k = 0; k < parts.size(); ++k) {
                if (k > 0)
                    lines.append(QList<TextRun>());
                if (!parts[k].isEmpty()) {
                    TextRun piece = run;
                    piece.text = parts[k];
                    lines.last().append(piece);
                }
            }
        }
        return lines;
    };
    const auto fontOf = [&](const TextRun& run, double scale = 1.0) {
        QFont f =
            scaledFont(m_fonts.family, scale * (run.pointSize > 0 ? run.pointSize : m_fonts.headerPointSize),
                       dpi, run.bold, run.italic);
        f.setUnderline(run.underline);
        f.setStrikeOut(run.strikeOut);
        return f;
    };
    const auto widthOf = [&](const QList<TextRun>& line, double scale) {
        double width = 0;
        for (const TextRun& run : line)
            width += m_texts.width(m_texts.font(fontOf(run, scale)), run.text);
        return width;
    };
    std::array<QList<QList<TextRun>>, std::size(sections)> sectionLines;
    std::array<double, std::size(sections)> widest{};
    for (size_t n = 0; n < std::size(sections); ++n) {
        if (sections[n].codes.isEmpty())
            continue;
        sectionLines[n] = linesOf(sections[n]);
        for (const auto& line : sectionLines[n])
            widest[n] = std::max(widest[n], widthOf(line, 1.0));
    }

    painter.save();
    painter.setPen(Qt::black);
    for (size_t n = 0; n < std::size(sections); ++n) {
        const Section& section = sections[n];
        if (section.codes.isEmpty())
            continue;
        const QList<QList<TextRun>>& lines = sectionLines[n];
        // Line heights, so that a footer's last line sits on the footer margin.
        std::vector<double> ascents, heights;
        double total = 0;
        for (const auto& line : lines) {
            double ascent =
                QFontMetricsF(scaledFont(m_fonts.family, m_fonts.headerPointSize, dpi), painter.device())
                    .ascent();
            double height =
                QFontMetricsF(scaledFont(m_fonts.family, m_fonts.headerPointSize, dpi), painter.device())
                    .height();
            for (const TextRun& run : line) {
                const QFontMetricsF metrics(fontOf(run), painter.device());
                ascent = std::max(ascent, metrics.ascent());
                height = std::max(height, metrics.height());
            }
            ascents.push_back(ascent);
            heights.push_back(height);
            total += height;
        }
        double y = section.header ? m_setup.headerMargin : paper.height() - m_setup.footerMargin - total;
        // A line wider than the paper between the margins (a long name in the title) is printed
        // smaller, whole, rather than cut at the paper's edges; a centred one also leaves the
        // left and right texts beside it their room.
        double room = paper.width() - m_setup.leftMargin - m_setup.rightMargin;
        if (section.align == Qt::AlignHCenter) {
            const double side = std::max(widest[n - 1], widest[n + 1]);
            room = std::max(room / 3, room - 2 * (side > 0 ? side + SideGap : 0));
        }
        for (qsizetype l = 0; l < lines.size(); ++l) {
            double scale = 1.0;
            double width = widthOf(lines[l], scale);
            if (width > room && room > 0) {
                scale = room / width;
                // Fonts come in steps: measured again, a little smaller until the line fits.
                while ((width = widthOf(lines[l], scale)) > room && scale > 0.1)
                    scale *= 0.95;
            }
            double x = m_setup.leftMargin;
            if (section.align == Qt::AlignHCenter)
                x = (paper.width() - width) / 2;
            else if (section.align == Qt::AlignRight)
                x = paper.width() - m_setup.rightMargin - width;
            const double baseline = y + ascents[size_t(l)];
            for (const TextRun& run : lines[l]) {
                const QFont f = fontOf(run, scale);
                const double advance = m_texts.width(m_texts.font(f), run.text);
                painter.setFont(f);
                painter.drawText(QPointF(x, baseline), run.text);
                x += advance;
            }
            y += heights[size_t(l)];
        }
    }
    painter.restore();
}

PagedOutput::PagedOutput(QPagedPaintDevice& device, const QString& what)
    : m_device(device), m_painter(std::make_unique<QPainter>()), m_what(what)
{}

PagedOutput::~PagedOutput()
{
    if (m_painter->isActive())
        m_painter->end();
}

void PagedOutput::add(const PageRenderer& renderer)
{
    const QPageLayout layout = renderer.setup().pageLayout();
    for (int i = 0; i < renderer.pageCount() && !m_stopped; ++i) {
        if (!m_started) {
            m_device.setPageLayout(layout);
            if (!m_painter->begin(&m_device))
                throw PrintError(
                    QCoreApplication::translate("talor", "Cannot write \"%1\": painting could not begin")
                        .arg(m_what));
            m_started = true;
        } else {
            if (i == 0)
                m_device.setPageLayout(layout);
            if (!m_device.newPage())
                throw PrintError(
                    QCoreApplication::translate("talor", "Cannot write \"%1\": no new page").arg(m_what));
        }
        const double toDevice = m_painter->device()->logicalDpiX() / 72.0;
        m_painter->resetTransform();
        m_painter->scale(toDevice, toDevice);
        renderer.paintPage(*m_painter, i);
        if (pagePainted)
            pagePainted(i + 1, renderer.pageCount());
    }
}

void PagedOutput::finish()
{
    if (!m_started)
        throw PrintError(
            QCoreApplication::translate("talor", "Cannot write \"%1\": there are no pages").arg(m_what));
    if (m_painter->isActive() && !m_painter->end())
        throw PrintError(
            QCoreApplication::translate("talor", "Cannot write \"%1\": the output failed").arg(m_what));
}

void writePdf(const PrintGrid& grid, const PageSetup& setup, const HeaderFooterContext& context,
              const QString& path)
{
    PdfFile file(path);
    file.writer().setTitle(context.sheetName);
    PageRenderer renderer(grid, setup, context);
    file.throwIfFailed();
    PagedOutput output(file.writer(), path);
    try {
        output.add(renderer);
        output.finish();
    } catch (const PrintError&) {
        file.throwIfFailed();
        throw;
    }
    file.commit();
}

PdfFile::PdfFile(const QString& path) : m_path(path)
{
    // A folder that cannot take the temporary file is named by throwIfFailed before any page.
    try {
        m_target = std::make_unique<io::AtomicTarget>(path);
    } catch (const io::FileWriteError& error) {
        m_failure = error.message();
    }
    m_file = std::make_unique<io::CheckedFile>(m_target ? m_target->tempPath() : QString());
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setCreator(QStringLiteral("TALOR"));
}

PdfFile::~PdfFile() = default;

void PdfFile::throwIfFailed() const
{
    if (!m_failure.isEmpty())
        throw PrintError(m_failure); // names the file already
    if (!m_file->failure().isEmpty())
        throw PrintError(
            QCoreApplication::translate("talor", "Cannot write \"%1\": %2").arg(m_path, m_file->failure()));
}

void PdfFile::commit()
{
    // The writer ignores failed writes; the file it wrote through keeps them.
    m_file->close();
    throwIfFailed();
    try {
        m_target->commit();
    } catch (const io::FileWriteError& error) {
        throw PrintError(error.message());
    }
}

} // namespace talor::print
