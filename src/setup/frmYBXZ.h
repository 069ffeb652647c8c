#pragma once

#include "setup/ModuleSetup.h"

#include <QColor>
#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace talor {

class Recordset;
class SuiteServices;
class UiService;

// The component initialisation dialog "组件初始化": the attendance table, the restricted
// commands, the seven external module positions, the abnormal colours and two options.
// Its load runs in the constructor; OK writes every setting, makes the selected table the
// session's, and closes; closing it with the window box or Escape changes nothing (a table
// clicked meanwhile is given back). Enter or Space on a command of List3 or List4 moves it to
// the other list, as a double-click does. Controls carry the module's names (List5, Combo1, Text16, ...).
class frmYBXZ : public QDialog
{
    Q_OBJECT

public:
    // `treeRecords1` is the main window's first-level tree recordset and `menuRecords` its
    // menu recordset; the load reopens both. A failing load throws DatabaseError or SuiteError.
    frmYBXZ(SuiteServices& suite, UiService& ui, Recordset& treeRecords1, Recordset& menuRecords,
            QWidget* parent = nullptr);

    // Converts between the module's 0x00BBGGRR colours and Qt colours.
    static QColor toQColor(quint32 bgr);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showValues(const SetupValues& values);
    SetupValues currentValues() const;
    void pickColour(int n);
    void setSwatch(int n, quint32 colour);
    void moveItem(QListWidget* from, QListWidget* to);
    void onTableClicked(QListWidgetItem* item);
    void onOk();

    SuiteServices& m_suite;
    UiService& m_ui;
    ModuleSetup m_setup;
    SetupValues m_loaded;
    QString m_loadedTable, m_loadedView; // the session's table as the load left it

    QListWidget* m_tables = nullptr;        // List5
    QListWidget* m_restricted = nullptr;    // List3
    QListWidget* m_offered = nullptr;       // List4
    std::array<QComboBox*, 7> m_menus{};    // Combo1..Combo7
    std::array<QLineEdit*, 7> m_captions{}; // Text4..Text10
    std::array<QLineEdit*, 3> m_swatches{}; // Text16..Text18
    std::array<quint32, 3> m_colours{};
    QCheckBox* m_hideAtStart = nullptr; // Check1
    QCheckBox* m_blankZero = nullptr;   // Check2
};

} // namespace talor
