#pragma once

#include "report/TemplateDesigner.h"

#include <QDialog>
#include <array>

class QLabel;
class QListWidget;
class QRadioButton;

namespace talor {

class SuiteServices;

// The field picker "指定项目[title]": List1 with an empty entry and the suite's field labels,
// and where the chosen label goes: Option1 "更新单元" (the designer's active cell), Option2
// "更新列头" (its column heading), Option3 "更新行头" (its row heading), remembered in MODEL8 /
// "OPTION". A double-click on a label (or Enter) writes it and closes the picker. A double-click on the
// picture Image1 is the hidden switch that stops the picker from opening for the report.
class frmFIELD : public QDialog
{
    Q_OBJECT

public:
    frmFIELD(SuiteServices& suite, TemplateDesigner& designer, QWidget* parent = nullptr);

    // List1's double-click on entry `row`.
    void chooseEntry(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    PickTarget target() const;

    FieldPicker m_picker;
    TemplateDesigner& m_designer;
    QListWidget* m_list = nullptr; // List1
    std::array<QRadioButton*, 3> m_options{};
    QLabel* m_image = nullptr; // Image1
};

} // namespace talor
