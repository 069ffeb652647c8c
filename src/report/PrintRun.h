#pragma once

#include "ui/UiService.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QWidget;

namespace talor {

class SuiteServices;
namespace grid {
class Workbook;
}
namespace print {
class PagedOutput;
class PageRenderer;
class PdfFile;
} // namespace print

// The pages of one or more reports in one output, one report after another, each starting on
// a new page: one printer job, or one PDF. The job reaches the printer, and the PDF is
// complete, at finish().
class PrintJob
{
public:
    // The desktop's default printer without a dialog; where the machine has none, the PDF
    // `fallbackPdf`.
    static std::unique_ptr<PrintJob> toPrinter(UiService& ui, const QString& fallbackPdf,
                                               const QString& title);
    static std::unique_ptr<PrintJob> toPdf(const QString& path, const QString& title);
    ~PrintJob();

    bool isPdf() const { return !m_pdfPath.isEmpty(); }
    QString pdfPath() const { return m_pdfPath; }
    // The printer's name or the PDF's path.
    QString target() const { return m_target; }
    int pages() const { return m_pages; }
    int reports() const { return m_reports; }

    // Paints the pages of one report now (the grid may change afterwards): each renderer's
    // pages, one sheet after another. Throws print::PrintError.
    void add(const std::vector<const print::PageRenderer*>& report);
    // Ends the job. Throws print::PrintError when the output fails or holds no page.
    void finish();
    // Told after every page painted: the page of the sheet being painted and its pages.
    void setPageProgress(std::function<void(int page, int pages)> progress);
    // Drops the job (from the page progress, say): the painting stops after the page under
    // way, a printer's job is aborted and a PDF is not written; the job is not finished then.
    // False, and the job goes on, where the printer cannot drop a job under way: it is never
    // sent in part.
    bool abandon();
    bool abandoned() const;

private:
    PrintJob(std::unique_ptr<QPagedPaintDevice> printer, std::unique_ptr<print::PdfFile> pdf,
             const QString& target, const QString& pdfPath, UiService* ui = nullptr);

    std::unique_ptr<print::PdfFile> m_pdf; // the PDF being written, or none for a printer
    std::unique_ptr<QPagedPaintDevice> m_printer;
    UiService* m_ui; // the printer's, which aborts its jobs
    std::unique_ptr<print::PagedOutput> m_output;
    QString m_target, m_pdfPath;
    int m_pages = 0;
    int m_reports = 0;
};

// One output of the report in the grid: the print file written with the page set-up of the
// current report (PrintSettings), then preview, print or export. Preview and print show every
// sheet of the workbook that holds something, in order, as the print file holds them: the
// report's sheet with the report's set-up, any other with the default one. The steps go on past a
// failing step; every failure is kept, named, in `skipped`, the one place where they are seen.
class PrintRun
{
public:
    struct Result
    {
        QString printFile;    // the workbook written (Tmp.xls or the export's name)
        bool written = false; // whether printFile was written (a failed write keeps an old file)
        QString pdfFile;      // a PDF written instead of printing, on a machine without a printer
        bool sent = false;    // whether the job was finished: it reached the printer, or the PDF is whole
        bool stopped = false; // the operator stopped it: nothing was printed, or written
        int pages = 0;
        QStringList skipped;
    };

    // Work from which print() and exportTo() show their progress, whose stop button drops the
    // work: a workbook (the print file or the export) of this many rows, a print of this many
    // pages. Shorter work ends before a progress window could be read.
    struct LongWork
    {
        int pages = 300;
        int rows = 20000;
    };

    // `headingLayout`: the grid's sheet is in the heading layout (its column 1 has a heading).
    PrintRun(SuiteServices& suite, UiService& ui, const grid::Workbook& book, bool headingLayout,
             QWidget* parent = nullptr);

    // Mode 1: Tmp.xls in the temporary directory, then the pages in a print preview, from
    // which the operator may print.
    Result preview();
    // Long prints and exports show a progress window titled `caption` (none without it).
    void showProgress(const QString& caption, LongWork longWork)
    {
        m_caption = caption;
        m_longWork = longWork;
    }

    // Mode 2: Tmp.xls, then the pages on the default printer without a dialog; where the
    // machine has no printer, the PDF fallbackPdfFile(), named in pdfFile.
    Result print();
    // Export: the workbook at `path` (blanks around the name removed) with the page set-up,
    // print area, title rows, header and footer inside it; the report area only.
    Result exportTo(const QString& path);
    // The pages as a PDF at `path` (batch use).
    Result writePdf(const QString& path);
    // Tmp.xls, then the pages added to `job` (a batch's person; the job is finished by the
    // caller).
    Result print(PrintJob& job);
    // The pages added to `job`, without a print file.
    Result addPages(PrintJob& job);

    // The temporary print file: temporary directory + "/Tmp.xls".
    QString temporaryPrintFile() const;
    // The PDF a print goes to where the machine has no printer: next to the print file, named
    // after this process ("Tmp-4711.pdf"), so that two windows open at once (two suites, or
    // the same one twice) never write over each other's pages. Each print of the window
    // overwrites its own, as each overwrites Tmp.xls.
    QString fallbackPdfFile() const;
    // A job on the default printer, or where there is none, on fallbackPdfFile().
    std::unique_ptr<PrintJob> printerJob() const;
    // Ends `job`; a failure is named in `result`; on success `sent` is set, and a PDF's path.
    static void finish(PrintJob& job, Result& result);

private:
    struct Prepared;
    class BookPages;
    Prepared prepare(Result& result) const;
    // `stoppable`: a long write or print shows its progress, from which it may be stopped.
    void writeWorkbook(const Prepared& prepared, const QString& path, Result& result,
                       bool stoppable = false) const;
    Result print(PrintJob& job, bool stoppable);
    void addPages(const Prepared& prepared, PrintJob& job, Result& result, bool stoppable = false) const;
    std::unique_ptr<UiService::Progress> progress(int maximum) const;

    SuiteServices& m_suite;
    UiService& m_ui;
    const grid::Workbook& m_book;
    bool m_headingLayout;
    QWidget* m_parent;
    QString m_caption;
    LongWork m_longWork;
};

} // namespace talor
