#include "print/XlsxPageSetup.h"

#include "grid/SheetCopy.h"
#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "text/TextFunctions.h"

#include <memory>
#include <optional>
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

QString xlsxHeaderFooter(const QString& left, const QString& centre, const QString& right,
                         QStringList* pictures)
{
    QString text;
    for (const auto& [code, section] : {std::pair{u"&L", &left}, {u"&C", &centre}, {u"&R", &right}})
        if (const QString written = xlsxSection(*section, pictures); !written.isEmpty())
            text += code + written;
    return text;
}

QString xlsxSection(const QString& section, QStringList* pictures)
{
    static const QString picture = QStringLiteral("&[Picture]");
    // libxlsxwriter reads "&[Picture]" as "&G" and counts every "&G" as a picture wanting its
    // image, the second half of a literal "&&" among them. After a literal ampersand a G or a
    // "[Picture]" gets a word joiner in front, which prints nothing, so that the library sees
    // no picture there and the section prints the same text.
    QString text;
    bool afterAmpersand = false;
    for (qsizetype i = 0; i < section.size();) {
        if (section[i] != u'&') {
            if (afterAmpersand &&
                (section[i] == u'G' || QStringView(section).sliced(i).startsWith(u"[Picture]")))
                text += QChar(0x2060);
            afterAmpersand = false;
            text += section[i++];
        } else if (i + 1 == section.size() || section[i + 1] == u'&') {
            // A last single "&" stays a literal one, not joined to the next section's code.
            text += u"&&";
            afterAmpersand = true;
            i += 2;
        } else if (section[i + 1] == u'G' || QStringView(section).sliced(i).startsWith(picture)) {
            const qsizetype length = section[i + 1] == u'G' ? 2 : picture.size();
            if (pictures)
                *pictures << section.mid(i, length);
            i += length;
        } else {
            afterAmpersand = false;
            text += section.mid(i, 2);
            i += 2;
        }
    }
    return text;
}

