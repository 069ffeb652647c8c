#include "query/ReportConditions.h"

#include "io/FileWrite.h"
#include "modulesettings/ModuleSettings.h"
#include "report/TemplateFiles.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace talor {

namespace {

// The keys of report `name`, which need not be the current report.
QString conditionKey(const QString& name, const keys::SettingsKey& key)
{
    return name + QLatin1String(key.suffix);
}
// The templates these dialogs copy and delete; kind 3 stays where it is.
constexpr int CopiedKinds[] = {1, 2};

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

bool sameFile(const QString& a, const QString& b)
{
    return a == b || (QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath() &&
                      !QFileInfo(a).canonicalFilePath().isEmpty());
}

} // namespace

ReportConditions::ReportConditions(SuiteServices& suite) : m_suite(suite) {}

QString ReportConditions::setting(const QString& key) const
{
    return ModuleSettings(m_suite).read(QString::fromLatin1(ModuleSettings::Section), key);
}

void ReportConditions::write(const QString& key, const QString& value)
{
    ModuleSettings(m_suite).write(QString::fromLatin1(ModuleSettings::Section), key, value);
}

QString ReportConditions::entryKey(int i) const
{
    // The number is appended whatever it is, as the entries have always been named.
    return ModuleSettings(m_suite).name(keys::ReportName) + QString::number(i);
}

int ReportConditions::reportCount() const
{
    const double value =
        std::round(text::numericValue(setting(ModuleSettings(m_suite).name(keys::ReportCount))));
    if (!(value > 0))
        return 0;
    return value > MaxReports ? MaxReports : int(value);
}

QStringList ReportConditions::reportList() const
{
    QStringList list{m_suite.moduleKey()};
    const int count = reportCount();
    for (int i = 1; i <= count; ++i)
        list << setting(entryKey(i));
    return list;
}

int ReportConditions::currentIndex(const QStringList& list, const QString& current)
{
    const int found = int(list.indexOf(current));
    return found >= 0 ? found : int(list.size()) - 1;
}

ReportEdit ReportConditions::read(const QString& name) const
{
    return {name, setting(conditionKey(name, keys::DeptCondition)),
            setting(conditionKey(name, keys::PersonCondition))};
}

QString ReportConditions::refusal(const ReportEdit& edit)
{
    const QString lead = edit.name.trimmed();
    for (const QChar c : {u'[', u';', u'#'})
        if (lead.startsWith(c))
            return QStringLiteral("报表名称不能以“%1”开头！").arg(c);
    if (edit.name.contains(u'='))
        return QStringLiteral("报表名称不能包含“=”！");
    if (hasLineBreak(edit.name))
        return QStringLiteral("报表名称不能包含换行符！");
    if (hasLineBreak(edit.deptCondition))
        return QStringLiteral("部门条件不能包含换行符！");
    if (hasLineBreak(edit.personCondition))
        return QStringLiteral("个人条件不能包含换行符！");
    return {};
}

QStringList ReportConditions::add(const ReportEdit& edit)
{
    // A report beyond the last one the list reads would be lost from sight.
    if (reportCount() >= MaxReports)
        return {QStringLiteral("报表已达%1个，不能再添加！").arg(MaxReports)};
    const int n = reportCount() + 1;
    write(ModuleSettings(m_suite).name(keys::ReportCount), QString::number(n));
    write(entryKey(n), edit.name);
    write(conditionKey(edit.name, keys::DeptCondition), edit.deptCondition);
    write(conditionKey(edit.name, keys::PersonCondition), edit.personCondition);

    QStringList problems;
    for (const int kind : CopiedKinds) {
        const QString source = templatePath(m_suite, m_suite.moduleKey(), kind);
        const QString target = templatePath(m_suite, edit.name, kind);
        if (!QFileInfo(source).isFile() || sameFile(source, target))
            continue;
        QFile in(source);
        try {
            if (!in.open(QIODevice::ReadOnly))
                throw io::FileWriteError(QStringLiteral("%1: %2").arg(source, in.errorString()));
            io::writeFileAtomically(target, in.readAll());
        } catch (const io::FileWriteError& error) {
            problems << QStringLiteral("模板文件未能复制：%1").arg(error.message());
        }
    }
    return problems;
}

QString ReportConditions::notHeld(int index, const QString& name, const QString& action) const
{
    if (index >= 1 && index <= reportCount() && setting(entryKey(index)) == name)
        return {};
    return QStringLiteral("报表列表已被改动：第%1项已不是“%2”，没有%3，请重新选择")
        .arg(index)
        .arg(name, action);
}

QStringList ReportConditions::modify(int index, const QString& shown, const ReportEdit& edit)
{
    if (const QString problem = notHeld(index, shown, QStringLiteral("修改")); !problem.isEmpty())
        return {problem};
    write(entryKey(index), edit.name);
    write(conditionKey(edit.name, keys::DeptCondition), edit.deptCondition);
    write(conditionKey(edit.name, keys::PersonCondition), edit.personCondition);
    return {};
}

QStringList ReportConditions::remove(int index, const ReportEdit& edit)
{
    if (const QString problem = notHeld(index, edit.name, QStringLiteral("删除")); !problem.isEmpty())
        return {problem};
    const int n = reportCount() - 1;
    write(ModuleSettings(m_suite).name(keys::ReportCount), QString::number(n));
    for (int j = index; j <= n; ++j)
        write(entryKey(j), setting(entryKey(j + 1)));
    write(entryKey(n + 1), QString());

    // A name that the built-in report or another entry still carries keeps what is its own.
    if (reportList().contains(edit.name))
        return {};
    // The current report deleted: the built-in one becomes current, not a report that is gone.
    if (m_suite.reportKey() == edit.name)
        m_suite.setReportKey(m_suite.moduleKey());
    write(conditionKey(edit.name, keys::DeptCondition), QString());
    write(conditionKey(edit.name, keys::PersonCondition), QString());
    QStringList problems;
    for (const int kind : CopiedKinds) {
        const QString path = templatePath(m_suite, edit.name, kind);
        QFile file(path);
        if (QFileInfo(path).isFile() && !file.remove())
            problems << QStringLiteral("模板文件未能删除：%1: %2").arg(path, file.errorString());
    }
    return problems;
}

void ReportConditions::choose(const QString& name)
{
    m_suite.setReportKey(name);
}

void ReportConditions::closed()
{
    m_suite.setRefreshFlag(0);
}

} // namespace talor
