#include "grid/XlsxFile.h"

#include "grid/Workbook.h"
#include "grid/formula/Value.h"

#include <QHash>
#include <QSet>
#include <xlsxwriter.h>

namespace talor::grid {

namespace {

// 0x00BBGGRR as the grid keeps colours, to libxlsxwriter's 0xRRGGBB (black has its own code).
lxw_color_t toLxwColour(quint32 bgr)
{
    const quint32 rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    return rgb == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(rgb);
}

uint8_t borderStyle(short style)
{
    return uint8_t(std::clamp<int>(style, LXW_BORDER_NONE, LXW_BORDER_SLANT_DASH_DOT));
}

lxw_format* makeFormat(lxw_workbook* wb, const CellFormat& f)
{
    lxw_format* format = workbook_add_format(wb);
    if (f.numberFormat != u"General" && !f.numberFormat.isEmpty())
        format_set_num_format(format, f.numberFormat.toUtf8().constData());
    if (f.fill.pattern == 1) {
        // A solid fill shows its foreground colour; Excel keeps that colour as the pattern's.
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, toLxwColour(f.fill.foreground));
    } else if (f.fill.pattern > 1) {
        format_set_pattern(format, uint8_t(std::min<int>(f.fill.pattern, LXW_PATTERN_GRAY_0625)));
        format_set_fg_color(format, toLxwColour(f.fill.foreground));
        format_set_bg_color(format, toLxwColour(f.fill.background));
    }
    const CellBorder& b = f.border;
    if (b.left > 0) {
        format_set_left(format, borderStyle(b.left));
        format_set_left_color(format, toLxwColour(b.leftColour));
    }
    if (b.right > 0) {
        format_set_right(format, borderStyle(b.right));
        format_set_right_color(format, toLxwColour(b.rightColour));
    }
    if (b.top > 0) {
        format_set_top(format, borderStyle(b.top));
        format_set_top_color(format, toLxwColour(b.topColour));
    }
    if (b.bottom > 0) {
        format_set_bottom(format, borderStyle(b.bottom));
        format_set_bottom_color(format, toLxwColour(b.bottomColour));
    }
    return format;
}

void writeSheet(lxw_workbook* wb, lxw_worksheet* ws, const Sheet& sheet)
{
    std::vector<lxw_format*> formats(size_t(sheet.formatCount()), nullptr);
    auto formatOf = [&](int row, int col) -> lxw_format* {
        const int id = sheet.formatId(row, col);
        if (id == 0)
            return nullptr;
        if (!formats[size_t(id)])
            formats[size_t(id)] = makeFormat(wb, sheet.formatById(id));
        return formats[size_t(id)];
    };
    sheet.forEachCell([&](int row, int col) {
        const auto r = lxw_row_t(row - 1);
        const auto c = lxw_col_t(col - 1);
        lxw_format* format = formatOf(row, col);
        if (const QString f = sheet.formula(row, col); !f.isEmpty()) {
            const QByteArray source = f.toUtf8();
            const QString shown = sheet.text(row, col);
            // A formula that cannot be read would make Excel call the file damaged: keep its text.
            if (shown == formula::errorText(formula::ErrorCode::Syntax))
                worksheet_write_string(ws, r, c, source.constData(), format);
            else if (sheet.isNumber(row, col))
                worksheet_write_formula_num(ws, r, c, source.constData(), format, sheet.number(row, col));
            else
                worksheet_write_formula_str(ws, r, c, source.constData(), format, shown.toUtf8().constData());
        } else if (sheet.isNumber(row, col)) {
            worksheet_write_number(ws, r, c, sheet.number(row, col), format);
        } else if (!sheet.isEmpty(row, col)) {
            worksheet_write_string(ws, r, c, sheet.text(row, col).toUtf8().constData(), format);
        } else {
            worksheet_write_blank(ws, r, c, format);
        }
    });
    for (int col = 1; col <= sheet.lastColumn(); ++col) {
        if (sheet.columnWidth(col) != Sheet::DefaultColumnWidth)
            worksheet_set_column_pixels(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), sheet.columnWidth(col),
                                        nullptr);
    }
    if (sheet.frozenRows() > 0 || sheet.frozenColumns() > 0)
        worksheet_freeze_panes(ws, lxw_row_t(sheet.frozenRows()), lxw_col_t(sheet.frozenColumns()));
}

} // namespace

QString XlsxFile::excelSheetName(const QString& name, int number)
{
    QString result = name;
    for (QChar& ch : result) {
        if (QStringView(u"[]:*?/\\").contains(ch))
            ch = u'_';
    }
    // Excel refuses a name that begins or ends with an apostrophe.
    while (result.startsWith(u'\''))
        result.remove(0, 1);
    while (result.endsWith(u'\''))
        result.chop(1);
    result = result.left(31);
    return result.isEmpty() ? QStringLiteral("Sheet%1").arg(number) : result;
}

void XlsxFile::write(const Workbook& book, const QString& path, const SheetHook& hook, bool constantMemory)
{
    const QByteArray fileName = path.toUtf8();
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(fileName.constData(), &options);
    if (!wb)
        throw GridFileError(
            QStringLiteral("Cannot write \"%1\": the workbook could not be created").arg(path));
    QSet<QString> used;
    for (int n = 1; n <= book.sheetCount(); ++n) {
        QString name = excelSheetName(book.sheetName(n), n);
        // Excel compares sheet names without case; a repeated name gets a number.
        for (int k = 2; used.contains(name.toLower()); ++k) {
            const QString suffix = QStringLiteral(" (%1)").arg(k);
            name = excelSheetName(book.sheetName(n), n).left(31 - int(suffix.size())) + suffix;
        }
        used.insert(name.toLower());
        lxw_worksheet* ws = workbook_add_worksheet(wb, name.toUtf8().constData());
        if (!ws) {
            workbook_close(wb);
            throw GridFileError(
                QStringLiteral("Cannot write \"%1\": sheet name \"%2\" refused").arg(path, name));
        }
        writeSheet(wb, ws, book.sheet(n));
        if (n == book.activeSheet())
            worksheet_activate(ws);
        if (hook)
            hook(n, wb, ws);
    }
    const lxw_error error = workbook_close(wb);
    if (error != LXW_NO_ERROR)
        throw GridFileError(
            QStringLiteral("Cannot write \"%1\": %2").arg(path, QString::fromUtf8(lxw_strerror(error))));
}

} // namespace talor::grid
