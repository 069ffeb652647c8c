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
    const QString path = dir.filePath(u"suite.ini"_qs), link = dir.filePath(u"link.ini"_qs);
    IniFile(path).write(u"OTHER"_qs, u"kept"_qs, u"yes"_qs);
    ASSERT_TRUE(QFile::link(u"suite.ini"_qs, link));

    constexpr int count = 200;
    QProcess first, second;
    for (QProcess* p : {&first, &second})
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(QStringLiteral(SETTINGS_WRITER), {path, u"A"_qs, QString::number(count)});
    second.start(QStringLiteral(SETTINGS_WRITER), {link, u"B"_qs, QString::number(count)});
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(std::pair(p->exitStatus(), p->exitCode()), std::pair(QProcess::NormalExit, 0));
    }

    const IniFile ini(path);
    int missing = 0;
    for (int i = 1; i <= count; ++i)
        for (const QString& prefix : {u"A"_qs, u"B"_qs})
            missing += ini.read(u"TALOR"_qs, prefix + QString::number(i)) != u'v' + QString::number(i);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(ini.read(u"OTHER"_qs, u"kept"_qs), u"yes"_qs);

    // One section header each and exactly one line per key: nothing was written twice.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.count("[TALOR]"), 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.contains('='); }),
              2 * count + 1);
    // Neither lock nor temporary files are left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"link.ini"_qs, u"suite.ini"_qs}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(IniFile(link).read(u"TALOR"_qs, u"A1"_qs), u"v1"_qs);
}

} // namespace
