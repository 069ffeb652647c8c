#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

namespace talor {

// One way of running talor: the window (no command word) or a batch command (`talor demo`,
// `talor report`, `talor print`). The check of the command line, `--help` and the manual page are all made
// from this one description: a new command gets its help and its manual section by adding
// its entry to hostCommands().
struct HostCommand
{
    QString name;        // the command word; empty for the window
    QString synopsis;    // what follows "talor NAME" in the usage line
    QString summary;     // one line in the list of commands of `talor --help`
    QString description; // paragraphs; a paragraph whose lines begin with blanks stays as it is
    QList<QCommandLineOption> options;
    // Runs the command on the whole command line (program, command word, options) and returns
    // the exit status. Null for the window, which main runs itself (it needs the display).
    int (*run)(const QStringList& arguments) = nullptr;
    // The command lays out pages (fonts, printers): it runs in a GUI application, offscreen
    // unless a platform is chosen.
    bool drawsPages = false;
};

// Every command, the window first.
const QList<HostCommand>& hostCommands();

// The command a command line asks for: the window when the first argument is missing or an
// option; null for an unknown command word.
const HostCommand* commandOf(const QStringList& arguments);

// Checks the command line against the options of the command it asks for, before anything
// runs or a display is needed. Returns the exit status when the program ends here: 0 after
// printing the help (or the version) on standard output, 2 after naming a usage error on
// standard error; -1 when the command is to run.
int checkCommandLine(const QStringList& arguments);

// The arguments without Qt's own options of the window (-style Fusion, -platform xcb,
// -reverse, ...), which the application object takes; batch commands take none of them.
QStringList withoutQtOptions(const QStringList& arguments);

// Whether the window can open: a platform that needs no display server (offscreen, ...) is
// chosen, or the display of X11 or Wayland is named in the environment. Without one Qt
// would end the process at start.
bool hasDisplay(const QStringList& arguments);

// What `talor --help` and `talor NAME --help` print.
QString helpText(const HostCommand& command);

// The usage error of a command ("talor report: ..." and how to get help); exit status 2.
int usageError(const HostCommand& command, const QString& message);

// The manual page talor(1) in troff (man macros): every command with its options.
QString manualPage();

} // namespace talor
