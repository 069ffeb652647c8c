#pragma once

#include "grid/XlsxFile.h"
#include "print/PageSetup.h"

#include <QStringList>

typedef struct lxw_worksheet lxw_worksheet;

namespace talor::grid {
class Workbook;
}

namespace talor::print {

// Writes a page set-up into an Excel worksheet that libxlsxwriter is writing, so that a
// spreadsheet program prints the file as the engine does: margins, header and footer with
// their codes, orientation, paper, zoom or fit to pages, page order, first page number,
// centring, grid lines, headings, print area and title rows; sections start pages and print
// over, then down, so that each section's pages follow each other. Every property is applied
// even when another is refused; the result names each refused property (empty when all
// applied).
// libxlsxwriter has no call for black and white, draft, comments and print quality: those
// stay the engine's only.
QStringList applyXlsxPageSetup(lxw_worksheet* worksheet, const PageSetup& setup);

// The header or footer text of the three sections with Excel's section codes
// ("&Lleft&Ccentre&Rright"); sections that are empty are left out. Each section is written as
// xlsxSection writes it, the picture codes it leaves out added to `pictures`.
QString xlsxHeaderFooter(const QString& left, const QString& centre, const QString& right,
                         QStringList* pictures = nullptr);

// One section of a header or footer as a workbook is given it, its codes read left to right:
// a picture code ("&G", "&[Picture]") is left out and added to `pictures` (headers here have
// no pictures), a last single "&" is written "&&" so that it does not join the next
// section's code, and a literal "&&" is kept from reading as a picture code with the text after it.
QString xlsxSection(const QString& section, QStringList* pictures = nullptr);

// Writes `book` as an Excel workbook (grid::XlsxFile, in constant memory: exports may be
// large) with `setup` on sheet `sheetNumber`. A non-empty `topRow` goes into that sheet as a
// bold first row above the sheet's rows, which move down by one with their formulas, as
// SheetPrintGrid prints them (then the file is written in memory); a sheet whose rows reach
// the last row a workbook holds is written without it, the caption row refused. A print area of
// more sections than a worksheet can break pages before (1,024) goes into several worksheets
// of that many sections each ("name", "name (2)", ...), each with the rows above the print
// area and the set-up over its own sections, so that every section starts a page. Where the
// workbook has to cut or change the sheet's name, its header and footer hold the whole name
// as text in place of the sheet name code, as long as they stay within 255 characters.
// Throws grid::GridFileError naming the file when it cannot be written; returns the refused
// properties as applyXlsxPageSetup does. `progress` is the writer's row progress, from which
// the write may be stopped (grid::WriteStopped).
QStringList writeXlsx(const grid::Workbook& book, const QString& path, const PageSetup& setup,
                      int sheetNumber, const QStringList& topRow = {},
                      const grid::XlsxFile::RowProgress& progress = {});

} // namespace talor::print
