#include "grid/XlsxFile.h"

#include "grid/CellAddress.h"
#include "grid/FormatTable.h"
#include "grid/Workbook.h"
#include "grid/formula/Value.h"
#include "io/FileWrite.h"
#include "text/TextFunctions.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <climits>
#include <minizip/unzip.h>
#include <vector>
#include <xlsxwriter.h>

namespace talor::grid {

namespace {

// `text` with each "_xHHHH_" in it (H a hex digit) kept as it reads: a spreadsheet reads such a
// sequence in a cell's text as the escape of character HHHH, so its underscore is escaped in
// turn ("_x005F_"), as spreadsheet programs themselves write it.
QString withLiteralEscapes(const QString& text)
{
    // Each underscore that starts such a sequence, also where it closes the one before
    // ("_x0041_x0042_").
    static const QRegularExpression escape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(u"_x"))
        return text;
    return QString(text).replace(escape, QStringLiteral("_x005F_"));
}

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

// A refusal of the writer, turned into a GridFileError naming the file.
struct Refused
{
    QString problem;
};

// libxlsxwriter keeps a number format in a field of this many bytes with its terminating
// zero and cuts a longer one, which could end it inside a quoted text or a character.
constexpr qsizetype LxwNumberFormatBytes = LXW_FORMAT_FIELD_LEN - 1;

// The cell's number format as an Excel format code that shows what the grid shows.
QByteArray excelNumberFormat(const QString& numberFormat)
{
    const QByteArray code = XlsxFile::xmlText(text::excelFormatCode(numberFormat));
    if (code.size() > LxwNumberFormatBytes)
        throw Refused{QStringLiteral("the number format \"%1\" is longer than the %2 bytes an Excel format "
                                     "is written with")
                          .arg(numberFormat)
                          .arg(LxwNumberFormatBytes)};
    return code;
}

lxw_format* makeFormat(lxw_workbook* wb, const CellFormat& f)
{
    lxw_format* format = workbook_add_format(wb);
    if (!format)
        return nullptr;
    if (f.numberFormat != u"General" && !f.numberFormat.isEmpty())
        format_set_num_format(format, excelNumberFormat(f.numberFormat).constData());
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

// The most characters an Excel cell holds.
constexpr int ExcelMaxText = 32767;

// The grid's day numbers count from 30 December 1899; Excel's 1900 dates agree with them from
// 1 March 1900 (day 61) on, and have no day before 1 January 1900 (the grid's day 2).
constexpr double GridMarch1900 = 61;
constexpr double GridJanuary1900 = 2;

// What a number format shows of a day number: a date, a time alone (no year, month, day or
// weekday), or neither.
enum class DayPicture : signed char
{
    Unknown = -1,
    None,
    Time,
    Date
};

DayPicture dayPicture(const QString& picture)
{
    if (!text::isDateTimePicture(picture))
        return DayPicture::None;
    const bool date =
        picture.contains(u'y', Qt::CaseInsensitive) || picture.contains(u'd', Qt::CaseInsensitive);
    return date ? DayPicture::Date : DayPicture::Time;
}

void check(lxw_error error, const QString& what)
{
    if (error != LXW_NO_ERROR)
        throw Refused{QStringLiteral("%1: %2").arg(what, QString::fromUtf8(lxw_strerror(error)))};
}

// The rows written over the sheets of one workbook, told to the caller's progress each time
// another RowsPerProgress of them are written. Counted as rows begin, not per cell.
class RowCount
{
public:
    explicit RowCount(const XlsxFile::RowProgress& progress)
        : m_progress(progress), m_next(progress ? XlsxFile::RowsPerProgress : INT_MAX)
    {}
    // Row `row` of the sheet under way begins: the rows above it are written.
    void begin(int row)
    {
        const int written = m_before + row - 1;
        if (written < m_next)
            return;
        m_next = written - written % XlsxFile::RowsPerProgress + XlsxFile::RowsPerProgress;
        if (!m_progress(written))
            throw WriteStopped();
    }
    // The sheet under way is written up to its row `lastRow`.
    void sheetWritten(int lastRow) { m_before += lastRow; }

private:
    const XlsxFile::RowProgress& m_progress;
    int m_before = 0;
    int m_next;
};

// The workbook's formats, each made once for all its sheets. libxlsxwriter numbers a format
// object on its first cell; a second object with the same properties never gets a number of
// its own, and every cell written with it looks its properties up again. The worksheets of
// one report (a report with more sections than a worksheet breaks pages before is written
// over several) have the same formats.
class WorkbookFormats
{
public:
    explicit WorkbookFormats(lxw_workbook* wb) : m_wb(wb) {}

    lxw_format* of(const CellFormat& format)
    {
        lxw_format*& made = m_made[format];
        if (!made) {
            made = makeFormat(m_wb, format);
            if (!made)
                throw Refused{QStringLiteral("out of memory for the cell formats")};
        }
        return made;
    }

private:
    lxw_workbook* m_wb;
    QHash<CellFormat, lxw_format*> m_made;
};

void writeSheet(WorkbookFormats& workbookFormats, lxw_worksheet* ws, const XlsxFile::SheetRows& written,
                const QString& sheetName, RowCount& rows)
{
    const Sheet& sheet = *written.sheet;
    const std::vector<XlsxFile::RowBand> whole{{1, Sheet::MaxRows, 0}};
    const std::vector<XlsxFile::RowBand>& bands = written.bands.empty() ? whole : written.bands;
    // How far the band under way moves its rows, and the formula text of a cell it moves.
    int delta = 0;
    auto formulaOf = [&](int row, int col) {
        if (delta == 0)
            return sheet.formula(row, col);
        const auto moved = sheet.movedFormula(row, col);
        return moved ? moved->formula.copied(moved->rows + delta, moved->cols) : QString();
    };
    std::vector<lxw_format*> formats(size_t(sheet.formatCount()), nullptr);
    auto formatOf = [&](int id) -> lxw_format* {
        if (id == 0)
            return nullptr;
        if (!formats[size_t(id)])
            formats[size_t(id)] = workbookFormats.of(sheet.formatById(id));
        return formats[size_t(id)];
    };
    // What each format shows of a day number: asked of small numbers only, once per format.
    std::vector<DayPicture> dayPictures(size_t(sheet.formatCount()), DayPicture::Unknown);
    auto shownAs = [&](int id) {
        DayPicture& known = dayPictures[size_t(id)];
        if (known == DayPicture::Unknown)
            known = dayPicture(sheet.formatById(id).numberFormat);
        return known;
    };
    int rowBegun = 0;
    const auto writeCell = [&](int row, int col) {
        const int at = row + delta; // the row on the worksheet
        if (at != rowBegun) {
            rowBegun = at;
            rows.begin(at);
        }
        const auto r = lxw_row_t(at - 1);
        const auto c = lxw_col_t(col - 1);
        // The cell's name, for a message: composed only when one is needed.
        const auto cell = [&] {
            return QStringLiteral("cell %1!%2").arg(sheetName, rangeText(CellRange{at, col, at, col}));
        };
        // A number constant, the most common cell of a report, is found in one look-up.
        double n = 0;
        int id = 0;
        const bool number = sheet.numberConstant(row, col, n, id);
        lxw_format* format = formatOf(number ? id : sheet.formatId(row, col));
        // Excel holds at most 32,767 characters in a cell; a longer text is refused rather
        // than cut or dropped, so that nothing is lost without notice.
        auto text = [&cell](const QString& t) {
            if (t.size() > ExcelMaxText)
                throw Refused{QStringLiteral("%1 holds %2 characters, more than the %3 an Excel cell holds")
                                  .arg(cell())
                                  .arg(t.size())
                                  .arg(ExcelMaxText)};
            return XlsxFile::cellText(t);
        };
        lxw_error error = LXW_NO_ERROR;
        if (number) {
            const DayPicture shown = n < GridMarch1900 ? shownAs(id) : DayPicture::None;
            if (shown == DayPicture::None || (shown == DayPicture::Time && n >= 0)) {
                error = worksheet_write_number(ws, r, c, n, format);
            } else if (shown == DayPicture::Date && n >= GridJanuary1900) {
                // Excel holds a 29 February 1900 that never was: a date before March 1900 is a
                // day lower there.
                error = worksheet_write_number(ws, r, c, n - 1, format);
            } else {
                // A date before 1900 or a negative time Excel cannot show (its 1900 dates show
                // "#####"): the grid's text goes.
                error = worksheet_write_string(ws, r, c, text(sheet.text(row, col)).constData(), format);
            }
        } else if (const QString f = formulaOf(row, col); !f.isEmpty()) {
            const QByteArray source = XlsxFile::xmlText(f);
            // A number is written as it is; only a formula that gives no number needs its shown
            // text, and a formula that cannot be read (Excel would call the file damaged) keeps its
            // own text instead.
            if (sheet.isNumber(row, col)) {
                error =
                    worksheet_write_formula_num(ws, r, c, source.constData(), format, sheet.number(row, col));
            } else if (const QString shown = sheet.text(row, col);
                       shown == formula::errorText(formula::ErrorCode::Syntax)) {
                error = worksheet_write_string(ws, r, c, text(f).constData(), format);
            } else {
                error = worksheet_write_formula_str(ws, r, c, source.constData(), format,
                                                    text(shown).constData());
            }
        } else if (!sheet.isEmpty(row, col)) {
            error = worksheet_write_string(ws, r, c, text(sheet.text(row, col)).constData(), format);
        } else {
            error = worksheet_write_blank(ws, r, c, format);
        }
        if (error != LXW_NO_ERROR)
            check(error, cell());
    };
    for (const XlsxFile::RowBand& band : bands) {
        delta = band.delta;
        sheet.forEachCell(band.row1, band.row2, writeCell);
    }
    for (int col = 1; col <= sheet.lastColumn(); ++col) {
        if (sheet.columnWidth(col) != Sheet::DefaultColumnWidth)
            check(worksheet_set_column_pixels(ws, lxw_col_t(col - 1), lxw_col_t(col - 1),
                                              sheet.columnWidth(col), nullptr),
                  QStringLiteral("the width of column %1 of %2").arg(columnName(col), sheetName));
    }
    if (sheet.frozenRows() > 0 || sheet.frozenColumns() > 0)
        worksheet_freeze_panes(ws, lxw_row_t(sheet.frozenRows()), lxw_col_t(sheet.frozenColumns()));
    rows.sheetWritten(written.bands.empty() ? sheet.lastRow() : bands.back().row2 + bands.back().delta);
}

void writeSheets(lxw_workbook* wb, const XlsxFile::SheetSequence& sheets, const XlsxFile::SheetHook& hook,
                 const XlsxFile::RowProgress& progress)
{
    QSet<QString> used;
    RowCount rows(progress);
    WorkbookFormats formats(wb);
    for (int n = 1; n <= sheets.count; ++n) {
        const QString base = XlsxFile::excelSheetName(sheets.name(n), n);
        QString name = base;
        // Excel compares sheet names without case; a repeated name gets a number.
        for (int k = 2; used.contains(name.toLower()); ++k) {
            const QString suffix = QStringLiteral(" (%1)").arg(k);
            name = text::leftWhole(base, XlsxFile::MaxSheetName - suffix.size()) + suffix;
        }
        used.insert(name.toLower());
        lxw_worksheet* ws = workbook_add_worksheet(wb, name.toUtf8().constData());
        if (!ws)
            throw Refused{QStringLiteral("sheet name \"%1\" refused").arg(name)};
        writeSheet(formats, ws, sheets.sheet(n), name, rows);
        if (n == sheets.active)
            worksheet_activate(ws);
        if (hook)
            hook(n, wb, ws);
    }
}

// What is kept of a part read back for the check: its first and last bytes, all of it when it
// is small. A worksheet's part may be tens of megabytes; only its ends tell whether it is whole.
class PartEnds
{
public:
    static constexpr qsizetype Kept = 1 << 16;

    void clear()
    {
        m_head.resize(0);
        m_tail.resize(0);
        m_size = 0;
    }
    void add(const char* bytes, qsizetype count)
    {
        m_size += count;
        if (m_head.size() < Kept)
            m_head.append(bytes, std::min(count, Kept - m_head.size()));
        m_tail.append(bytes, count);
        if (m_tail.size() > 2 * Kept)
            m_tail.remove(0, m_tail.size() - Kept);
    }
    qint64 size() const { return m_size; }

    // Whether the part as XML is whole: it ends with the end of its root element.
    bool wholeXml() const
    {
        const QByteArrayView head = QByteArrayView(m_head).trimmed();
        const QByteArrayView tail = QByteArrayView(m_tail).trimmed();
        qsizetype root = head.indexOf('<');
        while (root >= 0 && root + 1 < head.size() && (head[root + 1] == '?' || head[root + 1] == '!'))
            root = head.indexOf('<', root + 1);
        if (root < 0)
            return false;
        qsizetype nameEnd = root + 1;
        while (nameEnd < head.size() && !QChar::isSpace(uchar(head[nameEnd])) && head[nameEnd] != '>' &&
               head[nameEnd] != '/')
            ++nameEnd;
        const QByteArray end = "</" + head.sliced(root + 1, nameEnd - root - 1).toByteArray() + '>';
        if (tail.endsWith(end))
            return true;
        // A root element that closes itself is the whole part: only a small part is one.
        return m_size <= Kept && tail.endsWith("/>") && tail.lastIndexOf('<') == root;
    }

private:
    QByteArray m_head, m_tail;
    qint64 m_size = 0;
};

// The first part of the zip at `path` that cannot be read back whole (a bad checksum, an XML
// part cut short), or the empty text. libxlsxwriter writes each part into a temporary file
// before it zips it and does not check those writes: on a full disk a part is cut short and
// the workbook still closes without an error.
QString firstDamagedPart(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    unzFile zip = unzOpen(name.constData());
    if (!zip)
        return QStringLiteral("the zip itself");
    QString damaged;
    PartEnds ends;
    std::vector<char> buffer(1 << 16);
    for (int step = unzGoToFirstFile(zip); step == UNZ_OK && damaged.isEmpty(); step = unzGoToNextFile(zip)) {
        char part[512] = {};
        unz_file_info info{};
        if (unzGetCurrentFileInfo(zip, &info, part, sizeof part - 1, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            damaged = QString::fromUtf8(part);
            break;
        }
        ends.clear();
        int read = 0;
        while ((read = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()))) > 0)
            ends.add(buffer.data(), read);
        const bool checked = unzCloseCurrentFile(zip) == UNZ_OK; // the checksum
        const QByteArrayView partName(part);
        const bool xml = partName.endsWith(".xml") || partName.endsWith(".rels");
        if (read < 0 || !checked || ends.size() != qint64(info.uncompressed_size) ||
            (xml && !ends.wholeXml()))
            damaged = QString::fromUtf8(part);
    }
    unzClose(zip);
    return damaged;
}

} // namespace

