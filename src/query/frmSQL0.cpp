#include "query/frmSQL0.h"

#include "modulesettings/SupervisorCheck.h"
#include "query/frmSQL1.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace talor {

frmSQL0::frmSQL0(SuiteServices& suite, UiService& ui, std::function<void()> openDesigner, QWidget* parent)
    : QDialog(parent), m_suite(suite), m_ui(ui), m_reports(suite), m_openDesigner(std::move(openDesigner))
{
    setObjectName(u"frmSQL0"_qs);
    setWindowTitle(u"选定报表"_qs);
    buildControls();
    run([this] { fillList(); });
}

void frmSQL0::buildControls()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(u"List1"_qs);
    m_list->setMinimumSize(220, 240);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { listClick(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { run([this] { choose(); }); });

    const char* captions[5] = {"&A 添加", "&U 修改", "&D 删除", "&M 模版", "&S 选定"};
    auto* buttons = new QVBoxLayout;
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(QString::fromUtf8(captions[i]), this);
        button->setObjectName(u"Command"_qs + QString::number(i + 1));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        m_commands[size_t(i)] = button;
    }
    buttons->addStretch(1);
    m_commands[4]->setDefault(true);
    connect(m_commands[0], &QPushButton::clicked, this, [this] { run([this] { edit(EditMode::Add); }); });
    connect(m_commands[1], &QPushButton::clicked, this, [this] { run([this] { edit(EditMode::Modify); }); });
    connect(m_commands[2], &QPushButton::clicked, this, [this] { run([this] { edit(EditMode::Delete); }); });
    connect(m_commands[3], &QPushButton::clicked, this, [this] { run([this] { design(); }); });
    connect(m_commands[4], &QPushButton::clicked, this, [this] { run([this] { choose(); }); });

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

void frmSQL0::run(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        m_ui.message(this, QString::fromUtf8(error.what()));
    }
}

void frmSQL0::fillList()
{
    const QStringList reports = m_reports.reportList();
    m_list->clear();
    m_list->addItems(reports);
    m_list->setCurrentRow(ReportConditions::currentIndex(reports, m_suite.reportKey()));
    listClick();
}

void frmSQL0::listClick()
{
    const bool user = ReportConditions::isUserReport(m_list->currentRow());
    m_commands[0]->setEnabled(true);
    m_commands[1]->setEnabled(user);
    m_commands[2]->setEnabled(user);
}

void frmSQL0::edit(EditMode mode)
{
    const int index = m_list->currentRow();
    // The buttons' rule, kept here too: only user reports are modified or deleted.
    if (mode != EditMode::Add && !ReportConditions::isUserReport(index))
        return;
    if (!supervisorCheck(m_suite, LockRule::NonZero))
        return;
    m_editMode = mode;
    frmSQL1 editor(m_reports, m_ui, mode, index, index >= 0 ? m_list->item(index)->text() : QString(), this);
    m_ui.execDialog(editor);
    fillList();
}

void frmSQL0::design()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !supervisorCheck(m_suite, LockRule::NonZero))
        return;
    m_reports.choose(item->text());
    if (m_openDesigner)
        m_openDesigner();
    accept();
}

void frmSQL0::choose()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_reports.choose(item->text());
    accept();
}

void frmSQL0::done(int result)
{
    m_reports.closed();
    QDialog::done(result);
}

} // namespace talor
