// The atomic file write at the edge of a full disk, through a chain of links and under a signal.
// Mode, owner, group and uncommitted targets are held by the settings and
// workbook file tests that use it.
#include "io/FileWrite.h"

#include "support/ErrorText.h"
#include "support/SizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using talor::io::writeFileAtomically;
using talor::test::fileBytes;
using talor::test::writeUnderSizeLimit;

namespace {

// A write that cannot be done says why, naming the file, and leaves the old file and no
// temporary file behind: one byte over the disk's limit (exactly at the limit fits), a folder
// that does not exist, a folder where the file should be.
TEST(FileWriteTest, AFailedWriteLeavesTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"big.ini"_qs);
    writeFileAtomically(file, QByteArray(3000, 'o'));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_qs));
    // clang-format off
    const std::tuple<QString, int, QString> failures[] = {{file, 4097, u"the disk is full"_qs},
        {dir.filePath(u"no/big.ini"_qs), 1, u"cannot create a temporary file"_qs}, {dir.filePath(u"sub"_qs), 1, u"replacing the file"_qs}};
    // clang-format on
    for (const auto& [target, size, cause] : failures) {
        const QString error =
            writeUnderSizeLimit(4096, [&] { writeFileAtomically(target, QByteArray(size, 'n')); });
        EXPECT_TRUE(talor::test::containsAll(error, {cause, target}));
        EXPECT_EQ(std::pair(fileBytes(file), QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)),
                  std::pair(QByteArray(3000, 'o'), QStringList{u"big.ini"_qs}));
    }
    EXPECT_EQ(writeUnderSizeLimit(4096, [&] { writeFileAtomically(file, QByteArray(4096, 'n')); }),
              QString());
    EXPECT_EQ(fileBytes(file), QByteArray(4096, 'n'));
}

// A write through a chain of symbolic links (relative ones, across folders) as long as the kernel
// follows (40) replaces the file at its end; every link stays a link.
TEST(FileWriteTest, AChainOfLinksIsFollowedToTheFileAtItsEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("real")));
    talor::test::putFile(dir.filePath(QStringLiteral("real/suite.ini")), "old");
    for (int n = 1; n <= 40; ++n) // each link to the one before, the first to the file
        ASSERT_TRUE(QFile::link(n > 1 ? u"link%1.ini"_qs.arg(n - 1) : u"real/suite.ini"_qs,
                                dir.filePath(u"link%1.ini"_qs.arg(n))));
    writeFileAtomically(dir.filePath(u"link40.ini"_qs), "new");
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("real/suite.ini"))), "new");
    for (int n = 1; n <= 40; ++n)
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("link%1.ini").arg(n))).isSymLink()) << n;
}

// Another user's file that this one may not write (mode 0644 in a folder open to all) is
// refused, not replaced through its folder. Acting as another user needs root.
TEST(FileWriteTest, AnotherUsersFileIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can act as another user";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("suite.ini"));
    talor::test::putFile(file, "old");
    ASSERT_TRUE(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0 &&
                ::chmod(QFile::encodeName(file).constData(), 0644) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        try {
            writeFileAtomically(file, "new");
        } catch (const talor::io::FileWriteError& error) {
            ::_exit(QString::fromUtf8(error.what()).contains(QStringLiteral("read-only")) ? 0 : 3);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(std::pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileBytes(file)),
              std::pair(0, QByteArray("old")));
}

// A command ended by a signal in the middle of writing (SIGTERM, or SIGHUP from a closed
// terminal; SIGINT from Ctrl-C alike) removes its temporary file and ends as the signal ends
// it; the old file stays.
TEST(FileWriteTest, ASignalMidWriteRemovesTheTemporaryFile)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        talor::test::putFile(file, "old pages");
        const pid_t child = ::fork();
        if (child == 0) {
            talor::io::removeTemporaryFilesOnSignals();
            talor::io::AtomicTarget target(file);
            talor::test::putFile(target.tempPath(), "half a report");
            ::raise(signal);
            ::_exit(0); // not reached
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(std::tuple(WIFSIGNALED(status) ? WTERMSIG(status) : 0,
                             QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), fileBytes(file)),
                  std::tuple(signal, QStringList{QStringLiteral("report.pdf")}, QByteArray("old pages")));
    }
}

} // namespace
