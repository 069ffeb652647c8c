#pragma once

#include "grid/Sheet.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace talor::print {

// Excel's orientation numbers (xlPortrait, xlLandscape).
enum class Orientation
{
    Portrait = 1,
    Landscape = 2,
};

// Excel's page order numbers: pages go down the rows first, then over to the next columns,
// or across the columns first.
enum class PageOrder
{
    DownThenOver = 1,
    OverThenDown = 2,
};

// The page set-up of one printed sheet, with the properties and defaults of a spreadsheet's
// page set-up: lengths in points (72 to the inch), paper by Excel's paper numbers, header and
// footer texts with Excel's codes (HeaderFooter.h). The print engine paginates and paints with
// it; XlsxPageSetup writes it into an Excel workbook.
struct PageSetup
{
    // Margins of the body, and of the header and footer from the paper's edges (Excel's
    // "Normal" margins: 0.7", 0.75", 0.3").
    double leftMargin = 50.4, rightMargin = 50.4, topMargin = 54, bottomMargin = 54;
    double headerMargin = 21.6, footerMargin = 21.6;

    QString leftHeader, centerHeader, rightHeader;
    QString leftFooter, centerFooter, rightFooter;

    Orientation orientation = Orientation::Portrait;
    int paperSize = 9; // Excel's paper number; A4

    // Scaling: a zoom in percent (10..400), or, when fitToPages is on, the largest scale up to
    // 100% that fits the print area into fitToPagesWide x fitToPagesTall pages (0: no limit in
    // that direction).
    int zoom = 100;
    bool fitToPages = false;
    int fitToPagesWide = 1, fitToPagesTall = 1;

    PageOrder order = PageOrder::DownThenOver;
    std::optional<int> firstPageNumber; // none: automatic, pages count from 1

    bool centerHorizontally = false, centerVertically = false;
    bool printGridLines = false, printHeadings = false;
    bool blackAndWhite = false, draft = false;
    // Kept for the workbook's set-up; the grid has no comments and the engine leaves the
    // resolution to the device.
    std::optional<double> printComments, printQuality;

    // Cells to print (none: the sheet's used extent) and the rows repeated on every page.
    std::optional<grid::CellRange> printArea;
    std::optional<std::pair<int, int>> titleRows; // first and last row, 1-based
    // Sections of `sectionRows` rows each (0: none), from firstSectionRow(): each starts on a
    // new page, and one that runs onto a further page has its own first `sectionTitleRows`
    // rows repeated above it there, in place of titleRows (a report of one block per person
    // prints each person's rows under that person's own header). Without section title rows,
    // titleRows are repeated above every page, and when they are the print area's first rows
    // the sections start below them (a heading row over the blocks).
    int sectionRows = 0;
    int sectionTitleRows = 0;
    // The first row of the first section, for a print area starting at `areaFirstRow`.
    int firstSectionRow(int areaFirstRow) const;

    // "$A$1:$H$40" / "$1:$4"; false (set-up unchanged) for a text that is not such a range.
    bool setPrintArea(const QString& reference);
    bool setTitleRows(const QString& reference);
    // Back to the texts Excel keeps ("$A$1:$H$40", "$1:$4"); empty when not set.
    QString printAreaText() const;
    QString titleRowsText() const;

    // Sets the paper by Excel's number; false (unchanged) for a number without a known size.
    bool setPaperSize(int excelNumber);
    // Sets the zoom when it lies in 10..400 (Excel's range); false otherwise.
    bool setZoom(int percent);

    QPageSize pageSize() const;
    // The paper in the orientation, with no margins: the engine places margins itself.
    QPageLayout pageLayout() const;
    // Width and height of the paper in points, oriented.
    QSizeF paperPoints() const;

    bool operator==(const PageSetup&) const = default;
};

// The Qt page size of an Excel paper number; nothing for a number Excel does not define.
std::optional<QPageSize::PageSizeId> pageSizeOfPaper(int excelNumber);

} // namespace talor::print
