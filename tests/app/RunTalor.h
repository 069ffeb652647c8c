#pragma once

#include <QProcess>
#include <QStringList>
#include <sys/resource.h>

namespace talor::test {

// What a run of the talor program left: whether it ended within a minute, its exit status
// (-1 after a crash), standard output and standard error.
struct Outcome
{
    bool finished = false;
    int exitCode = -1;
    QString output, errors;
};

// Runs talor with `args`; `environment` changes the test's environment ("NAME=value" sets,
// "NAME" removes). With a limit, the files it writes may not grow past it (a nearly full disk).
inline Outcome runTalor(const QStringList& args, const QStringList& environment = {},
                        rlim_t fileSizeLimit = RLIM_INFINITY)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& change : environment)
        change.contains(u'=') ? env.insert(change.section(u'=', 0, 0), change.section(u'=', 1))
                              : env.remove(change);
    QProcess process;
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([fileSizeLimit] {
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(QStringLiteral(TALOR_EXECUTABLE), args);
    Outcome run;
    run.finished = process.waitForFinished(60000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace talor::test
