#include "query/frmSQL1.h"

#include "ui/UiService.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace talor {

frmSQL1::frmSQL1(ReportConditions& reports, UiService& ui, EditMode mode, int index, const QString& selected,
                 QWidget* parent)
    : QDialog(parent), m_reports(reports), m_ui(ui), m_mode(mode), m_index(index), m_selected(selected)
{
    setObjectName(u"frmSQL1"_qs);
    setWindowTitle(u"报表条件"_qs);
    buildControls();

    // Activate, by EditMode.
    switch (mode) {
    case EditMode::Add:
        setWindowTitle(u"添加样式条件"_qs);
        break;
    case EditMode::Modify:
    case EditMode::Delete: {
        setWindowTitle(mode == EditMode::Modify ? u"修改样式条件"_qs : u"删除样式条件"_qs);
        const ReportEdit shown = m_reports.read(selected);
        m_name->setText(shown.name);
        m_dept->setText(shown.deptCondition);
        m_person->setText(shown.personCondition);
        // What is deleted is the selected report, as shown.
        for (QLineEdit* text : {m_name, m_dept, m_person})
            text->setReadOnly(mode == EditMode::Delete);
        break;
    }
    case EditMode::None:
        break;
    }
}

void frmSQL1::buildControls()
{
    auto text = [this](const QString& name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMinimumWidth(320);
        // A condition may list many persons: kept whole, not cut at the editor's default length.
        edit->setMaxLength(std::numeric_limits<int>::max());
        return edit;
    };
    m_name = text(u"Text1"_qs);
    m_dept = text(u"Text2"_qs);
    m_person = text(u"Text3"_qs);

    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(u"报表名称"_qs, this);
    nameLabel->setObjectName(u"Label1"_qs);
    nameLabel->setBuddy(m_name);
    form->addRow(nameLabel, m_name);
    form->addRow(new QLabel(u"部门条件"_qs, this), m_dept);
    form->addRow(new QLabel(u"个人条件"_qs, this), m_person);

    auto* ok = new QPushButton(u"&Y 确定"_qs, this);
    ok->setObjectName(u"Command1"_qs);
    ok->setDefault(true);
    auto* cancel = new QPushButton(u"&N 取消"_qs, this);
    cancel->setObjectName(u"Command2"_qs);
    connect(ok, &QPushButton::clicked, this, &frmSQL1::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void frmSQL1::apply()
{
    const ReportEdit edit{m_name->text(), m_dept->text(), m_person->text()};
    ReportEditResult result;
    try {
        // What the settings cannot hold, a condition the queries would refuse or a name another
        // report has: the editor stays open. A report is deleted whatever its conditions.
        QString refusal = ReportConditions::refusal(edit);
        if (refusal.isEmpty() && m_mode != EditMode::Delete) {
            refusal = ReportConditions::conditionRefusal(edit);
            if (refusal.isEmpty())
                refusal = m_reports.nameTaken(edit.name, m_mode == EditMode::Modify ? m_index : 0);
        }
        if (!refusal.isEmpty()) {
            m_ui.message(this, refusal);
            return;
        }
        switch (m_mode) {
        case EditMode::Add:
            result = m_reports.add(edit);
            break;
        case EditMode::Modify:
            result = m_reports.modify(m_index, m_selected, edit);
            break;
        case EditMode::Delete:
            result = m_reports.remove(m_index, edit);
            break;
        case EditMode::None:
            break;
        }
    } catch (const std::exception& error) {
        // The settings file could not be written (a full disk, say): the editor stays open with
        // what was typed, to be tried again or given up.
        m_ui.message(this, QString::fromUtf8(error.what()));
        return;
    }
    if (!result.problems.isEmpty())
        m_ui.message(this, result.problems.join(u'\n'));
    // The name taken when writing (by another operator meanwhile): the editor stays open with
    // what was typed, as on a refusal found before. Other refusals (the list changed under the
    // entry, the list full) close it: the list shows what holds now.
    if (result.nameTaken)
        return;
    accept();
}

} // namespace talor
