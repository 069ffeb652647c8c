#include "print/PageSetup.h"

#include "grid/CellAddress.h"

#include <array>

namespace talor::print {

namespace {

// Excel's paper numbers 1..41 (XlPaperSize), in order; Custom where Qt has no such paper.
constexpr std::array<QPageSize::PageSizeId, 41> ExcelPapers = {
    QPageSize::Letter,             // 1 Letter
    QPageSize::Letter,             // 2 Letter Small
    QPageSize::Tabloid,            // 3 Tabloid 11 x 17 in
    QPageSize::Ledger,             // 4 Ledger 17 x 11 in
    QPageSize::Legal,              // 5 Legal
    QPageSize::Statement,          // 6 Statement
    QPageSize::Executive,          // 7 Executive
    QPageSize::A3,                 // 8 A3
    QPageSize::A4,                 // 9 A4
    QPageSize::A4Small,            // 10 A4 Small
    QPageSize::A5,                 // 11 A5
    QPageSize::B4,                 // 12 B4 250 x 354 mm
    QPageSize::JisB5,              // 13 B5 182 x 257 mm
    QPageSize::Folio,              // 14 Folio
    QPageSize::Quarto,             // 15 Quarto
    QPageSize::Imperial10x14,      // 16 10 x 14 in
    QPageSize::Tabloid,            // 17 11 x 17 in
    QPageSize::Note,               // 18 Note
    QPageSize::Envelope9,          // 19 Envelope #9
    QPageSize::Envelope10,         // 20 Envelope #10
    QPageSize::Envelope11,         // 21 Envelope #11
    QPageSize::Envelope12,         // 22 Envelope #12
    QPageSize::Envelope14,         // 23 Envelope #14
    QPageSize::AnsiC,              // 24 C size sheet
    QPageSize::AnsiD,              // 25 D size sheet
    QPageSize::AnsiE,              // 26 E size sheet
    QPageSize::EnvelopeDL,         // 27 Envelope DL
    QPageSize::EnvelopeC5,         // 28 Envelope C5
    QPageSize::EnvelopeC3,         // 29 Envelope C3
    QPageSize::EnvelopeC4,         // 30 Envelope C4
    QPageSize::EnvelopeC6,         // 31 Envelope C6
    QPageSize::EnvelopeC65,        // 32 Envelope C65
    QPageSize::EnvelopeB4,         // 33 Envelope B4
    QPageSize::EnvelopeB5,         // 34 Envelope B5
    QPageSize::EnvelopeB6,         // 35 Envelope B6
    QPageSize::EnvelopeItalian,    // 36 Envelope Italy
    QPageSize::EnvelopeMonarch,    // 37 Envelope Monarch
    QPageSize::EnvelopePersonal,   // 38 Envelope 6 3/4
    QPageSize::FanFoldUS,          // 39 U.S. Standard Fanfold
    QPageSize::FanFoldGerman,      // 40 German Standard Fanfold
    QPageSize::FanFoldGermanLegal, // 41 German Legal Fanfold
};

} // namespace

std::optional<QPageSize::PageSizeId> pageSizeOfPaper(int excelNumber)
{
    if (excelNumber < 1 || excelNumber > int(ExcelPapers.size()))
        return std::nullopt;
    return ExcelPapers[size_t(excelNumber - 1)];
}

bool PageSetup::setPrintArea(const QString& reference)
{
    const auto range = grid::parseRange(reference);
    if (!range)
        return false;
    printArea = range;
    return true;
}

bool PageSetup::setTitleRows(const QString& reference)
{
    const auto range = grid::parseRange(reference);
    // Only whole rows repeat: "$1:$4" (a cell range such as A1:B2 is refused, as Excel does).
    if (!range || range->col1 != 1 || range->col2 != grid::Sheet::MaxColumns)
        return false;
    titleRows = std::pair{range->row1, range->row2};
    return true;
}

QString PageSetup::printAreaText() const
{
    if (!printArea)
        return {};
    const auto& a = *printArea;
    return QStringLiteral("$%1$%2:$%3$%4")
        .arg(grid::columnName(a.col1))
        .arg(a.row1)
        .arg(grid::columnName(a.col2))
        .arg(a.row2);
}

int PageSetup::firstSectionRow(int areaFirstRow) const
{
    if (sectionTitleRows == 0 && titleRows && titleRows->first == areaFirstRow)
        return titleRows->second + 1;
    return areaFirstRow;
}

QString PageSetup::titleRowsText() const
{
    if (!titleRows)
        return {};
    return QStringLiteral("$%1:$%2").arg(titleRows->first).arg(titleRows->second);
}

bool PageSetup::setPaperSize(int excelNumber)
{
    if (!pageSizeOfPaper(excelNumber))
        return false;
    paperSize = excelNumber;
    return true;
}

bool PageSetup::setZoom(int percent)
{
    if (percent < 10 || percent > 400)
        return false;
    zoom = percent;
    return true;
}

QPageSize PageSetup::pageSize() const
{
    return QPageSize(pageSizeOfPaper(paperSize).value_or(QPageSize::A4));
}

QPageLayout PageSetup::pageLayout() const
{
    QPageLayout layout(pageSize(),
                       orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

QSizeF PageSetup::paperPoints() const
{
    return pageLayout().fullRect(QPageLayout::Point).size();
}

} // namespace talor::print
