#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QStringList>

namespace talor {

// `talor report ...`: writes one report as the window shows it into a workbook, without a
// display. Returns the exit status: 0 done, 1 the suite or a file failed, 2 a bad request
// (usage, an unknown node, person, report or date).
int runReportCommand(const QStringList& arguments);

// What `talor report` does and its options: its parser, its help and the manual page use them.
QString reportDescription();
QList<QCommandLineOption> reportOptions();

} // namespace talor
