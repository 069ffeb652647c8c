#pragma once

#include <QByteArray>
#include <QString>
#include <csignal>
#include <exception>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace talor::test {

// Runs `work` in a child process under `resource`'s limit `limitBytes` and returns the text of
// the exception the child saw, or "" when it succeeded; "<child died>" when the child ended
// otherwise (a crash, an abort).
inline QString runUnderLimit(int resource, rlim_t limitBytes, const std::function<void()>& work)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return QStringLiteral("<pipe failed>");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        ::setrlimit(resource, &limit);
        QByteArray message;
        try {
            work();
        } catch (const std::exception& error) {
            message = error.what();
        }
        (void)!::write(pipeFds[1], message.constData(), size_t(message.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    QByteArray message;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("<child died>");
    return QString::fromUtf8(message);
}

// `write` in a child process whose files may not grow beyond `limitBytes`: writes fail there
// as on a nearly full disk.
inline QString writeUnderSizeLimit(rlim_t limitBytes, const std::function<void()>& write)
{
    return runUnderLimit(RLIMIT_FSIZE, limitBytes, write);
}

} // namespace talor::test
