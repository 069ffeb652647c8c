#include "io/FileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/SizeLimit.h"

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using talor::io::AtomicTarget;
using talor::io::FileWriteError;
using talor::io::writeFileAtomically;
using talor::test::writeUnderSizeLimit;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class FileWriteTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList leftovers() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

TEST_F(FileWriteTest, ReplacesTheWholeFileAndKeepsItsModeAndGroup)
{
    const QString file = path(QStringLiteral("settings.ini"));
    put(file, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    const gid_t otherGroup = ::getuid() == 0 ? 1 : ::getgid(); // root may hand the file to "daemon"
    ASSERT_EQ(::chown(QFile::encodeName(file).constData(), uid_t(-1), otherGroup), 0);

    writeFileAtomically(file, "new contents");

    struct stat after{};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
    EXPECT_EQ(contents(file), "new contents");
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, otherGroup);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("settings.ini")});
}

TEST_F(FileWriteTest, WritesThroughASymbolicLinkAndKeepsTheLink)
{
    const QString real = path(QStringLiteral("real.ini"));
    const QString link = path(QStringLiteral("link.ini"));
    put(real, "old");
    ASSERT_TRUE(QFile::link(real, link));

    writeFileAtomically(link, "through the link");

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(real), "through the link");
    EXPECT_EQ(talor::io::resolvedTarget(link), QFileInfo(real).absoluteFilePath());
}

TEST_F(FileWriteTest, AFullDiskLeavesTheOldFileAndSaysSo)
{
    const QString file = path(QStringLiteral("big.ini"));
    const QByteArray old(3000, 'o');
    put(file, old);

    const QString error = writeUnderSizeLimit(4096, [&] { writeFileAtomically(file, QByteArray(5000, 'n')); });

    EXPECT_TRUE(error.contains(QStringLiteral("the disk is full"))) << error.toStdString();
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_EQ(contents(file), old);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("big.ini")});
    // Exactly at the limit still fits.
    EXPECT_EQ(writeUnderSizeLimit(4096, [&] { writeFileAtomically(file, QByteArray(4096, 'n')); }), QString());
    EXPECT_EQ(contents(file), QByteArray(4096, 'n'));
}

TEST_F(FileWriteTest, AMissingFolderIsAnErrorNamingTheFile)
{
    const QString file = path(QStringLiteral("no/such/folder/x.vts"));
    try {
        writeFileAtomically(file, "x");
        FAIL() << "no error";
    } catch (const FileWriteError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("x.vts"))) << error.what();
    }
}

TEST_F(FileWriteTest, AnUncommittedTargetLeavesNothingAndACommittedOneReplaces)
{
    const QString file = path(QStringLiteral("out.xlsx"));
    put(file, "previous export");
    {
        AtomicTarget target(file);
        put(target.tempPath(), "half");
        EXPECT_TRUE(QFileInfo(target.tempPath()).absolutePath() == QFileInfo(file).absolutePath());
    }
    EXPECT_EQ(contents(file), "previous export");
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("out.xlsx")});

    AtomicTarget target(file);
    put(target.tempPath(), "complete");
    target.commit();
    EXPECT_EQ(contents(file), "complete");
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("out.xlsx")});
}

} // namespace
