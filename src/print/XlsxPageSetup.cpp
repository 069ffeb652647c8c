#include "print/XlsxPageSetup.h"

#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "grid/formula/Formula.h"

#include <vector>
#include <xlsxwriter.h>

namespace talor::print {

namespace {

constexpr double PointsPerInch = 72;

QString refusal(const QString& property, lxw_error error)
{
    return QStringLiteral("%1: %2").arg(property, QString::fromUtf8(lxw_strerror(error)));
}

} // namespace

QString xlsxHeaderFooter(const QString& left, const QString& centre, const QString& right)
{
    QString text;
    if (!left.isEmpty())
        text += u"&L" + left;
    if (!centre.isEmpty())
        text += u"&C" + centre;
    if (!right.isEmpty())
        text += u"&R" + right;
    return text;
}

QStringList applyXlsxPageSetup(lxw_worksheet* ws, const PageSetup& setup)
{
    QStringList refused;
    worksheet_set_margins(ws, setup.leftMargin / PointsPerInch, setup.rightMargin / PointsPerInch,
                          setup.topMargin / PointsPerInch, setup.bottomMargin / PointsPerInch);

    // The header and footer margins travel with the texts; libxlsxwriter keeps its 0.3" for
    // a margin that is not above 0.
    lxw_header_footer_options headerOptions{};
    headerOptions.margin = setup.headerMargin / PointsPerInch;
    const QByteArray header =
        xlsxHeaderFooter(setup.leftHeader, setup.centerHeader, setup.rightHeader).toUtf8();
    if (!header.isEmpty() || setup.headerMargin != PageSetup().headerMargin) {
        if (const lxw_error e = worksheet_set_header_opt(ws, header.constData(), &headerOptions);
            e != LXW_NO_ERROR)
            refused << refusal(QStringLiteral("header"), e);
    }
    lxw_header_footer_options footerOptions{};
    footerOptions.margin = setup.footerMargin / PointsPerInch;
    const QByteArray footer =
        xlsxHeaderFooter(setup.leftFooter, setup.centerFooter, setup.rightFooter).toUtf8();
    if (!footer.isEmpty() || setup.footerMargin != PageSetup().footerMargin) {
        if (const lxw_error e = worksheet_set_footer_opt(ws, footer.constData(), &footerOptions);
            e != LXW_NO_ERROR)
            refused << refusal(QStringLiteral("footer"), e);
    }

    if (setup.orientation == Orientation::Landscape)
        worksheet_set_landscape(ws);
    else
        worksheet_set_portrait(ws);
    if (pageSizeOfPaper(setup.paperSize))
        worksheet_set_paper(ws, uint8_t(setup.paperSize));
    else
        refused << QStringLiteral("paper size: %1 is not an Excel paper number").arg(setup.paperSize);

    // A scale set after fitting switches fitting off again: the scale goes first.
    worksheet_set_print_scale(ws, uint16_t(std::clamp(setup.zoom, 10, 400)));
    if (setup.fitToPages)
        worksheet_fit_to_pages(ws, uint16_t(std::clamp(setup.fitToPagesWide, 0, 32767)),
                               uint16_t(std::clamp(setup.fitToPagesTall, 0, 32767)));
    if (setup.order == PageOrder::OverThenDown)
        worksheet_print_across(ws);
    if (setup.firstPageNumber) {
        if (*setup.firstPageNumber >= 0 && *setup.firstPageNumber <= 65535)
            worksheet_set_start_page(ws, uint16_t(*setup.firstPageNumber));
        else
            refused << QStringLiteral("first page number: %1 out of range").arg(*setup.firstPageNumber);
    }
    if (setup.centerHorizontally)
        worksheet_center_horizontally(ws);
    if (setup.centerVertically)
        worksheet_center_vertically(ws);
    worksheet_gridlines(ws, setup.printGridLines ? LXW_SHOW_ALL_GRIDLINES : LXW_SHOW_SCREEN_GRIDLINES);
    if (setup.printHeadings)
        worksheet_print_row_col_headers(ws);

    if (const auto& a = setup.printArea) {
        const lxw_error e = worksheet_print_area(ws, lxw_row_t(a->row1 - 1), lxw_col_t(a->col1 - 1),
                                                 lxw_row_t(a->row2 - 1), lxw_col_t(a->col2 - 1));
        if (e != LXW_NO_ERROR)
            refused << refusal(QStringLiteral("print area ") + setup.printAreaText(), e);
    }
    if (const auto& t = setup.titleRows) {
        const lxw_error e = worksheet_repeat_rows(ws, lxw_row_t(t->first - 1), lxw_row_t(t->second - 1));
        if (e != LXW_NO_ERROR)
            refused << refusal(QStringLiteral("title rows ") + setup.titleRowsText(), e);
    }
    if (setup.sectionRows > 0 && setup.printArea) {
        // A manual page break before every section but the first; the list ends with 0.
        const int first = setup.printArea->row1;
        const int last = setup.printArea->row2;
        std::vector<lxw_row_t> breaks;
        for (int row = first + setup.sectionRows; row <= last && breaks.size() < LXW_BREAKS_MAX;
             row += setup.sectionRows)
            breaks.push_back(lxw_row_t(row - 1));
        if (first + setup.sectionRows * (int(breaks.size()) + 1) <= last)
            refused << QStringLiteral("page breaks: a workbook holds %1; the sections after it share pages")
                           .arg(LXW_BREAKS_MAX);
        breaks.push_back(0);
        if (breaks.size() > 1 && worksheet_set_h_pagebreaks(ws, breaks.data()) != LXW_NO_ERROR)
            refused << QStringLiteral("page breaks: refused by the workbook");
    }
    return refused;
}

namespace {

// `from` copied into `to` `shift` rows lower: values, formulas (their references moved with
// the rows), formats, widths, the extent and the frozen panes (the rows above stay frozen with
// them, as the grid's heading does).
void copyShifted(const grid::Sheet& from, grid::Sheet& to, int shift)
{
    from.forEachCell([&](int r, int c) {
        const int row = r + shift;
        if (row > grid::Sheet::MaxRows)
            return;
        to.setFormat(row, c, from.formatById(from.formatId(r, c)));
        if (const QString f = from.formula(r, c); !f.isEmpty())
            to.setText(row, c, grid::formula::Formula::parse(f).shiftedRows(1, shift));
        else if (from.isNumber(r, c))
            to.setNumber(row, c, from.number(r, c));
        else if (!from.isEmpty(r, c))
            to.setPlainText(row, c, from.text(r, c));
    });
    for (int c = 1; c <= from.lastColumn(); ++c)
        to.setColumnWidth(c, from.columnWidth(c));
    to.setLastRow(std::min(grid::Sheet::MaxRows, from.lastRow() + shift));
    to.setLastColumn(from.lastColumn());
    to.setFrozenColumns(from.frozenColumns());
    if (from.frozenRows() > 0 || from.frozenColumns() > 0)
        to.setFrozenRows(from.frozenRows() + shift);
}

} // namespace

QStringList writeXlsx(const grid::Workbook& book, const QString& path, const PageSetup& setup,
                      int sheetNumber, const QStringList& topRow)
{
    QStringList refused;
    if (topRow.isEmpty()) {
        grid::XlsxFile::write(
            book, path,
            [&](int number, lxw_workbook*, lxw_worksheet* worksheet) {
                if (number == sheetNumber)
                    refused = applyXlsxPageSetup(worksheet, setup);
            },
            true);
        return refused;
    }
    grid::Workbook copy;
    for (int n = 1; n <= book.sheetCount(); ++n) {
        if (n > 1)
            copy.addSheet(book.sheetName(n));
        copy.setSheetName(n, book.sheetName(n));
        copyShifted(book.sheet(n), copy.sheet(n), n == sheetNumber ? 1 : 0);
    }
    copy.setActiveSheet(book.activeSheet());
    // Written in memory: the caption row goes in after the sheet's rows.
    grid::XlsxFile::write(copy, path, [&](int number, lxw_workbook* workbook, lxw_worksheet* worksheet) {
        if (number != sheetNumber)
            return;
        lxw_format* bold = workbook_add_format(workbook);
        format_set_bold(bold);
        for (int c = 0; c < int(topRow.size()); ++c) {
            const lxw_error e =
                worksheet_write_string(worksheet, 0, lxw_col_t(c), topRow[c].toUtf8().constData(), bold);
            if (e != LXW_NO_ERROR)
                refused << refusal(QStringLiteral("caption of column %1").arg(c + 1), e);
        }
        refused << applyXlsxPageSetup(worksheet, setup);
    });
    return refused;
}

} // namespace talor::print
