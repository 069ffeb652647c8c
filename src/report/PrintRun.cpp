#include "report/PrintRun.h"

#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SettingRules.h"
#include "print/PageRenderer.h"
#include "print/XlsxPageSetup.h"
#include "report/PrintSettings.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QScopeGuard>

namespace talor {

namespace {

// Runs one step; a failure is noted and the run goes on with the next step. The failure of a
// file or a printer names its target already ("Cannot write ..."); any other is told with the
// step it stopped.
template <typename Step> bool step(PrintRun::Result& result, const QString& what, Step&& run)
{
    try {
        run();
        return true;
    } catch (const grid::GridFileError& e) {
        result.skipped << QString::fromUtf8(e.what());
    } catch (const print::PrintError& e) {
        result.skipped << QString::fromUtf8(e.what());
    } catch (const std::exception& e) {
        result.skipped << what + u": " + QString::fromUtf8(e.what());
    }
    return false;
}

} // namespace

struct PrintRun::Prepared
{
    ReportPrintSetup setup;
    QString sheetName;
};

// The pages of the book's sheets, in their order: the active sheet with the report's set-up,
// every other sheet holding something with the default set-up over its extent.
class PrintRun::BookPages
{
public:
    BookPages(const grid::Workbook& book, const Prepared& prepared, const QString& printFile)
    {
        const QDateTime now = QDateTime::currentDateTime();
        for (int n = 1; n <= book.sheetCount(); ++n) {
            const grid::Sheet& sheet = book.sheet(n);
            const bool report = n == book.activeSheet();
            if (!report && !holdsSomething(sheet))
                continue;
            auto grid = std::make_unique<print::SheetPrintGrid>(sheet, report ? prepared.setup.headingRow
                                                                              : QStringList{});
            m_renderers.push_back(std::make_unique<print::PageRenderer>(
                *grid, report ? prepared.setup.pageSetup : print::PageSetup{},
                print::HeaderFooterContext{book.sheetName(n), printFile, now}));
            m_grids.push_back(std::move(grid));
        }
    }

    std::vector<const print::PageRenderer*> renderers() const
    {
        std::vector<const print::PageRenderer*> result;
        for (const auto& renderer : m_renderers)
            result.push_back(renderer.get());
        return result;
    }

    int pageCount() const
    {
        int pages = 0;
        for (const auto& renderer : m_renderers)
            pages += renderer->pageCount();
        return pages;
    }

private:
    static bool holdsSomething(const grid::Sheet& sheet)
    {
        bool found = false;
        sheet.forEachCell([&](int row, int col) { found = found || !sheet.isEmpty(row, col); });
        return found;
    }

