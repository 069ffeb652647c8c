#include "query/RecordQueries.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "suite/SuiteServices.h"

#include <QStringList>
#include <algorithm>

namespace talor {

namespace {

// "(column='encoded' or column='name')"
QString eitherForm(const QString& column, const QString& encoded, const QString& name)
{
    return "(" + column + "=" + sql::quoted(encoded) + " or " + column + "=" + sql::quoted(name) + ")";
}

// A name or number read from the database that was not valid UTF-8 holds replacement
// characters: a query by it would miss every record that stores the original bytes, and show
// the others as if they were all. Such a text is refused, naming it.
const QString& readable(const QString& what, const QString& text)
{
    if (text.contains(QChar::ReplacementCharacter))
        throw DatabaseError(
            QStringLiteral("%1“%2”含有无法识别的字符（数据库中不是有效的 UTF-8 文本），按它查询会漏掉记录，"
                           "没有显示；请先在数据库中改正")
                .arg(what, text));
    return text;
}

} // namespace

RecordQueries::RecordQueries(SuiteServices& suite) : m_suite(suite) {}

QString RecordQueries::table() const
{
    const QString code = m_suite.currentTable();
    if (code == m_checkedTable && !code.isEmpty())
        return code;
    const bool name = !code.isEmpty() && std::all_of(code.cbegin(), code.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'_';
    });
    if (!name || m_suite.tableLookup({}, code).isEmpty())
        throw DatabaseError(QStringLiteral("数据表代码“%1”不是表目录中的数据表，无法查询").arg(code));
    m_checkedTable = code;
    return code;
}

RecordQueries::NodeNames RecordQueries::namesOf(const SelectedNode& node)
{
    if (node.key == QLatin1String("ROOT"))
        return {};
    if (node.key.startsWith(QLatin1Char('A')))
        return {node.text, {}, {}};
    if (node.key.startsWith(QLatin1Char('B')))
        return {node.parentText, node.text, {}};
    return {node.grandparentText, node.parentText, node.text};
}

void RecordQueries::setNames(const SelectedNode& node)
{
    const NodeNames names = namesOf(node);
    m_suite.setDepartmentName(names.department);
    m_suite.setGroupName(names.group);
    m_suite.setTeamName(names.team);
}

QString RecordQueries::departmentFilter()
{
    return departmentFilter({m_suite.departmentName(), m_suite.groupName(), m_suite.teamName()});
}

QString RecordQueries::departmentFilter(const NodeNames& names) const
{
    const QString d = readable(QStringLiteral("部门"), names.department);
    const QString g = readable(QStringLiteral("组"), names.group);
    const QString t = readable(QStringLiteral("班"), names.team);
    if (d.isEmpty())
        return {};
    const QString key = m_suite.fieldCaption(QStringLiteral("depart"));
    QString filter = eitherForm(QStringLiteral("depart"), m_suite.departmentCode(key, d), d);
    if (!g.isEmpty())
        filter += " and " + eitherForm(QStringLiteral("group0"), m_suite.groupCode(d, g), g);
    if (!t.isEmpty())
        filter += " and " + eitherForm(QStringLiteral("team"), m_suite.teamCode(d, g, t), t);
    return filter;
}

std::pair<QString, QString> RecordQueries::employeesParts(const NodeNames& names,
                                                          const QString& suiteFilter) const
{
    const QString filter = departmentFilter(names);
    QString where = filter.isEmpty() ? QString() : " where " + filter;
    if (!suiteFilter.isEmpty())
        where += (where.isEmpty() ? " where " : " and ") + sql::bracketed(suiteFilter);
    const QString order = names.department.isEmpty() ? QStringLiteral(" order by depart,group0,team,memberid")
                                                     : QStringLiteral(" order by memberid");
    return {where, order};
}

QString RecordQueries::compose()
{
    const QString sql = m_suite.selectPart() + m_suite.fromPart() + m_suite.wherePart() + m_suite.orderPart();
    m_suite.setComposedQuery(sql);
    return sql;
}

QString RecordQueries::SQL0(const SelectedNode& node, const QString& suiteFilter)
{
    m_suite.setSelectPart(QStringLiteral("select *"));
    m_suite.setFromPart(QStringLiteral(" from YGZL"));
    setNames(node);
    const auto [where, order] = employeesParts(namesOf(node), suiteFilter);
    m_suite.setWherePart(where);
    m_suite.setOrderPart(order);
    return compose();
}

