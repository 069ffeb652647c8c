#pragma once

#include <QString>
#include <QStringList>

namespace talor {

// The demo suite's report templates, one of each kind, for the attendance table KQ0001
// (docs/templates.md):
//   kind 1 "个人考勤表" (one person over a period): heading layout, the labels in the column
//          headings;
//   kind 2 "部门考勤日报" (a department on one day): cell layout, title lines in rows 1 to 3,
//          the labels in row 4;
//   kind 3 "部门考勤月报" (a department over a period): cell layout as a 36-row block per
//          person (rows 1 to 4 the block header, day rows 5 to 36), columns 1 and 2 frozen.
// After the field columns each has a computed column "工时合计" (worked plus overtime hours,
// a formula in the first data row, and in kind 3 in every day row with a SUM in the block's
// sum row 36); the column heading "ok" stands over the column after it. Every other label is
// a caption of the field dictionary, except kind 3's "星期": that column shows the weekday
// the report writes itself, so it must not be bound to a field.
class DemoTemplates
{
public:
    // The label of the computed column that follows the field columns.
    static inline const QString TotalHoursLabel = QStringLiteral("工时合计");
    // The labels of the field columns of a kind (1, 2 or 3), in column order.
    static QStringList labels(int kind);
    // The first sheet's name, the report title, of a kind.
    static QString title(int kind);
    // The template file of a kind: directory + "/" + reportKey + kind + ".vts".
    static QString fileName(const QString& directory, const QString& reportKey, int kind);

    // Writes the three templates of `reportKey` into `directory` (which must exist).
    // Throws SuiteError naming the file that could not be written.
    static void write(const QString& directory, const QString& reportKey);
};

} // namespace talor