    std::vector<std::unique_ptr<print::SheetPrintGrid>> m_grids;
    std::vector<std::unique_ptr<print::PageRenderer>> m_renderers; // each over the grid beside it
};

PrintRun::PrintRun(SuiteServices& suite, UiService& ui, const grid::Workbook& book, bool headingLayout,
                   QWidget* parent)
    : m_suite(suite), m_ui(ui), m_book(book), m_headingLayout(headingLayout), m_parent(parent)
{}

QString PrintRun::temporaryPrintFile() const
{
    return m_suite.temporaryDirectory() + u"/Tmp.xls";
}

PrintRun::Prepared PrintRun::prepare(Result& result) const
{
    const grid::Sheet& sheet = m_book.active();
    QStringList headings;
    for (int c = 1; c <= sheet.lastColumn(); ++c)
        headings << sheet.columnHeading(c);
    Prepared prepared{
        PrintSettings(m_suite).build(m_headingLayout, sheet.lastColumn(), sheet.lastRow(), headings),
        m_book.sheetName(m_book.activeSheet())};
    for (const QString& refused : prepared.setup.refused)
        result.skipped << u"PRINT " + refused;
    return prepared;
}

std::unique_ptr<UiService::Progress> PrintRun::progress(int maximum) const
{
    return m_ui.progress(m_parent, m_caption, QStringLiteral("停止"), maximum);
}

void PrintRun::writeWorkbook(const Prepared& prepared, const QString& path, Result& result,
                             bool stoppable) const
{
    result.printFile = path;
    int rows = 0;
    for (int n = 1; n <= m_book.sheetCount(); ++n)
        rows += m_book.sheet(n).lastRow();
    std::unique_ptr<UiService::Progress> shown;
    grid::XlsxFile::RowProgress rowsWritten;
    if (stoppable && !m_caption.isEmpty() && rows >= m_longWork.rows) {
        shown = progress(rows);
        rowsWritten = [&](int written) {
            shown->setValue(std::min(written, rows),
                            m_caption + QStringLiteral("：已写 %1/%2 行").arg(written).arg(rows));
            return !shown->cancelled();
        };
    }
    result.written = step(result, QCoreApplication::translate("talor", "write %1").arg(path), [&] {
        try {
            for (const QString& refused :
                 print::writeXlsx(m_book, path, prepared.setup.pageSetup, m_book.activeSheet(),
                                  prepared.setup.headingRow, rowsWritten))
                result.skipped
                    << QCoreApplication::translate("talor", "page set-up in %1: %2").arg(path, refused);
        } catch (const grid::WriteStopped&) {
            result.stopped = true; // the operator's stop, not a failure
        }
    });
    result.written = result.written && !result.stopped;
}

PrintRun::Result PrintRun::preview()
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, temporaryPrintFile(), result);
    step(result, QCoreApplication::translate("talor", "preview"), [&] {
        const BookPages pages(m_book, prepared, result.printFile);
        result.pages = pages.pageCount();
        // A restricted 打印 is not offered from the preview either.
        const bool printable =
            !isRestricted(ModuleSettings(m_suite).read(keys::Restricted), QStringLiteral("打印"));
        m_ui.preview(
            m_parent, prepared.sheetName, prepared.setup.pageSetup.pageLayout(),
            [&](QPagedPaintDevice& target) {
                // A failure inside the preview's painting is noted; the preview stays.
                step(result, QCoreApplication::translate("talor", "preview pages"), [&] {
                    print::PagedOutput output(target, prepared.sheetName);
                    for (const print::PageRenderer* renderer : pages.renderers())
                        output.add(*renderer);
                    output.finish();
                });
            },
            printable);
    });
    return result;
}

QString PrintRun::fallbackPdfFile() const
{
    const QFileInfo file(temporaryPrintFile());
    return QStringLiteral("%1/%2-%3.pdf")
        .arg(file.absolutePath(), file.completeBaseName())
        .arg(QCoreApplication::applicationPid());
}

std::unique_ptr<PrintJob> PrintRun::printerJob() const
{
    return PrintJob::toPrinter(m_ui, fallbackPdfFile(), m_book.sheetName(m_book.activeSheet()));
}

PrintRun::Result PrintRun::print()
{
    const auto job = printerJob();
    Result result = print(*job, true);
    finish(*job, result);
    return result;
}

PrintRun::Result PrintRun::print(PrintJob& job)
{
    return print(job, false);
}

PrintRun::Result PrintRun::print(PrintJob& job, bool stoppable)
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, temporaryPrintFile(), result, stoppable);
    // Stopped while the print file was written: nothing is painted.
    if (!result.stopped)
        addPages(prepared, job, result, stoppable);
    return result;
}

PrintRun::Result PrintRun::addPages(PrintJob& job)
{
    Result result;
    addPages(prepare(result), job, result);
    return result;
}