QString RecordQueries::employeesQuery(const SelectedNode& node, const QString& suiteFilter) const
{
    const auto [where, order] = employeesParts(namesOf(node), suiteFilter);
    return "select * from YGZL" + where + order;
}

QString RecordQueries::employeeQuery(const QString& number)
{
    return "select * from YGZL where memberid=" + sql::quoted(number);
}

QString RecordQueries::abnormalDaysQuery(const SelectedNode& node, const QDate& start, const QDate& end,
                                         const QString& suiteFilter, const QString& personCondition) const
{
    const QString kind = m_suite.databaseKind();
    // The persons by a subquery on YGZL, where the suite's filter means what it means in SQL0.
    QString rows =
        "select memberid, zhdate, ncolor from " + table() + " where memberid in (select memberid from YGZL" +
        employeesParts(namesOf(node), suiteFilter).first + ") and zhdate>=" + sql::dateLiteral(start, kind) +
        " and zhdate<=" + sql::dateLiteral(end, kind);
    rows += sql::andCondition(personCondition);
    return "select memberid, zhdate, max(ncolor) as talor_kind from (" + rows +
           ") talor_rows where ncolor in (1,2,3) group by memberid, zhdate";
}

QString RecordQueries::SQL1(const SelectedNode& node, const QString& deptCondition)
{
    m_suite.setSelectPart(QStringLiteral("select *"));
    m_suite.setFromPart(" from " + table());
    QString where = " where zhdate=" + sql::dateLiteral(m_suite.reportDate(), m_suite.databaseKind());
    setNames(node);
    const QString filter = departmentFilter();
    if (!filter.isEmpty())
        where += " and " + filter;
    where += sql::andCondition(m_suite.filterText());
    where += sql::andCondition(deptCondition);
    m_suite.setWherePart(where);
    m_suite.setOrderPart(QStringLiteral(" order by memberid"));
    return compose();
}

QString RecordQueries::periodQuery(const QString& number, const QString& start, const QString& end,
                                   const QString& personCondition)
{
    QString sql = "select * from " + table() +
                  " where memberid=" + sql::quoted(readable(QStringLiteral("工号"), number)) +
                  " and zhdate>=" + sql::dateLiteral(start, m_suite.databaseKind()) +
                  " and zhdate<=" + sql::dateLiteral(end, m_suite.databaseKind());
    sql += sql::andCondition(personCondition);
    sql += QStringLiteral(" order by zhdate");
    m_suite.setComposedQuery(sql);
    return sql;
}

QString RecordQueries::periodQueryOfPersons(const QStringList& numbers, const QString& start,
                                            const QString& end, const QString& personCondition) const
{
    if (numbers.isEmpty() || personCondition.contains(QLatin1String("--")) ||
        personCondition.contains(QLatin1String("/*")) || personCondition.contains(QLatin1Char(';')))
        return {};
    // A fixed-width memberid column ignores trailing blanks against a literal, not against the
    // text of the list (PostgreSQL): such numbers are left to their own queries.
    for (const QString& number : numbers)
        if (number.endsWith(QLatin1Char(' ')) || number.contains(QChar::ReplacementCharacter))
            return {};
    const QString table = this->table();
    const QString kind = m_suite.databaseKind();
    // "memberid=talor_numbers.column2" in the place of "memberid='N'": the rest of the join condition is
    // the period query's where clause, text for text.
    QString sql = "select " + table + ".*, talor_numbers.column1 from " + table + " join (values ";
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (i > 0)
            sql += QLatin1Char(',');
        sql += QLatin1Char('(') + QString::number(i) + QLatin1Char(',') + sql::quoted(numbers[i]) +
               QLatin1Char(')');
    }
    sql += ") talor_numbers on memberid=talor_numbers.column2 and zhdate>=" + sql::dateLiteral(start, kind) +
           " and zhdate<=" + sql::dateLiteral(end, kind);
    sql += sql::andCondition(personCondition);
    if (sharedReadIsOrdered())
        sql += QStringLiteral(" order by talor_numbers.column1, zhdate");
    return sql;
}

bool RecordQueries::sharedReadIsOrdered() const
{
    return m_suite.connection().driverName() != QLatin1String("QSQLITE");
}

} // namespace talor
