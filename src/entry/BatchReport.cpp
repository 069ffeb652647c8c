#include "entry/BatchReport.h"

#include "entry/Activation.h"
#include "entry/PeriodPicks.h"
#include "entry/TreeFill.h"
#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "query/ReportConditions.h"
#include "sheet/PeriodBlock.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QHash>
#include <QPagedPaintDevice>

namespace talor {

namespace {

// The operator of a batch run: there is none, so every question is refused.
class NoOperator : public UiService
{
public:
    Answer message(QWidget*, const QString&, Buttons buttons, const QString&) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    std::optional<QString> openFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<quint32> chooseColour(QWidget*, quint32) override { return {}; }
    int execDialog(QDialog&) override { return 0; }
    bool openDocument(const QString&) override { return false; }
    std::unique_ptr<Progress> progress(QWidget*, const QString&, const QString&, int) override
    {
        return std::make_unique<Unwatched>();
    }
    void preview(QWidget*, const QString&, const QPageLayout&, const std::function<void(QPagedPaintDevice&)>&,
                 bool) override
    {}
    std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString&, QString&) override { return nullptr; }

private:
    // Nobody watches a batch's progress, and nobody stops it.
    class Unwatched : public Progress
    {
    public:
        void setValue(int, const QString&) override {}
        bool cancelled() override { return false; }
    };
};

} // namespace

struct BatchReport::Parts
{
    NoOperator ui;
    MainWindowState state;
    ModuleRecordsets records;
    grid::Workbook book;
    std::unique_ptr<ModuleParts> parts;
};

BatchReport::BatchReport(SuiteServices& suite) : p(std::make_unique<Parts>()), m_suite(suite)
{
    p->parts = std::make_unique<ModuleParts>(suite, p->ui, p->state, p->records, p->book,
                                             static_cast<ModuleView&>(*this));
}

BatchReport::~BatchReport() = default;

grid::Workbook& BatchReport::book()
{
    return p->book;
}

ModuleParts& BatchReport::parts()
{
    return *p->parts;
}

QString BatchReport::leftOut()
{
    return p->parts->clicks().UnplacedRecords;
}

void BatchReport::showListError(const QString& message)
{
    throw BatchRequestError(message);
}

SelectedNode BatchReport::findNode(const QString& key)
{
    const TreeFillResult tree = fillDepartmentTree(m_suite, p->records.TreeRecords);
    QHash<QString, const TreeNode*> byKey;
    for (const TreeNode& node : tree.nodes)
        byKey.insert(node.key, &node);
    auto textOf = [&](const QString& nodeKey) {
        return byKey.value(nodeKey);
    };
    // A node's names from its department down, and the two keys they make: run together (the
    // tree's own key where no other node's names run together alike) and joined by "/".
    auto namesOf = [&](const TreeNode& node) {
        QStringList names;
        for (const TreeNode* n = &node; n && !n->parentKey.isEmpty(); n = textOf(n->parentKey))
            names.prepend(n->text);
        return names;
    };
    const TreeNode* node = nullptr;
    QStringList alike; // the joined keys of the nodes whose names run together to `key`
    for (const TreeNode& candidate : tree.nodes) {
        if (candidate.parentKey.isEmpty()) {
            if (candidate.key == key)
                node = &candidate;
            continue;
        }
        const QStringList names = namesOf(candidate);
        const QChar level = candidate.key.front();
        if (level + names.join(QString()) == key)
            alike << level + names.join(u'/');
        if (candidate.key == key || level + names.join(u'/') == key)
            node = &candidate;
    }
    // The key the names run together to belongs to whichever of such nodes came first, which an
    // added department can change: the request names one of them by its joined key instead.
    alike.sort();
    if (alike.size() > 1)
        throw BatchRequestError(
            QStringLiteral(
                "the node key %1 stands for several nodes whose names run together alike; name one "
                "of them: %2")
                .arg(key, alike.join(QStringLiteral(", "))));
    if (!node)
        throw BatchRequestError(
            QStringLiteral(
                "the department tree has no node %1 (keys are ROOT, A + department, B + department + "
                "group, C + department + group + team)")
                .arg(key));
    SelectedNode selected{node->key, node->text, {}, {}};
    if (const TreeNode* parent = textOf(node->parentKey)) {
        selected.parentText = parent->text;
        if (const TreeNode* grandparent = textOf(parent->parentKey))
            selected.grandparentText = grandparent->text;
    }
    return selected;
}

