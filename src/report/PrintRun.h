#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace talor {

class SuiteServices;
class UiService;
namespace grid {
class Workbook;
}

// One output of the report in the grid: the print file written with the page set-up of the
// current report (PrintSettings), then preview, print or export. The steps go on past a
// failing step; every failure is kept, named, in `skipped`, the one place where they are seen.
class PrintRun
{
public:
    struct Result
    {
        QString printFile; // the workbook written (Tmp.xls or the export's name)
        QString pdfFile;   // a PDF written instead of printing, on a machine without a printer
        int pages = 0;
        QStringList skipped;
    };

    // `headingLayout`: the grid's sheet is in the heading layout (its column 1 has a heading).
    PrintRun(SuiteServices& suite, UiService& ui, const grid::Workbook& book, bool headingLayout,
             QWidget* parent = nullptr);

    // Mode 1: Tmp.xls in the temporary directory, then the pages in a print preview, from
    // which the operator may print.
    Result preview();
    // Mode 2: Tmp.xls, then the pages on the default printer without a dialog; where the
    // machine has no printer, the PDF next to the print file (Tmp.pdf), named in pdfFile.
    Result print();
    // Export: the workbook at `path` (blanks around the name removed) with the page set-up,
    // print area, title rows, header and footer inside it; the report area only.
    Result exportTo(const QString& path);
    // The pages as a PDF at `path` (batch use).
    Result writePdf(const QString& path);

    // The temporary print file: temporary directory + "/Tmp.xls".
    QString temporaryPrintFile() const;

private:
    struct Prepared;
    Prepared prepare(Result& result) const;
    void writeWorkbook(const Prepared& prepared, const QString& path, Result& result) const;
    void writePdf(const Prepared& prepared, const QString& path, Result& result) const;

    SuiteServices& m_suite;
    UiService& m_ui;
    const grid::Workbook& m_book;
    bool m_headingLayout;
    QWidget* m_parent;
};

} // namespace talor
