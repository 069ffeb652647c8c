#pragma once

#include "report/PrintRun.h"

#include <QString>
#include <functional>

class QWidget;

namespace talor {

class UiService;

// The persons a print walks one after another; each next() shows the next person in the grid,
// which the print then outputs.
class PersonWalk
{
public:
    virtual ~PersonWalk() = default;
    // The next person in the grid; false at the end of the list. Throws when the person's
    // records cannot be read.
    virtual bool next() = 0;
    virtual int index() const = 0; // 1-based, of the person shown
    virtual QString name() const = 0;
};

// Printing one person after another: the first person previewed, then the question whether to
// print the others, which then go to the printer in one job. A progress window's stop button
// ends the walk between persons; what was printed goes out all the same. Failures of single
// outputs are kept in the outcome's `skipped`, and the walk goes on past them; a job that
// cannot take a person's pages ends the walk there, and a job that fails prints nobody.
class PersonByPersonPrint
{
public:
    // The report in the grid as it is now, ready for output.
    using Output = std::function<PrintRun()>;
    // Shows the line of the step under way (the window's status bar).
    using Status = std::function<void(const QString&)>;

    PersonByPersonPrint(UiService& ui, QWidget* parent, Output output, Status status);

    enum class End
    {
        List,        // every person was output
        Stopped,     // the operator pressed stop
        Declined,    // the operator answered no after the first preview
        Failed,      // a person's records could not be read
        OutputFailed // the printer's job (or its PDF) failed: the walk ended at the person it
                     // could not take, and a job that could not be finished sent nobody
    };
    struct Outcome
    {
        End end = End::List;
        int done = 0;     // persons previewed, or printed by a job that went out
        int printed = 0;  // of them, in the printer's job
        QString lastName; // the last person shown
        QString failure;  // what failed, for End::Failed
        // The job's pages and PDF (when there was a job) and every step's failures.
        PrintRun::Result job;
    };
    // Walks `count` persons. `printRest` tells whether the operator has already said yes to
    // printing the rest; the walk sets it as the operator answers.
    Outcome run(PersonWalk& persons, int count, bool& printRest);

    // The question after the first person's preview.
    static QString continueQuestion(const QString& personName);
    static const QString Caption;

private:
    UiService& m_ui;
    QWidget* m_parent;
    Output m_output;
    Status m_status;
};

} // namespace talor