QByteArray XlsxFile::xmlText(const QString& text)
{
    QString clean = text; // copied only when a character is replaced
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const bool allowed = c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c < 0xD800) ||
                             (c >= 0xE000 && c <= 0xFFFD);
        if (!allowed)
            clean[i] = QChar::ReplacementCharacter;
    }
    return clean.toUtf8();
}

QByteArray XlsxFile::cellText(const QString& text)
{
    return xmlText(withLiteralEscapes(text));
}

QString XlsxFile::excelSheetName(const QString& name, int number)
{
    QString result = QString::fromUtf8(xmlText(name));
    for (QChar& ch : result) {
        if (QStringView(u"[]:*?/\\").contains(ch))
            ch = u'_';
    }
    // A cut inside a surrogate pair would leave half a character, which Excel refuses.
    result = text::leftWhole(result, MaxSheetName);
    // Excel refuses a name that begins or ends with an apostrophe.
    while (result.startsWith(u'\''))
        result.remove(0, 1);
    while (result.endsWith(u'\''))
        result.chop(1);
    return result.isEmpty() ? QStringLiteral("Sheet%1").arg(number) : result;
}

void XlsxFile::write(const Workbook& book, const QString& path, const SheetHook& hook, bool constantMemory,
                     const RowProgress& progress)
{
    const SheetSequence sheets{book.sheetCount(), book.activeSheet(),
                               [&book](int number) { return book.sheetName(number); },
                               [&book](int number) -> const Sheet& {
                                   return book.sheet(number);
                               }};
    write(sheets, path, hook, constantMemory, progress);
}

