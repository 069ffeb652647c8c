#pragma once

#include "suite/SuiteServices.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

namespace talor {

class Recordset;

// What the set-up dialog shows and what its OK writes back: one value per control.
struct SetupValues
{
    QStringList menuNames;            // SYS02 cdmc in cdxh order: the items of Combo1..Combo7
    QStringList tables;               // List5: code padded to 6 characters followed by the caption
    int tableIndex = -1;              // List5's selected item; -1 for none
    bool tablesEnabled = true;        // List5 is enabled for the operator "Qel" only
    std::array<QString, 7> captions;  // Text4..Text10: toolbar captions of external modules 1..7
    std::array<QString, 7> menus;     // Combo1..Combo7 texts: menu names of external modules 1..7
    std::array<quint32, 3> colours{}; // Text16..Text18 back colours, 0x00BBGGRR
    bool hideAtStart = false;         // Check1 "以后不再显示此框"
    bool blankZero = false;           // Check2 "数字项空格替代零"
    QStringList restricted;           // List3: restricted commands, in list order
    QStringList offered;              // List4: commands that are not restricted
};

// The module set-up (the dialog frmYBXZ without its widgets): reads the module-wide settings,
// the menu table and the table catalogue into SetupValues, and writes the operator's choices
// back in the module's order. Settings go through the suite on every access.
class ModuleSetup
{
public:
    // `treeRecords1` and `menuRecords` are the main window's recordsets; the load reopens them.
    ModuleSetup(SuiteServices& suite, Recordset& treeRecords1, Recordset& menuRecords);

    // The commands that can be restricted, 2 characters each, in the order they are offered.
    static QStringList commandPool();
    // The operator who alone may change the attendance table here.
    static constexpr const char* TableOperator = "Qel";

    // The dialog's load: menu names, the data tables that have both "zhdate" and "memberid",
    // the current table (sets the suite's CurrentTable), captions and menus of the external
    // modules, colours, options and the restriction lists. Database and suite failures throw.
    SetupValues load();

    // List5 click: the suite's CurrentTable becomes the item's code and its caption
    // the suite's view name. Returns the code.
    QString chooseTable(const QString& item);

    // OK: writes TABLE, CTABLE (only when a table is selected), MENU, CAP1/MENU1 .. CAP7/MENU7,
    // COLOR1..COLOR3, IF and " 0" in this order, in one write of the settings file (all or,
    // on a failure, none), then sets RefreshFlag to 0. A value left as load() gave it is not
    // written when the file holds another one by now: another operator's change stays.
    void save(const SetupValues& values);

    // The first 6 characters of a List5 item, blanks trimmed: the table code.
    static QString tableCode(const QString& item);
    // The item's text from character 7 on, blanks trimmed: the table caption.
    static QString tableCaption(const QString& item);

private:
    void loadMenuNames(SetupValues& values);
    void loadTables(SetupValues& values);
    void selectCurrentTable(SetupValues& values);
    // The keys save() writes for `values`, with their values, in the order it writes them.
    SuiteServices::SettingValues entries(const SetupValues& values) const;

    SuiteServices& m_suite;
    Recordset& m_treeRecords1;
    Recordset& m_menuRecords;
    QHash<QString, QString> m_loaded; // entries() of what load() gave
};

} // namespace talor
