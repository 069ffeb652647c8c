#include "report/PrintRun.h"

#include "grid/Workbook.h"
#include "print/PageRenderer.h"
#include "print/XlsxPageSetup.h"
#include "report/PrintSettings.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace talor {

namespace {

// Runs one step; a failure is noted and the run goes on with the next step.
template <typename Step> bool step(PrintRun::Result& result, const QString& what, Step&& run)
{
    try {
        run();
        return true;
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

void PrintRun::writeWorkbook(const Prepared& prepared, const QString& path, Result& result) const
{
    result.printFile = path;
    step(result, QStringLiteral("write ") + path, [&] {
        for (const QString& refused : print::writeXlsx(m_book, path, prepared.setup.pageSetup,
                                                       m_book.activeSheet(), prepared.setup.headingRow))
            result.skipped << u"page set-up in " + path + u": " + refused;
    });
}

PrintRun::Result PrintRun::preview()
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, temporaryPrintFile(), result);
    step(result, QStringLiteral("preview"), [&] {
        const print::SheetPrintGrid grid(m_book.active(), prepared.setup.headingRow);
        const print::PageRenderer renderer(
            grid, prepared.setup.pageSetup,
            {prepared.sheetName, result.printFile, QDateTime::currentDateTime()});
        result.pages = renderer.pageCount();
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(prepared.setup.pageSetup.pageLayout());
        printer.setFullPage(true);
        printer.setDocName(prepared.sheetName);
        QPrintPreviewDialog dialog(&printer, m_parent);
        dialog.setObjectName(QStringLiteral("printPreview"));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
            // A failure inside the preview's painting is noted; the dialog stays.
            step(result, QStringLiteral("preview pages"), [&] {
                print::PagedOutput output(*target, prepared.sheetName);
                output.add(renderer);
                output.finish();
            });
        });
        m_ui.execDialog(dialog);
    });
    return result;
}

PrintRun::Result PrintRun::print()
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, temporaryPrintFile(), result);
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        const QFileInfo file(result.printFile);
        writePdf(prepared, file.absolutePath() + u'/' + file.completeBaseName() + u".pdf", result);
        return result;
    }
    step(result, QStringLiteral("print on ") + printerInfo.printerName(), [&] {
        const print::SheetPrintGrid grid(m_book.active(), prepared.setup.headingRow);
        const print::PageRenderer renderer(
            grid, prepared.setup.pageSetup,
            {prepared.sheetName, result.printFile, QDateTime::currentDateTime()});
        QPrinter printer(printerInfo, QPrinter::HighResolution);
        printer.setFullPage(true);
        printer.setDocName(prepared.sheetName);
        print::PagedOutput output(printer, printerInfo.printerName());
        output.add(renderer);
        output.finish();
        result.pages = renderer.pageCount();
    });
    return result;
}

PrintRun::Result PrintRun::exportTo(const QString& path)
{
    Result result;
    const Prepared prepared = prepare(result);
    writeWorkbook(prepared, path.trimmed(), result);
    return result;
}

PrintRun::Result PrintRun::writePdf(const QString& path)
{
    Result result;
    writePdf(prepare(result), path, result);
    return result;
}

void PrintRun::writePdf(const Prepared& prepared, const QString& path, Result& result) const
{
    step(result, QStringLiteral("write ") + path, [&] {
        const print::SheetPrintGrid grid(m_book.active(), prepared.setup.headingRow);
        const print::HeaderFooterContext context{prepared.sheetName, temporaryPrintFile(),
                                                 QDateTime::currentDateTime()};
        print::writePdf(grid, prepared.setup.pageSetup, context, path);
        result.pages = print::PageRenderer(grid, prepared.setup.pageSetup, context).pageCount();
        result.pdfFile = path;
    });
}

} // namespace talor