void XlsxFile::write(const SheetSequence& sheets, const QString& path, const SheetHook& hook,
                     bool constantMemory, const RowProgress& progress)
{
    auto fail = [&path](const QString& problem) {
        return GridFileError(
            QCoreApplication::translate("talor", "Cannot write \"%1\": %2").arg(path, problem));
    };
    try {
        // The workbook is written beside the target and renamed over it only when complete,
        // so that a failed export leaves the old file, and no empty or partial one.
        io::AtomicTarget target(path);
        const QByteArray fileName = QFile::encodeName(target.tempPath());
        lxw_workbook_options options{};
        options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
        lxw_workbook* wb = workbook_new_opt(fileName.constData(), &options);
        if (!wb)
            throw fail(QCoreApplication::translate("talor", "the workbook could not be created"));
        try {
            writeSheets(wb, sheets, hook, progress);
        } catch (const Refused& refused) {
            // Closing would write the file: free the workbook without writing it.
            lxw_workbook_free(wb);
            throw fail(refused.problem);
        } catch (...) {
            lxw_workbook_free(wb);
            throw;
        }
        errno = 0;
        const lxw_error error = workbook_close(wb);
        if (error != LXW_NO_ERROR) {
            const bool full = errno == ENOSPC || errno == EFBIG || errno == EDQUOT;
            throw fail(QString::fromUtf8(lxw_strerror(error)) +
                       (full ? QStringLiteral(": the disk is full") : QString()));
        }
        if (const QString part = firstDamagedPart(target.tempPath()); !part.isEmpty())
            throw fail(QCoreApplication::translate(
                           "talor",
                           "the part %1 was cut short while it was written: the disk is full (or the "
                           "temporary folder's)")
                           .arg(part));
        target.commit();
    } catch (const io::FileWriteError& e) {
        throw GridFileError(e.message());
    }
}

} // namespace talor::grid
