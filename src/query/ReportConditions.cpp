#include "query/ReportConditions.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "io/FileWrite.h"
#include "modulesettings/ModuleSettings.h"
#include "report/TemplateFiles.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace talor {

namespace {

// The keys of report `name`, which need not be the current report.
QString conditionKey(const QString& name, const keys::SettingsKey& key)
{
    return name + QLatin1String(key.suffix);
}
// The built-in report's templates a new report starts with; of kind 3 it has none of its own,
// and a file of its name that an older report left behind goes.
constexpr int AddedKinds[] = {1, 2};
constexpr int UnaddedKinds[] = {3};
// A report's own templates, which a rename takes along and a deletion removes: a kind-3 one
// left behind would come back with the next report of that name.
constexpr int OwnKinds[] = {1, 2, 3};

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

void ReportConditions::update(const SuiteServices::SettingsChange& change, const QString& section)
{
    ModuleSettings(m_suite).update(section.isEmpty() ? QString::fromLatin1(ModuleSettings::Section) : section,
                                   change);
}

QString ReportConditions::entryKey(int i) const
{
    // The number is appended whatever it is, as the entries have always been named.
    return ModuleSettings(m_suite).name(keys::ReportName) + QString::number(i);
}

int ReportConditions::countIn(const Reader& read) const
{
    const double value =
        std::round(text::numericValue(read(ModuleSettings(m_suite).name(keys::ReportCount))));
    if (!(value > 0))
        return 0;
    return value > MaxReports ? MaxReports : int(value);
}

QStringList ReportConditions::listIn(const Reader& read) const
{
    QStringList list{m_suite.moduleKey()};
    const int count = countIn(read);
    for (int i = 1; i <= count; ++i)
        list << read(entryKey(i));
    return list;
}

ReportConditions::Values ReportConditions::conditions(const ReportEdit& edit)
{
    return {{conditionKey(edit.name, keys::DeptCondition), edit.deptCondition},
            {conditionKey(edit.name, keys::PersonCondition), edit.personCondition}};
}

ReportConditions::Values ReportConditions::copiedKeys(const Reader& read, const QString& section,
                                                      const QString& from, const QString& to,
                                                      const Values& written)
{
    QStringList suffixes;
    for (const keys::ReportScopedKey& scoped : keys::ReportSettings) {
        if (QLatin1String(scoped.key.section) != section)
            continue;
        const QString suffix = QString::fromLatin1(scoped.key.suffix);
        if (scoped.numbers == 0)
            suffixes << suffix;
        for (int number = 1; number <= scoped.numbers; ++number)
            suffixes << suffix + QString::number(number);
    }
    for (const keys::SettingsKey& key : keys::PageSetup)
        if (QLatin1String(key.section) == section)
            suffixes << QString::fromLatin1(key.suffix);

    Values values;
    const QString templateKey = QString::fromLatin1(keys::ReportTemplate.suffix);
    for (const QString& suffix : std::as_const(suffixes)) {
        const QString target = to + suffix;
        QString value = read(from + suffix);
        if (suffix.startsWith(templateKey) && !value.isEmpty()) {
            const int kind = QStringView(suffix).sliced(templateKey.size()).toInt();
            if (kind >= 1 && kind <= 3 && sameFile(value, templatePath(m_suite, from, kind)))
                value = templatePath(m_suite, to, kind);
        }
        const bool alreadyWritten = std::any_of(written.begin(), written.end(),
                                                [&](const auto& entry) { return entry.first == target; });
        if (!alreadyWritten && read(target) != value)
            values.append({target, value});
    }
    return values;
}

int ReportConditions::reportCount() const
{
    return countIn([this](const QString& key) { return setting(key); });
}

QStringList ReportConditions::reportList() const
{
    return listIn([this](const QString& key) { return setting(key); });
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
    const std::pair<const QString&, QString> texts[] = {{edit.name, QStringLiteral("报表名称")},
                                                        {edit.deptCondition, QStringLiteral("部门条件")},
                                                        {edit.personCondition, QStringLiteral("个人条件")}};
    for (const auto& [text, what] : texts) {
        if (hasLineBreak(text))
            return what + QStringLiteral("不能包含换行符！");
        // A NUL would make the settings file unreadable for every operator.
        if (text.contains(QChar(0)))
            return what + QStringLiteral("不能包含空字符！");
    }
    return {};
}

QString ReportConditions::conditionRefusal(const ReportEdit& edit)
{
    try {
        for (const QString& condition : {edit.deptCondition, edit.personCondition})
            (void)sql::andCondition(condition);
    } catch (const DatabaseError& refused) {
        return refused.message();
    }
    return {};
}

QString ReportConditions::nameTaken(const QStringList& list, const QString& name, int index)
{
    if (index >= 1 && list.value(index) == name)
        return {};
    if (!list.contains(name))
        return {};
    return QStringLiteral("已有名为“%1”的报表，请换一个名称！").arg(name);
}

QString ReportConditions::nameTaken(const QString& name, int index) const
{
    return nameTaken(reportList(), name, index);
}

ReportEditResult ReportConditions::add(const ReportEdit& edit)
{
    QString refused;
    bool taken = false;
    update([&](const Reader& read) -> Values {
        const QStringList list = listIn(read);
        // A report beyond the last one the list reads would be lost from sight.
        if (list.size() > MaxReports)
            refused = QStringLiteral("报表已达%1个，不能再添加！").arg(MaxReports);
        else {
            refused = nameTaken(list, edit.name, 0);
            taken = !refused.isEmpty();
        }
        if (!refused.isEmpty())
            return {};
        const int n = int(list.size());
        return Values{{ModuleSettings(m_suite).name(keys::ReportCount), QString::number(n)},
                      {entryKey(n), edit.name}} +
               conditions(edit);
    });
    if (!refused.isEmpty())
        return {{refused}, taken};
    return {copyTemplates(m_suite.moduleKey(), edit.name, AddedKinds) +
            removeTemplates(edit.name, UnaddedKinds)};
}

QStringList ReportConditions::copyTemplates(const QString& from, const QString& to,
                                            std::span<const int> kinds)
{
    QStringList problems;
    for (const int kind : kinds) {
        const QString source = templatePath(m_suite, from, kind);
        const QString target = templatePath(m_suite, to, kind);
        if (sameFile(source, target))
            continue;
        // Of a kind `from` has no template of, `to` keeps none either: not one an older report
        // of that name left behind.
        if (!QFileInfo(source).isFile()) {
            problems += removeTemplates(to, {&kind, 1});
            continue;
        }
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

QString ReportConditions::notHeld(const QStringList& list, int index, const QString& name,
                                  const QString& action)
{
    if (isUserReport(index) && index < list.size() && list[index] == name)
        return {};
    return QStringLiteral("报表列表已被改动：第%1项已不是“%2”，没有%3，请重新选择")
        .arg(index)
        .arg(name, action);
}

ReportEditResult ReportConditions::modify(int index, const QString& shown, const ReportEdit& edit)
{
    const bool renamed = edit.name != shown;
    QString refused;
    bool taken = false;
    bool stillListed = false;
    update([&](const Reader& read) -> Values {
        QStringList list = listIn(read);
        refused = notHeld(list, index, shown, QStringLiteral("修改"));
        if (refused.isEmpty()) {
            refused = nameTaken(list, edit.name, index);
            taken = !refused.isEmpty();
        }
        if (!refused.isEmpty())
            return {};
        list[index] = edit.name;
        stillListed = list.contains(shown);
        const Values values = Values{{entryKey(index), edit.name}} + conditions(edit);
        return renamed ? values + copiedKeys(read, QString::fromLatin1(keys::Talor), shown, edit.name, values)
                       : values;
    });
    if (!refused.isEmpty())
        return {{refused}, taken};
    if (!renamed)
        return {};
    // A renamed report takes along its page set-up, its designer option and its templates; the
    // old name keeps its own, as another operator may still have it open.
    for (const char* section : {keys::Print, keys::Model8})
        update(
            [&](const Reader& read) {
                return copiedKeys(read, QString::fromLatin1(section), shown, edit.name, {});
            },
            QString::fromLatin1(section));
    if (m_suite.reportKey() == shown && !stillListed)
        m_suite.setReportKey(edit.name);
    return {copyTemplates(shown, edit.name, OwnKinds)};
}

ReportEditResult ReportConditions::remove(int index, const ReportEdit& edit)
{
    QString refused;
    bool stillListed = false;
    update([&](const Reader& read) -> Values {
        QStringList list = listIn(read);
        refused = notHeld(list, index, edit.name, QStringLiteral("删除"));
        if (!refused.isEmpty())
            return {};
        list.removeAt(index);
        const int n = int(list.size()) - 1;
        Values values{{ModuleSettings(m_suite).name(keys::ReportCount), QString::number(n)}};
        for (int j = index; j <= n; ++j)
            values.append({entryKey(j), list[j]});
        values.append({entryKey(n + 1), QString()});
        // A name that the built-in report or another entry still carries keeps what is its own.
        stillListed = list.contains(edit.name);
        return stillListed ? values : values + conditions({edit.name, {}, {}});
    });
    if (!refused.isEmpty())
        return {{refused}};
    if (stillListed)
        return {};
    // The current report deleted: the built-in one becomes current, not a report that is gone.
    if (m_suite.reportKey() == edit.name)
        m_suite.setReportKey(m_suite.moduleKey());
    return {removeTemplates(edit.name, OwnKinds)};
}

QStringList ReportConditions::removeTemplates(const QString& name, std::span<const int> kinds)
{
    QStringList problems;
    for (const int kind : kinds) {
        const QString path = templatePath(m_suite, name, kind);
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
