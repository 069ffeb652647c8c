#pragma once

#include <QString>
#include <QStringList>

namespace talor {

class SuiteServices;

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

// The named reports (styles) of the module, kept in section TALOR of the settings file:
// ModuleKey + "nBD" the number of user reports, ModuleKey + "sBD" + i the name of report i,
// name + "BDTJ1" / "BDTJ2" its conditions, and its templates name + "1.vts" / "2.vts" in the
// template directory (TemplateFiles.h). The built-in report is ModuleKey itself.
//
// Names and conditions are stored as typed, empty and duplicate names included; only what
// the settings file cannot hold is refused (refusal()), before anything is written. Settings
// failures throw SuiteError.
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

    // The edits of frmSQL1's Command1, each writing its settings in the documented order and
    // then copying or deleting template files. They return what went wrong with the files
    // (one line each; the settings are written all the same); empty when all went well.
    // Add: count + 1, the new entry, its conditions; the built-in report's "1.vts" and
    // "2.vts" copied to the new name (overwriting, never a file onto itself). With MaxReports
    // reports already, nothing is written and the refusal is returned.
    QStringList add(const ReportEdit& edit);
    // Modify entry `index` (1 and up), shown as `shown`: the entry takes the name, the name the
    // conditions. A renamed report keeps its old keys and files under the old name.
    QStringList modify(int index, const QString& shown, const ReportEdit& edit);
    // Delete entry `index` (1 and up), named `edit.name`: count - 1, the later entries moved up,
    // the old last entry emptied, the name's conditions emptied and its "1.vts" and "2.vts"
    // deleted. When the built-in report or another remaining entry carries the same name, its
    // conditions and files are theirs as well and stay.
    // Both write nothing and say so when entry `index` no longer holds the name the dialog
    // showed (another operator added, moved or deleted reports in between): the index would
    // now name another report.
    QStringList remove(int index, const ReportEdit& edit);

    // Makes `name` the current report (ReportKey); the choice needs no check.
    void choose(const QString& name);
    // The select-report dialog closes: the main window lays its report out again.
    void closed();

private:
    QString entryKey(int i) const;
    // Why entry `index` cannot be changed as `name` (`action` in words); empty when it holds it.
    QString notHeld(int index, const QString& name, const QString& action) const;
    QString setting(const QString& key) const;
    void write(const QString& key, const QString& value);

    SuiteServices& m_suite;
};

} // namespace talor