QStringList applyXlsxPageSetup(lxw_worksheet* ws, const PageSetup& setup)
{
    QStringList refused;
    worksheet_set_margins(ws, setup.leftMargin / PointsPerInch, setup.rightMargin / PointsPerInch,
                          setup.topMargin / PointsPerInch, setup.bottomMargin / PointsPerInch);

    const auto apply = [&](const QString& property, const QString& left, const QString& centre,
                           const QString& right, double margin, double defaultMargin, auto set) {
        QStringList pictures;
        const QByteArray text = grid::XlsxFile::xmlText(xlsxHeaderFooter(left, centre, right, &pictures));
        if (!pictures.isEmpty())
            refused << QStringLiteral("%1: %2 left out, a workbook's %1 is written without pictures")
                           .arg(property, pictures.join(u", "));
        if (text.isEmpty() && margin == defaultMargin)
            return;
        lxw_header_footer_options options{};
        options.margin = margin / PointsPerInch;
        if (const lxw_error e = set(ws, text.constData(), &options); e != LXW_NO_ERROR)
            refused << refusal(property, e);
    };
    // The header and footer margins travel with the texts; libxlsxwriter keeps its 0.3" for
    // a margin that is not above 0.
    apply(QStringLiteral("header"), setup.leftHeader, setup.centerHeader, setup.rightHeader,
          setup.headerMargin, PageSetup().headerMargin, worksheet_set_header_opt);
    apply(QStringLiteral("footer"), setup.leftFooter, setup.centerFooter, setup.rightFooter,
          setup.footerMargin, PageSetup().footerMargin, worksheet_set_footer_opt);

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
    // A spreadsheet has no order that keeps a section's pages together down and then over, as
    // the engine does: over, then down, prints each section's pages one after the other, where
    // down first would print every section's left pages before any right one.
    if (setup.order == PageOrder::OverThenDown || setup.sectionRows > 0)
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
        const int first = setup.firstSectionRow(setup.printArea->row1);
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

// A worksheet holds LXW_BREAKS_MAX manual page breaks, so this many sections at most.
constexpr int SectionsPerWorksheet = LXW_BREAKS_MAX + 1;

// Sheet `name`'s part `part` (from 1): the name itself, then "name (2)", "name (3)", ...,
// within the 31 characters a sheet name may have.
QString partName(const QString& name, int part)
{
    if (part == 1)
        return name;
    const QString suffix = QStringLiteral(" (%1)").arg(part);
    return text::leftWhole(name, grid::XlsxFile::MaxSheetName - suffix.size()) + suffix;
}

// The sections of `setup`'s print area.
int sectionCount(const PageSetup& setup)
{
    if (setup.sectionRows <= 0 || !setup.printArea)
        return 0;
    const int rows = setup.printArea->row2 - setup.firstSectionRow(setup.printArea->row1) + 1;
    return (std::max(rows, 0) + setup.sectionRows - 1) / setup.sectionRows;
}

// One worksheet of a split workbook: sheet `sheet` of the book as it is (`part` 0), or part
// `part` (from 1) of the split sheet.
struct SplitWorksheet
{
    int sheet = 0;
    int part = 0;
};

// `book` written to `path` with sheet `sheetNumber` split into worksheets of
// SectionsPerWorksheet sections each, every one with the rows above the print area and
// `setup` over its own sections. A part whose formulas read only its own rows (the rows
// above the area only theirs) is written straight from the sheet, its rows moved up. Any
// other part is copied, and recalculated, when the writer comes to it and dropped before the
// next, so that the book is never held twice.
QStringList writeSplit(const grid::Workbook& book, int sheetNumber, const PageSetup& setup,
                       const QString& path, const grid::XlsxFile::RowProgress& progress)
{
    const int first = setup.printArea->row1, last = setup.printArea->row2;
    const int partRows = SectionsPerWorksheet * setup.sectionRows;
    std::vector<SplitWorksheet> worksheets;
    int active = 1;
    for (int n = 1; n <= book.sheetCount(); ++n) {
        if (n == book.activeSheet())
            active = int(worksheets.size()) + 1;
        if (n != sheetNumber) {
            worksheets.push_back({n, 0});
            continue;
        }
        for (int top = first, part = 1; top <= last; top += partRows, ++part)
            worksheets.push_back({n, part});
    }
    const auto bottomOf = [&](int part) {
        return std::min(last, first + part * partRows - 1);
    };
    std::unique_ptr<grid::Sheet> made;
    const auto sheetOf = [&](int number) -> grid::XlsxFile::SheetRows {
        const SplitWorksheet w = worksheets[size_t(number - 1)];
        const grid::Sheet& from = book.sheet(w.sheet);
        if (w.part == 0)
            return from;
        made.reset();
        const int top = first + (w.part - 1) * partRows, bottom = bottomOf(w.part);
        if (grid::keepValuesWhenMoved(from, 1, first - 1) && grid::keepValuesWhenMoved(from, top, bottom))
            return {from, {{1, first - 1, 0}, {top, bottom, first - top}}};
        made = std::make_unique<grid::Sheet>();
        grid::Sheet::Batch batch(*made);
        grid::copyRows(from, *made, 1, first - 1, 0, 1);
        grid::copyRows(from, *made, top, bottom, first - top, first);
        grid::copyLayout(from, *made, first + bottom - top, 0);
        return *made;
    };
    const auto nameOf = [&](int number) {
        const SplitWorksheet w = worksheets[size_t(number - 1)];
        return w.part == 0 ? book.sheetName(w.sheet) : partName(book.sheetName(w.sheet), w.part);
    };
    QStringList refused;
    grid::XlsxFile::write(
        grid::XlsxFile::SheetSequence{int(worksheets.size()), active, nameOf, sheetOf}, path,
        [&](int number, lxw_workbook*, lxw_worksheet* worksheet) {
            const SplitWorksheet w = worksheets[size_t(number - 1)];
            if (w.part == 0)
                return;
            PageSetup own = setup;
            own.printArea->row2 = first + bottomOf(w.part) - (first + (w.part - 1) * partRows);
            refused << applyXlsxPageSetup(worksheet, own);
        },
        true, progress);
    refused.removeDuplicates();
    return refused;
}

// `codes` with each sheet name code ("&A") as `name` written out, its ampersands doubled;
// the codes are read left to right, a font's name left as it is.
QString withSheetName(const QString& codes, const QString& name)
{
    QString literal = name;
    literal.replace(u'&', QStringLiteral("&&"));
    QString result;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (codes[i] != u'&' || i + 1 == codes.size()) {
            result += codes[i];
            continue;
        }
        const QChar code = codes[++i];
        if (code == u'A' || code == u'a') {
            result += literal;
        } else if (code == u'"') {
            const qsizetype close = codes.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? codes.size() - 1 : close;
            result += codes.mid(i - 1, end - i + 2);
            i = end;
        } else {
            result += u'&';
            result += code;
        }
    }
    return result;
}

