#include "report/PersonByPersonPrint.h"

#include "ui/UiService.h"

namespace talor {

const QString PersonByPersonPrint::Caption = QStringLiteral("报表打印");

PersonByPersonPrint::PersonByPersonPrint(UiService& ui, QWidget* parent, Output output, Status status)
    : m_ui(ui), m_parent(parent), m_output(std::move(output)), m_status(std::move(status))
{}

QString PersonByPersonPrint::continueQuestion(const QString& personName)
{
    return QStringLiteral("是否还要打印") + personName + QStringLiteral("以后人员的资料？");
}

PersonByPersonPrint::Outcome PersonByPersonPrint::run(PersonWalk& persons, int count, bool& printRest)
{
    const std::unique_ptr<UiService::Progress> progress =
        m_ui.progress(m_parent, Caption, QStringLiteral("停止"), count);
    Outcome outcome;
    std::unique_ptr<PrintJob> job;
    while (outcome.done < count) {
        if (progress->cancelled()) {
            outcome.end = End::Stopped;
            break;
        }
        try {
            persons.next();
        } catch (const std::exception& error) {
            outcome.failure = QString::fromUtf8(error.what());
            outcome.end = End::Failed;
            break;
        }
        outcome.lastName = persons.name();
        const QString step =
            Caption + QStringLiteral("：第 %1/%2 人 %3").arg(persons.index()).arg(count).arg(persons.name());
        m_status(step);
        // The grid shows the person before the person's output starts.
        progress->setValue(outcome.done, step);
        if (printRest) {
            PrintRun run = m_output();
            if (!job)
                job = run.printerJob();
            const int inJob = job->reports();
            outcome.job.skipped << run.print(*job).skipped;
            // Pages the job did not take (no printer to talk to, a PDF on a full disk): the
            // others would fail alike.
            if (job->reports() == inJob) {
                outcome.end = End::OutputFailed;
                break;
            }
            ++outcome.done;
            continue;
        }
        outcome.job.skipped << m_output().preview().skipped;
        ++outcome.done;
        if (progress->cancelled()) {
            outcome.end = End::Stopped;
            break;
        }
        if (m_ui.message(m_parent, continueQuestion(persons.name()), UiService::Buttons::YesNo,
                         QStringLiteral("系统提示")) != UiService::Answer::Yes) {
            printRest = false;
            outcome.end = End::Declined;
            break;
        }
        printRest = true;
    }
    // What was printed goes out, also when the walk was stopped.
    if (job) {
        PrintRun::Result finished;
        PrintRun::finish(*job, finished);
        outcome.job.skipped << finished.skipped;
        outcome.job.pdfFile = finished.pdfFile;
        outcome.job.sent = finished.sent;
        outcome.job.pages = job->pages();
        outcome.printed = job->reports();
        // A job that did not go out printed none of its persons.
        if (!finished.sent) {
            outcome.done -= outcome.printed;
            outcome.printed = 0;
            if (outcome.end != End::Failed)
                outcome.end = End::OutputFailed;
        }
    }
    progress->setValue(count, Caption);
    return outcome;
}

} // namespace talor
