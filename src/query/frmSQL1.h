#pragma once

#include "query/ReportConditions.h"

#include <QDialog>

class QLineEdit;

namespace talor {

class UiService;

// The report editor "报表条件", opened by frmSQL0 in one mode: add ("添加样式条件", empty
// texts), modify ("修改样式条件") or delete ("删除样式条件"), the last two showing the
// selected report's name and conditions (read-only when deleting). Command1 "&Y 确定" applies
// the edit and closes; a name or condition the settings file cannot hold is refused with a
// message that names the character, and nothing is written. Command2 "&N 取消" closes.
class frmSQL1 : public QDialog
{
    Q_OBJECT

public:
    // `index` and `selected` are frmSQL0's selected list index and item text.
    frmSQL1(ReportConditions& reports, UiService& ui, EditMode mode, int index, const QString& selected,
            QWidget* parent = nullptr);

private:
    void buildControls();
    void apply();

    ReportConditions& m_reports;
    UiService& m_ui;
    EditMode m_mode;
    int m_index;
    QString m_selected;            // the report the dialog was opened on
    QLineEdit* m_name = nullptr;   // Text1
    QLineEdit* m_dept = nullptr;   // Text2
    QLineEdit* m_person = nullptr; // Text3
};

} // namespace talor
