#pragma once

#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

typedef struct lxw_workbook lxw_workbook;
typedef struct lxw_worksheet lxw_worksheet;

namespace talor::grid {

class Sheet;
class Workbook;

// A workbook's write that the caller stopped through its row progress: no file was written.
class WriteStopped : public std::runtime_error
{
public:
    WriteStopped() : std::runtime_error("the write was stopped") {}
};

// Writes a Workbook as an Excel workbook (xlsx content) with libxlsxwriter, whatever the
// file's extension: constants typed as in the grid (numbers, dates with their format, texts),
// formulas with their computed results, fills, borders, column widths, frozen panes and
// sheet names. Custom column heading texts are not cells and are left out. A number that a
// spreadsheet with 1900 dates cannot show under its date or time format (a date before 1900, a
// negative time) is written as the grid shows it, as text.
//
// Texts are written as XML 1.0 can hold them: a character it forbids (a control other than
// tab, line feed and carriage return, U+FFFE, U+FFFF, a lone surrogate) becomes U+FFFD. A text
// longer than the 32,767 characters an Excel cell holds is refused: the export fails with an
// error naming the sheet and cell, and no file is written.
class XlsxFile
{
public:
    // Called once per sheet (1-based number) before the file is closed, so that a caller
    // can add what the grid does not hold (page set-up).
    using SheetHook = std::function<void(int sheetNumber, lxw_workbook* workbook, lxw_worksheet* worksheet)>;
    // Told each time another RowsPerProgress rows have been written, with the rows written so
    // far over all sheets (each sheet counts up to its last row); false stops the write, which
    // then throws WriteStopped and leaves the file at the path as it was.
    using RowProgress = std::function<bool(int rowsWritten)>;
    static constexpr int RowsPerProgress = 500;

    // Throws GridFileError naming the file when it cannot be written. With `constantMemory`
    // each row goes to a temporary file once the next row is written, so that memory stays
    // flat however large the sheet (texts are then stored in the cells, not shared).
    static void write(const Workbook& book, const QString& path, const SheetHook& hook = {},
                      bool constantMemory = false, const RowProgress& progress = {});

    // Rows row1..row2 of a sheet, written `delta` rows lower on the worksheet (higher when
    // negative). Their formulas move with them, as in a copy of the rows.
    struct RowBand
    {
        int row1 = 1;
        int row2 = 0;
        int delta = 0;
    };
    // What one worksheet holds: the sheet as it stands, or bands of its rows, in the order of
    // their rows on the worksheet. The sheet's widths and frozen panes go with either. The
    // caller of the bands sees to it that every moved formula reads only rows moved with it,
    // so that the values it holds stay true on the worksheet.
    struct SheetRows
    {
        SheetRows(const Sheet& whole) : sheet(&whole) {} // a whole sheet, as it stands
        SheetRows(const Sheet& from, std::vector<RowBand> rows) : sheet(&from), bands(std::move(rows)) {}
        const Sheet* sheet;
        std::vector<RowBand> bands; // none: the whole sheet
    };

    // Worksheets handed to the writer one after the other, each asked for when its turn comes
    // (numbers from 1): the sheet given for a number need live only until the next is asked
    // for, so that a workbook made up while it is written never holds all its sheets at once.
    struct SheetSequence
    {
        int count = 0;
        int active = 1;
        std::function<QString(int number)> name;
        std::function<SheetRows(int number)> sheet;
    };
    static void write(const SheetSequence& sheets, const QString& path, const SheetHook& hook = {},
                      bool constantMemory = false, const RowProgress& progress = {});

    // Text as XML 1.0 can hold it, in UTF-8: characters it forbids (controls other than tab,
    // line feed and carriage return, U+FFFE, U+FFFF, a surrogate without its pair) become
    // U+FFFD, so that the file stays well-formed and the place of the lost character shows.
    static QByteArray xmlText(const QString& text);
    // A cell's text as the workbook holds it: xmlText(), with each "_xHHHH_" in it (H a hex
    // digit) escaped so that a spreadsheet shows it as it stands, not as the character HHHH.
    static QByteArray cellText(const QString& text);

    // The most UTF-16 units a sheet name may have.
    static constexpr qsizetype MaxSheetName = 31;
    // The sheet name as Excel accepts it: at most MaxSheetName units (a character outside the
    // basic plane that does not fit is left out whole), none of []:*?/\, neither beginning nor
    // ending with an apostrophe, not empty ("Sheet" + `number`).
    static QString excelSheetName(const QString& name, int number);
};

} // namespace talor::grid
