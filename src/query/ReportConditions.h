#pragma once

#include "suite/SuiteServices.h"

#include <QString>
#include <QStringList>
#include <span>

namespace talor {

// What frmSQL0 opens frmSQL1 for (EditMode): 1 add, 2 modify, 3 delete a report.
enum class EditMode
{
    None = 0,
    Add = 1,
    Modify = 2,
    Delete = 3
};

// One report as frmSQL1 edits it: its name and its department and personal conditions.
struct ReportEdit
{
    QString name;            // Text1
    QString deptCondition;   // Text2, setting name + "BDTJ1"
    QString personCondition; // Text3, setting name + "BDTJ2"
};

// What an edit of the list came to: a refusal (nothing written) or the template files that could
// not be copied or deleted (the settings written all the same), one line each.
struct ReportEditResult
{
    QStringList problems;
    bool nameTaken = false; // refused for a name another report has: another name may be given
};

// The named reports (styles) of the module, kept in section TALOR of the settings file:
// ModuleKey + "nBD" the number of user reports, ModuleKey + "sBD" + i the name of report i,
// name + "BDTJ1" / "BDTJ2" its conditions, and its templates name + "1.vts" / "2.vts" /
// "3.vts" in the template directory (TemplateFiles.h). The built-in report is ModuleKey itself.
//
// Names and conditions are stored as typed, empty names included; what the settings file
// cannot hold is refused (refusal()), and so is a name that another report of the list has
// already (nameTaken()), before anything is written. Names listed twice by an older settings
// file still load and work. Each edit reads the list and writes its entries in one
// read-modify-write under the settings file's lock, so that operators adding and deleting
// reports at the same moment lose and duplicate nothing. Settings failures throw SuiteError.
class ReportConditions
{
public:
    // A stored count above this is taken as this: the list reads one setting per report.
    static constexpr int MaxReports = 999;

    explicit ReportConditions(SuiteServices& suite);

    // The number in ModuleKey + "nBD": its leading number, rounded; missing, non-numeric and
    // negative counts are 0.
    int reportCount() const;
    // frmSQL0's list: ModuleKey, then user reports 1 to the count (an empty value still adds
    // an empty line).
    QStringList reportList() const;
    // The item to select: the first equal to `current`, else the last.
    static int currentIndex(const QStringList& list, const QString& current);
    // List1's click rule: modify and delete are for user reports (index 1 and up) only.
    static bool isUserReport(int index) { return index >= 1; }

    // frmSQL1's texts for modify and delete: the name with its two conditions.
    ReportEdit read(const QString& name) const;

    // Why the settings file cannot take `edit`, in the operator's words naming the character;
    // empty when it can. A name is a key prefix: it may not begin (after blanks) with "[",
    // ";" or "#", nor hold "=" or a line break; conditions may not hold a line break.
    static QString refusal(const ReportEdit& edit);
    // Why the queries would refuse a condition of `edit` (it closes a bracket it did not open, or
    // leaves a quote open), in their words; empty when they take both.
    static QString conditionRefusal(const ReportEdit& edit);
    // Why `name` cannot be given to entry `index` of the list (0: a new report): another
    // report of the list, the built-in one included, has it; empty when it can (an entry may
    // keep its own name).
    QString nameTaken(const QString& name, int index) const;

    // The edits of frmSQL1's Command1. They return what went wrong: a refusal, in which case
    // nothing is written, or the template files that could not be copied or deleted (the
    // settings are written all the same); no problems when all went well.
    // Add: count + 1, the new entry, its conditions; the built-in report's "1.vts" and
    // "2.vts" copied to the new name (overwriting, never a file onto itself), and a "3.vts" of
    // the name that an older report left removed. With MaxReports
    // reports already, or a name that is taken, nothing is written.
    ReportEditResult add(const ReportEdit& edit);
    // Modify entry `index` (1 and up), shown as `shown`: the entry takes the name, the name the
    // conditions. A renamed report takes along its other settings (ReportSettings and the page
    // set-up of SettingsKeys.h) and its "1.vts", "2.vts" and "3.vts", copied to the new name; the old
    // name keeps its own, as another operator may still show it. When the renamed report was
    // the current one, the new name becomes current.
    ReportEditResult modify(int index, const QString& shown, const ReportEdit& edit);
    // Delete entry `index` (1 and up), named `edit.name`: count - 1, the later entries moved up,
    // the old last entry emptied, the name's conditions emptied and its "1.vts", "2.vts" and
    // "3.vts" deleted. When the built-in report or another remaining entry carries the same name, its
    // conditions and files are theirs as well and stay.
    // Both write nothing and say so when entry `index` no longer holds the name the dialog
    // showed (another operator added, moved or deleted reports in between): the index would
    // now name another report.
    ReportEditResult remove(int index, const ReportEdit& edit);

    // Makes `name` the current report (ReportKey); the choice needs no check.
    void choose(const QString& name);
    // The select-report dialog closes: the main window lays its report out again.
    void closed();

private:
    using Reader = SuiteServices::SettingsReader;
    using Values = SuiteServices::SettingValues;

    static QString nameTaken(const QStringList& list, const QString& name, int index);
    // Why entry `index` of `list` cannot be changed as `name` (`action` in words); empty when
    // it holds it.
    static QString notHeld(const QStringList& list, int index, const QString& name, const QString& action);
    static Values conditions(const ReportEdit& edit);
    // The report-scoped keys of `section` that `to` must take to hold what `from` holds,
    // leaving out those already `written`. A template setting that names `from`'s own template
    // file names `to`'s, which the rename copies it to.
    Values copiedKeys(const Reader& read, const QString& section, const QString& from, const QString& to,
                      const Values& written);
    QStringList copyTemplates(const QString& from, const QString& to, std::span<const int> kinds);
    QStringList removeTemplates(const QString& name, std::span<const int> kinds);

    QString entryKey(int i) const;
    int countIn(const Reader& read) const;
    QStringList listIn(const Reader& read) const;
    QString setting(const QString& key) const;
    // One locked read-modify-write of `section` (empty: TALOR).
    void update(const SuiteServices::SettingsChange& change, const QString& section = {});

    SuiteServices& m_suite;
};

} // namespace talor
