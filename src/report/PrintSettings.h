#pragma once

#include "modulesettings/SettingsKeys.h"
#include "print/PageSetup.h"

#include <QStringList>

namespace talor {

class SuiteServices;

// The printout of the current report: its page set-up and, in the heading layout, the bold
// row of column captions printed above the grid's first row.
struct ReportPrintSetup
{
    print::PageSetup pageSetup;
    QStringList headingRow;
    // Settings that could not be applied ("Orientation=3: ..."), each skipped on its own while
    // the others still apply; for the caller to log.
    QStringList refused;
};

// Maps the page set-up keys of section "PRINT" of the current report (ReportKey + "." +
// property) onto a print::PageSetup, in the order the keys are applied:
//   texts (headers, footers) as they stand; inches (margins) through points, 72 to the inch,
//   of the text's leading number; numbers as the text's leading number; switches on only for
//   the exact text "True". An empty or absent text, inch or number key leaves the default;
//   an absent switch is off.
// Numbers mean what they mean to a spreadsheet: Orientation 1 portrait, 2 landscape;
// PaperSize an Excel paper number; Order 1 down then over, 2 over then down; FirstPageNumber
// -4105 automatic; Zoom 10..400 percent, or 0 (the text "False" too) for fitting to
// FitToPagesWide x FitToPagesTall pages (0: no limit that way). A fit key with no Zoom key
// fits as well; a Zoom in 10..400 wins over fit keys. A value outside those meanings is
// refused and leaves the property as it was.
// The centre footer is the organisation, five blanks and the key's text, or, without the
// key, the organisation, "制表人: " and the operator, "审核人: " and eight underscores.
// Then by layout, C and R being the grid's last column and row:
//   cell layout: print area "$A$1:" + ColumnAddress(C) + RowAddress(R), no centre header,
//   title rows $1:$4; for the period report (kind 3) instead, each person's block starts a
//   page and repeats its own four header rows when it runs onto another;
//   heading layout: the captions of columns 1..C as a bold first row, print area to R + 1,
//   centre header &"宋体,加粗"&16&A (the sheet name, bold, 16 points), title rows $1:$1.
class PrintSettings
{
public:
    explicit PrintSettings(SuiteServices& suite);

    // The 27 keys applied onto `setup`; refused keys are added to `refused`.
    void applyKeys(print::PageSetup& setup, QStringList& refused) const;
    QString centerFooter() const;
    // The whole set-up for a grid of `lastColumn` x `lastRow` in the given layout;
    // `headings` are the grid's column heading texts (used in the heading layout).
    ReportPrintSetup build(bool headingLayout, int lastColumn, int lastRow,
                           const QStringList& headings) const;

private:
    QString read(const keys::SettingsKey& key) const;

    SuiteServices& m_suite;
};

} // namespace talor