void PrintRun::addPages(const Prepared& prepared, PrintJob& job, Result& result, bool stoppable) const
{
    step(result,
         (job.isPdf() ? QCoreApplication::translate("talor", "write %1")
                      : QCoreApplication::translate("talor", "print on %1"))
             .arg(job.target()),
         [&] {
             const BookPages pages(m_book, prepared,
                                   result.printFile.isEmpty() ? temporaryPrintFile() : result.printFile);
             const int count = pages.pageCount();
             std::unique_ptr<UiService::Progress> shown;
             bool undroppable = false;
             if (stoppable && !m_caption.isEmpty() && count >= m_longWork.pages) {
                 shown = progress(count);
                 job.setPageProgress([&, painted = 0](int, int) mutable {
                     ++painted;
                     shown->setValue(painted,
                                     m_caption + QStringLiteral("：第 %1/%2 页").arg(painted).arg(count));
                     if (!undroppable && shown->cancelled())
                         undroppable = !job.abandon();
                 });
             }
             const auto progressEnds = qScopeGuard([&] { job.setPageProgress({}); });
             job.add(pages.renderers());
             result.pages = count;
             if (undroppable)
                 result.skipped << QCoreApplication::translate(
                                       "talor", "stop: %1 cannot drop a job under way; it is printed whole")
                                       .arg(job.target());
         });
}

void PrintRun::finish(PrintJob& job, Result& result)
{
    // A dropped job is not finished: nothing of it is printed or written.
    if (job.abandoned()) {
        result.stopped = true;
        result.pages = 0;
        return;
    }
    // A job without pages has its failure named already.
    if (job.reports() == 0)
        return;
    result.sent = step(result, QCoreApplication::translate("talor", "finish %1").arg(job.target()),
                       [&] { job.finish(); });
    if (result.sent && job.isPdf())
        result.pdfFile = job.pdfPath();
}

PrintRun::Result PrintRun::exportTo(const QString& path)
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, path.trimmed(), result, true);
    return result;
}

PrintRun::Result PrintRun::writePdf(const QString& path)
{
    const auto job = PrintJob::toPdf(path, m_book.sheetName(m_book.activeSheet()));
    Result result = addPages(*job);
    finish(*job, result);
    return result;
}

PrintJob::PrintJob(std::unique_ptr<QPagedPaintDevice> printer, std::unique_ptr<print::PdfFile> pdf,
                   const QString& target, const QString& pdfPath, UiService* ui)
    : m_pdf(std::move(pdf)), m_printer(std::move(printer)), m_ui(ui),
      m_output(std::make_unique<print::PagedOutput>(m_pdf ? m_pdf->writer() : *m_printer, target)),
      m_target(target), m_pdfPath(pdfPath)
{}

PrintJob::~PrintJob() = default;

std::unique_ptr<PrintJob> PrintJob::toPrinter(UiService& ui, const QString& fallbackPdf, const QString& title)
{
    QString name;
    std::unique_ptr<QPagedPaintDevice> printer = ui.defaultPrinter(title, name);
    if (!printer)
        return toPdf(fallbackPdf, title);
    return std::unique_ptr<PrintJob>(new PrintJob(std::move(printer), nullptr, name, {}, &ui));
}

std::unique_ptr<PrintJob> PrintJob::toPdf(const QString& path, const QString& title)
{
    auto pdf = std::make_unique<print::PdfFile>(path);
    pdf->writer().setTitle(title);
    return std::unique_ptr<PrintJob>(new PrintJob(nullptr, std::move(pdf), path, path));
}

void PrintJob::add(const std::vector<const print::PageRenderer*>& report)
{
    if (m_pdf)
        m_pdf->throwIfFailed();
    for (const print::PageRenderer* renderer : report) {
        try {
            m_output->add(*renderer);
        } catch (const print::PrintError&) {
            if (m_pdf)
                m_pdf->throwIfFailed(); // the cause, where it was the file
            throw;
        }
        if (abandoned())
            return;
        m_pages += renderer->pageCount();
    }
    ++m_reports;
}

bool PrintJob::abandon()
{
    if (m_printer && !m_ui->abortPrinter(*m_printer))
        return false;
    m_output->stop();
    return true;
}

bool PrintJob::abandoned() const
{
    return m_output->stopped();
}

void PrintJob::setPageProgress(std::function<void(int page, int pages)> progress)
{
    m_output->pagePainted = std::move(progress);
}

void PrintJob::finish()
{
    m_output->finish();
    if (m_pdf)
        m_pdf->commit();
}

} // namespace talor