void BatchReport::prepare(const BatchReportRequest& request, bool layout)
{
    // The report is the built-in one or one of the reports the select-report dialog lists.
    if (!request.report.isEmpty()) {
        const QStringList reports = ReportConditions(m_suite).reportList();
        if (!reports.contains(request.report))
            throw BatchRequestError(QStringLiteral("the suite has no report %1 (reports: %2)")
                                        .arg(request.report, reports.join(", ")));
    }
    // The load's steps that the report depends on.
    m_suite.setSavedTable(m_suite.currentTable());
    m_suite.setReportKey(request.report.isEmpty() ? m_suite.moduleKey() : request.report);
    ModuleSettings settings(m_suite);
    const QString table = settings.read(keys::Table);
    if (!table.isEmpty())
        m_suite.setCurrentTable(table);
    p->state.SuiteFilter = m_suite.filterText();
    m_suite.setReportOption(QString::number(request.kind));
    if (request.date.isValid())
        m_suite.setReportDate(request.date);
    if (request.from.isValid())
        m_suite.setPeriodStart(request.from.toString(QStringLiteral("yyyy-MM-dd")));
    if (request.to.isValid())
        m_suite.setPeriodEnd(request.to.toString(QStringLiteral("yyyy-MM-dd")));
    Activation(m_suite).readReportState(p->state);
    m_sum = request.sum;

    // A file missing from the suite's template folder, not a request that cannot be met.
    if (layout && reportTemplatePath(m_suite, request.kind).isEmpty())
        throw grid::GridFileError(QStringLiteral("the report %1 has no template of kind %2 (%3)")
                                      .arg(m_suite.reportKey())
                                      .arg(request.kind)
                                      .arg(defaultTemplatePath(m_suite, request.kind)));
    // A kind-3 block has a row for each of 31 days: a longer period is a request it cannot show.
    if (layout && request.kind == 3)
        if (const QString problem = PeriodBlock::periodProblem(m_suite.periodStart(), m_suite.periodEnd());
            !problem.isEmpty())
            throw BatchRequestError(problem);
    m_node = findNode(request.node);
}

PrintRun BatchReport::output()
{
    return PrintRun(m_suite, p->ui, p->book, sheetLayoutOf(p->book.active()) == SheetLayout::Heading);
}

AbnormalOverview BatchReport::overview(const BatchReportRequest& request)
{
    BatchReportRequest period = request;
    period.kind = 3;
    prepare(period, false);
    const auto [start, end] = periodDates(m_suite.periodStart(), m_suite.periodEnd());
    try {
        return AbnormalOverviewReader(m_suite, p->state).read(*m_node, start, end);
    } catch (const std::invalid_argument& error) {
        // A period too long, or a table without marks: what was asked cannot be shown.
        throw BatchRequestError(QString::fromUtf8(error.what()));
    }
}

std::array<quint32, 3> BatchReport::abnormalColours() const
{
    return Activation(m_suite).moduleAbnormalColours();
}

void BatchReport::runEachPerson(const BatchReportRequest& request, const EachPerson& each)
{
    prepare(request);
    p->parts->layoutReport();
    p->parts->clicks().treeClick();
    PersonBatch persons(p->parts->context(), p->parts->clicks());
    const int count = persons.open(*m_node, QString());
    if (count == 0)
        throw BatchRequestError(QStringLiteral("the node %1 has no employees").arg(request.node));
    while (persons.next())
        each(persons.index(), count, persons.name());
}

void BatchReport::run(const BatchReportRequest& request)
{
    if (request.kind == 1 && request.person.isEmpty())
        throw BatchRequestError(QStringLiteral("a report of kind 1 needs the person (--person MEMBERID); a "
                                               "PDF or print holds every person of the node"));
    prepare(request);
    p->parts->layoutReport();
    SelectionClicks& clicks = p->parts->clicks();
    clicks.treeClick();
    if (request.kind != 1)
        return;
    const QString key = "A" + request.person;
    for (const EmployeeItem& item : std::as_const(m_employees))
        if (item.key == key)
            m_employee = item;
    if (!m_employee)
        throw BatchRequestError(QStringLiteral("the person %1 is not among the employees of node %2")
                                    .arg(request.person, request.node));
    clicks.listClick();
}

} // namespace talor
