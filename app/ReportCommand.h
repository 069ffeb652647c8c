#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QStringList>

namespace talor {

// `talor report ...` writes one report as the window shows it into a PDF or a workbook, and
// `talor print ...` prints it, without a display; `arguments` start with the program and the
// command. Returns the exit status: 0 done, 1 the suite, a file or the printer failed or the
// report left records out (written without them), 2 a bad request (usage, an unknown node,
// person, report or date).
int runReportCommand(const QStringList& arguments);

// What `talor report` and `talor print` do and their options: the parser, the help and the
// manual page use them. `talor print` takes the report's options but --output.
QString reportDescription();
QList<QCommandLineOption> reportOptions();
QList<QCommandLineOption> printOptions();

} // namespace talor
