#include "entry/PrintCommands.h"

#include "entry/ModuleParts.h"
#include "grid/Workbook.h"
#include "report/PersonByPersonPrint.h"
#include "report/PrintRun.h"
#include "sheet/SheetEditing.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QScopeGuard>

namespace talor {

namespace {

const QString& PrintCaption = PersonByPersonPrint::Caption;

QString printedText(const PrintRun::Result& result)
{
    if (result.stopped)
        return QStringLiteral("已停止，未打印");
    // The reason follows among the steps not done.
    if (!result.sent)
        return QStringLiteral("未打印");
    if (!result.pdfFile.isEmpty())
        return QStringLiteral("没有打印机，%1 页已写到 %2").arg(result.pages).arg(result.pdfFile);
    return QStringLiteral("已打印 %1 页").arg(result.pages);
}

} // namespace

PersonBatch::PersonBatch(ModuleContext& context, SelectionClicks& clicks)
    : m_context(context), m_clicks(clicks)
{}

int PersonBatch::open(const SelectedNode& node, const QString& from)
{
    Recordset& persons = m_context.records.PersonTemplateRecords;
    persons.open(RecordQueries(m_context.suite).SQL0(node, m_context.state.SuiteFilter),
                 m_context.suite.connection());
    int position = 0;
    int start = -1;
    for (; !persons.eof(); persons.moveNext(), ++position)
        if (start < 0 && (from.isEmpty() || persons.text(QStringLiteral("memberid")) == from))
            start = position;
    m_index = 0;
    m_count = start < 0 ? 0 : position - start;
    // Persons listed before `from` are not walked; without `from` in the list, none is.
    if (start >= 0) {
        persons.moveFirst();
        for (int i = 0; i < start; ++i)
            persons.moveNext();
    }
    return m_count;
}

bool PersonBatch::next()
{
    Recordset& persons = m_context.records.PersonTemplateRecords;
    if (m_index >= m_count)
        return false;
    if (m_index > 0)
        persons.moveNext();
    ++m_index;
    m_name = persons.text(QStringLiteral("name"));
    m_number = persons.text(QStringLiteral("memberid"));
    m_context.suite.setStatusValue(100);
    m_clicks.showPerson(m_number, m_name);
    return true;
}

PrintCommands::PrintCommands(ModuleContext& context, ModuleView& view, SelectionClicks& clicks,
                             SheetEditing& editing)
    : m_context(context), m_view(view), m_clicks(clicks), m_editing(editing)
{}

PrintRun PrintCommands::output()
{
    return PrintRun(m_context.suite, m_context.ui, m_context.book,
                    sheetLayoutOf(m_context.book.active()) == SheetLayout::Heading, m_view.dialogParent());
}

void PrintCommands::report(const QString& done, const QStringList& skipped)
{
    QString text = done;
    if (!skipped.isEmpty())
        text += QStringLiteral("；未完成：") + skipped.join(QStringLiteral("；"));
    // What the report shown leaves out goes with every output of it.
    if (!m_clicks.UnplacedRecords.isEmpty())
        text += u'；' + m_clicks.UnplacedRecords;
    m_view.showStatus(text);
}

void PrintCommands::preview()
{
    const PrintRun::Result result = output().preview();
    report(QStringLiteral("报表预览：%1 页").arg(result.pages), result.skipped);
}

void PrintCommands::exportReport()
{
    const std::optional<QString> chosen = m_context.ui.saveFile(
        m_view.dialogParent(), QString::fromUtf8(ExportFilter), m_context.suite.temporaryDirectory());
    const QString path = chosen ? chosen->trimmed() : QString();
    if (path.isEmpty()) {
        // A cancelled dialog ends the command: no earlier export is overwritten or opened.
        m_view.showStatus(QStringLiteral("输出：已取消"));
        return;
    }
    PrintRun run = output();
    run.showProgress(QStringLiteral("输出"), m_longWork);
    const PrintRun::Result result = run.exportTo(path);
    if (result.stopped) {
        // The earlier file at the path, if any, stays as it was.
        report(QStringLiteral("输出：已停止，未写成"), result.skipped);
        return;
    }
    if (!result.written) {
        report(QStringLiteral("输出：%1 未写成").arg(path), result.skipped);
        return;
    }
    if (m_context.ui.openDocument(path))
        report(QStringLiteral("输出：已写到 %1，并已在电子表格程序中打开").arg(path), result.skipped);
    else
        report(QStringLiteral("输出：已写到 %1；本机没有可打开它的电子表格程序").arg(path), result.skipped);
}

void PrintCommands::print()
{
    m_context.suite.setStatusValue(99);
    m_context.state.PrintRest = false;
    // Person by person, each person's records are read and shown anew: unsaved edits would be
    // neither printed nor kept, so they are asked about first.
    if (m_context.suite.reportOption() == QLatin1String("1") && !m_view.discardUnsavedData())
        return;
    // Nothing is typed into the grid while it is printed; after the print, ended or failed, the
    // active cell is editable as selecting it makes it.
    m_context.book.setAllowInCellEditing(false);
    const auto editingAfter = qScopeGuard([this] { m_editing.selectionChange(); });
    printReport();
}

void PrintCommands::printReport()
{
    if (m_context.suite.reportOption() == QLatin1String("1")) {
        printBatch();
        return;
    }
    PrintRun run = output();
    run.showProgress(PrintCaption, m_longWork);
    const PrintRun::Result result = run.print();
    report(PrintCaption + u'：' + printedText(result), result.skipped);
}

void PrintCommands::printBatch()
{
    // The persons of the list shown, wherever the tree's selection has moved since.
    const std::optional<SelectedNode>& node = m_clicks.listedNode();
    if (!node) {
        m_view.showStatus(PrintCaption + QStringLiteral("：请先在部门树中选定部门"));
        return;
    }
    PersonBatch persons(m_context, m_clicks);
    const int count = persons.open(*node, m_context.suite.personNumber());
    if (count == 0) {
        m_view.showStatus(
            PrintCaption +
            QStringLiteral("：当前人员 %1 不在 %2 的人员中").arg(m_context.suite.personNumber(), node->text));
        return;
    }
    using End = PersonByPersonPrint::End;
    PersonByPersonPrint batch(
        m_context.ui, m_view.dialogParent(), [this] { return output(); },
        [this](const QString& step) { m_view.showStatus(step); });
    const PersonByPersonPrint::Outcome outcome = batch.run(persons, count, m_context.state.PrintRest);

    QString text;
    switch (outcome.end) {
    case End::List:
        text = QStringLiteral("%1 人完成").arg(count);
        break;
    case End::Stopped:
        text = QStringLiteral("已停止，%1/%2 人完成").arg(outcome.done).arg(count);
        break;
    case End::Declined:
        text = QStringLiteral("只预览了 %1").arg(outcome.lastName);
        break;
    case End::Failed:
        text =
            QStringLiteral("%1/%2 人完成，%3 的资料读不出").arg(outcome.done).arg(count).arg(persons.name());
        break;
    case End::OutputFailed:
        // A job that failed after it took some persons may still have sent theirs.
        text = (outcome.printed > 0 ? QStringLiteral("打印中断，%1/%2 人完成")
                                    : QStringLiteral("未打印，%1/%2 人完成"))
                   .arg(outcome.done)
                   .arg(count);
        break;
    }
    if (outcome.printed > 0) {
        // The persons previewed are not in the job: say how many of them each way, so that the
        // count matches what the paper (or the PDF) holds.
        text += QStringLiteral("（预览 %1 人，打印 %2 人）")
                    .arg(outcome.done - outcome.printed)
                    .arg(outcome.printed) +
                QStringLiteral("，") + printedText(outcome.job);
    }
    report(PrintCaption + u'：' + text, outcome.job.skipped);
    if (outcome.end == End::Failed)
        m_context.ui.message(m_view.dialogParent(), PrintCaption + QStringLiteral("：") + outcome.failure);
}

} // namespace talor