// `setup` with the name of the sheet (sheet `number`, `name`) written out in its header and
// footer where the workbook has to cut or change that name (a sheet name holds 31
// characters), so that a spreadsheet prints the name the engine prints; a header or footer
// that would then be longer than a workbook holds keeps its code.
PageSetup withWholeSheetName(const PageSetup& setup, const QString& name, int number)
{
    PageSetup result = setup;
    if (grid::XlsxFile::excelSheetName(name, number) == name)
        return result;
    for (const auto& [left, centre, right] :
         {std::tuple{&result.leftHeader, &result.centerHeader, &result.rightHeader},
          std::tuple{&result.leftFooter, &result.centerFooter, &result.rightFooter}}) {
        const QString l = withSheetName(*left, name), c = withSheetName(*centre, name),
                      r = withSheetName(*right, name);
        if (xlsxHeaderFooter(l, c, r).toUcs4().size() <= LXW_HEADER_FOOTER_MAX) {
            *left = l;
            *centre = c;
            *right = r;
        }
    }
    return result;
}

} // namespace

QStringList writeXlsx(const grid::Workbook& book, const QString& path, const PageSetup& pageSetup,
                      int sheetNumber, const QStringList& topRow, const grid::XlsxFile::RowProgress& progress)
{
    const PageSetup setup = withWholeSheetName(pageSetup, book.sheetName(sheetNumber), sheetNumber);
    QStringList refused;
    if (topRow.isEmpty() && sectionCount(setup) > SectionsPerWorksheet) {
        // More sections than one worksheet can break pages before: the sheet goes into several
        // worksheets, so that every section still starts a page when a spreadsheet prints it.
        return writeSplit(book, sheetNumber, setup, path, progress);
    }
    const grid::Sheet& printed = book.sheet(sheetNumber);
    const bool caption = !topRow.isEmpty() && printed.lastRow() < grid::Sheet::MaxRows;
    if (!caption) {
        if (!topRow.isEmpty())
            refused << QStringLiteral("caption row: the sheet's rows reach the last row a workbook holds; "
                                      "written without it");
        grid::XlsxFile::write(
            book, path,
            [&](int number, lxw_workbook*, lxw_worksheet* worksheet) {
                if (number == sheetNumber)
                    refused << applyXlsxPageSetup(worksheet, setup);
            },
            true, progress);
        return refused;
    }
    grid::Workbook copy;
    for (int n = 1; n <= book.sheetCount(); ++n) {
        if (n > 1)
            copy.addSheet(book.sheetName(n));
        copy.setSheetName(n, book.sheetName(n));
        const int shift = n == sheetNumber ? 1 : 0;
        const grid::Sheet& from = book.sheet(n);
        grid::Sheet& to = copy.sheet(n);
        grid::Sheet::Batch batch(to);
        grid::copyRows(from, to, 1, from.lastRow(), shift, 1);
        grid::copyLayout(from, to, from.lastRow() + shift, shift);
    }
    copy.setActiveSheet(book.activeSheet());
    // Written in memory: the caption row goes in after the sheet's rows.
    grid::XlsxFile::write(
        copy, path,
        [&](int number, lxw_workbook* workbook, lxw_worksheet* worksheet) {
            if (number != sheetNumber)
                return;
            lxw_format* bold = workbook_add_format(workbook);
            format_set_bold(bold);
            for (int c = 0; c < int(topRow.size()); ++c) {
                const lxw_error e = worksheet_write_string(
                    worksheet, 0, lxw_col_t(c), grid::XlsxFile::cellText(topRow[c]).constData(), bold);
                if (e != LXW_NO_ERROR)
                    refused << refusal(QStringLiteral("caption of column %1").arg(c + 1), e);
            }
            refused << applyXlsxPageSetup(worksheet, setup);
        },
        false, progress);
    return refused;
}

} // namespace talor::print
