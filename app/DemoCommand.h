#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

// `talor demo`: its options, help and run.
namespace talor {

// `talor demo --dir DIR [--employees N] [--days N] [--from YYYY-MM-DD] [--seed S]`: writes a
// demo suite into DIR and prints what it wrote. `args` is the command line as
// QCoreApplication::arguments() gives it (the program name first; the word "demo" after it
// may be present or not). Returns 0 on success, 2 for bad options, 1 when the generation
// fails; messages go to standard error.
int runDemoCommand(const QStringList& args);

// What `talor demo` does and its options: its parser, its help and the manual page use them.
QString demoDescription();
QList<QCommandLineOption> demoOptions();

} // namespace talor
