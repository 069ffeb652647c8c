#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using talor::IniFile;

namespace {

// Two processes write 200 different keys each into one file at the same time, one through a
// symbolic link to it: every read-modify-write happens under the one lock of the real file, so
// all 400 keys end up in the file, and the link stays a link.
TEST(SettingsConcurrency, TwoProcessesLoseNoKey)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("suite.ini"));
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    IniFile(path).write(QStringLiteral("OTHER"), QStringLiteral("kept"), QStringLiteral("yes"));
    ASSERT_TRUE(QFile::link(QStringLiteral("suite.ini"), link));

    constexpr int count = 200;
    QProcess first, second;
    for (QProcess* p : {&first, &second})
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(QStringLiteral(SETTINGS_WRITER), {path, QStringLiteral("A"), QString::number(count)});
    second.start(QStringLiteral(SETTINGS_WRITER), {link, QStringLiteral("B"), QString::number(count)});
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }

    const IniFile ini(path);
    int missing = 0;
    for (int i = 1; i <= count; ++i) {
        for (const QString& prefix : {QStringLiteral("A"), QStringLiteral("B")}) {
            if (ini.read(QStringLiteral("TALOR"), prefix + QString::number(i)) != u'v' + QString::number(i))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(ini.read(QStringLiteral("OTHER"), QStringLiteral("kept")), QStringLiteral("yes"));

    // One section header each and exactly one line per key: nothing was written twice.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.count("[TALOR]"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.contains('='); }),
              2 * count + 1);
    // Neither lock nor temporary files are left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("link.ini"), QStringLiteral("suite.ini")}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(IniFile(link).read(QStringLiteral("TALOR"), QStringLiteral("A1")), QStringLiteral("v1"));
}

} // namespace
