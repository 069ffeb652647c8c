#pragma once

#include "print/CellTextPainter.h"
#include "print/HeaderFooter.h"
#include "print/Paginator.h"
#include "print/PrintGrid.h"

#include <QFile>
#include <QFont>
#include <functional>
#include <memory>
#include <stdexcept>

class QPdfWriter;

namespace talor::io {
class AtomicTarget;
class CheckedFile;
} // namespace talor::io

class QPagedPaintDevice;
class QPainter;

namespace talor::print {

// Output that could not be made: the message names the file or device and the problem.
class PrintError : public std::runtime_error
{
public:
    explicit PrintError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The font of cells, headings, headers and footers. CJK text is drawn in WenQuanYi Micro Hei,
// set explicitly, so that text copied out of a PDF reads as it was written; the family named
// by a header's &"font" code sets size and style only.
struct PrintFonts
{
    QString family = QStringLiteral("WenQuanYi Micro Hei");
    double cellPointSize = 10;
    double headerPointSize = 10;
};

// Paints the pages of a grid with a page set-up: cells as the grid shows them (texts, fills,
// borders; text runs on over empty neighbours), grid lines and headings when set up, title
// rows, header and footer with their codes expanded, zoom or fit-to-pages scale and centring.
// Paints onto any paged device (PDF writer, printer, print preview); the painter works in
// points from the paper's corner.
class PageRenderer
{
public:
    PageRenderer(const PrintGrid& grid, const PageSetup& setup, HeaderFooterContext context,
                 PrintFonts fonts = {});

    const Pagination& pagination() const { return m_pagination; }
    int pageCount() const { return int(m_pagination.pages.size()); }
    const PageSetup& setup() const { return m_setup; }
    // The print area actually printed: the set-up's, or the grid's used extent.
    const grid::CellRange& area() const { return m_area; }

    // Paints page `index` (0-based) with `painter`, whose coordinates are points from the
    // paper's top-left corner.
    void paintPage(QPainter& painter, int index) const;

private:
    void paintHeaderFooter(QPainter& painter, const Page& page) const;
    void paintBlock(QPainter& painter, int row1, int row2, int col1, int col2, double top,
                    bool headings) const;

    const PrintGrid& m_grid;
    PageSetup m_setup;
    HeaderFooterContext m_context;
    PrintFonts m_fonts;
    grid::CellRange m_area;
    GridMetrics m_metrics;
    Pagination m_pagination;
    // Shaped cell texts, kept from page to page (so one renderer paints on one thread).
    mutable CellTextPainter m_texts;
};

// Paints renderers' pages one after another onto one paged device (a PDF holding several
// reports, a printer job): every renderer starts on a new page in its own paper and
// orientation.
class PagedOutput
{
public:
    // Throws PrintError when painting on the device cannot begin (`what` names it).
    PagedOutput(QPagedPaintDevice& device, const QString& what);
    ~PagedOutput();

    void add(const PageRenderer& renderer);
    // Told after each page of add(): the page of the renderer just painted (from 1) and how
    // many it has. For progress; may be empty.
    std::function<void(int page, int pages)> pagePainted;
    // Ends the painting; throws PrintError when the device fails. Called by the destructor
    // otherwise (errors then go unseen).
    void finish();
    // Stops the painting (from pagePainted, say): add() returns after the page under way and
    // paints nothing more. The output is then dropped by its owner, not finished.
    void stop() { m_stopped = true; }
    bool stopped() const { return m_stopped; }

private:
    QPagedPaintDevice& m_device;
    std::unique_ptr<QPainter> m_painter;
    QString m_what;
    bool m_started = false;
    bool m_stopped = false;
};

// A PDF written completely or not at all: the pages go to a temporary file beside the target,
// which replaces the target only when every byte reached the disk. A full disk or any other
// failure leaves the file that was there before; an uncommitted PdfFile removes its temporary.
class PdfFile
{
public:
    explicit PdfFile(const QString& path);
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    QPdfWriter& writer() { return *m_writer; }
    // Throws PrintError naming the file and the cause when it could not be created or a write
    // to it has failed.
    void throwIfFailed() const;
    // After the pages are finished (PagedOutput::finish). Throws PrintError naming the file.
    void commit();

private:
    QString m_path;
    QString m_failure; // why the temporary file could not be created
    std::unique_ptr<io::AtomicTarget> m_target;
    std::unique_ptr<io::CheckedFile> m_file; // every byte count checked
    std::unique_ptr<QPdfWriter> m_writer;
};

// Writes a PDF of `grid` with `setup`, titled with the sheet name. Throws PrintError naming
// the file when it cannot be written.
void writePdf(const PrintGrid& grid, const PageSetup& setup, const HeaderFooterContext& context,
              const QString& path);

} // namespace talor::print
