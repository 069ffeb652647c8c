#include "settings/IniFile.h"

#include "support/ErrorText.h"
#include "support/SizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

using talor::IniFile;
using talor::IniFileError;
using talor::test::containsAll;

namespace {

class IniFileTest : public testing::Test
{
protected:
    QString path() const { return m_dir.filePath(u"suite.ini"_qs); }

    void put(const QByteArray& bytes) const { talor::test::putFile(path(), bytes); }
    QByteArray bytes() const { return talor::test::fileBytes(path()); }

    // Section "TALOR", the module's own.
    QString read(const QString& key) const { return m_ini.read(u"TALOR"_qs, key); }
    void write(const QString& key, const QString& value) { m_ini.write(u"TALOR"_qs, key, value); }

    static QString errorOf(const std::function<void()>& action)
    {
        return talor::test::errorText<IniFileError>(action);
    }

    QTemporaryDir m_dir;
    IniFile m_ini{path()};
};

TEST_F(IniFileTest, CommentsBrokenLinesAndAByteOrderMarkSurviveByteForByte)
{
    const QByteArray head =
        "; suite settings, edited by hand\r\n\xEF\xBB\xBF is not a BOM here\r\n[TALOR]\r\n"
        "# a comment = with an equal sign\r\n";
    const QByteArray middle =
        "this line is broken\r\n[not a header\r\n  IF = NO  \r\nbad \xFF\xFE bytes=\xC3\r\n";
    const QByteArray tail = "\r\n  [PRINT]  \r\nR.Zoom=80\r\n\r\n; trailing comment\r\n";
    put(head + "TABLE=KQ01\r\n" + middle + tail);
    EXPECT_EQ(QStringList({read(u"  IF "_qs), read(u"IF"_qs), m_ini.read(u"PRINT"_qs, u"R.Zoom"_qs),
                           read(u"# a comment "_qs)}),
              QStringList({u" NO  "_qs, QString(), u"80"_qs, QString()}));

    write(u"TABLE"_qs, u"KQ02"_qs);
    write(u"MENU1"_qs, u"人事"_qs);
    m_ini.write(u"PRINT"_qs, u"R.Draft"_qs, u"True"_qs);
    m_ini.write(u"VELD"_qs, u"-USE"_qs, u"NO"_qs);
    const QByteArray after = head + "TABLE=KQ02\r\n" + middle + QStringLiteral("MENU1=人事\r\n").toUtf8() +
                             tail + "R.Draft=True\r\n\r\n[VELD]\r\n-USE=NO\r\n";
    EXPECT_EQ(bytes(), after);

    // A byte-order mark is kept; a missing final line break is added. A file that starts with a
    // blank line keeps its line breaks; an empty file takes a key before any header as its first
    // line, one of a byte-order mark alone a header.
    put("\xEF\xBB\xBF[TALOR]\nTABLE=KQ01");
    EXPECT_EQ(read(u"TABLE"_qs), u"KQ01"_qs);
    // clang-format off
    for (const auto& [before, section, after] : {std::tuple("\xEF\xBB\xBF[TALOR]\nTABLE=KQ01", "TALOR", "\xEF\xBB\xBF[TALOR]\nTABLE=KQ01\nIF=YES\n"),
             {"[TALOR]\nTABLE=KQ01", "PRINT", "[TALOR]\nTABLE=KQ01\n\n[PRINT]\nIF=YES\n"}, {"\r\n[TALOR]\r\n", "TALOR", "\r\n[TALOR]\r\nIF=YES\r\n"},
             {"", "", "IF=YES\n"}, {"\xEF\xBB\xBF", "TALOR", "\xEF\xBB\xBF[TALOR]\nIF=YES\n"}}) {
        // clang-format on
        put(before);
        m_ini.write(QString::fromUtf8(section), u"IF"_qs, u"YES"_qs);
        EXPECT_EQ(bytes(), QByteArray(after));
    }
}

// UTF-16 in either byte order, with or without its byte-order mark, and a file that is not a
// settings file (a picture, a database) are refused for reading and writing, and a read-only one
// for writing; each is left byte for byte, and the error names it.
TEST_F(IniFileTest, Utf16BinaryAndReadOnlyFilesAreRefusedAndLeftAsTheyWere)
{
    const QString text = u"[TALOR]\r\nTABLE=KQ01\r\n"_qs;
    QByteArray little(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QByteArray big = little;
    for (qsizetype i = 0; i + 1 < big.size(); i += 2)
        std::swap(big[i], big[i + 1]);
    const QString utf16 = u"UTF-16"_qs, binary = u"not a text file"_qs;
    // clang-format off
    const std::pair<QByteArray, QString> files[] = {{QByteArray("\xFF\xFE") + little, utf16},
        {QByteArray("\xFE\xFF") + big, utf16}, {little, utf16}, {big, utf16}, {QByteArray("[\0", 2), utf16},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01[TALOR]\nIF=NO\n", 33), binary},
        {QByteArray("SQLite format 3\0\x10\0\x01\x01\0@  ", 24), binary}};
    // clang-format on
    for (const auto& [file, cause] : files) {
        SCOPED_TRACE(file.left(4).toHex().toStdString());
        put(file);
        EXPECT_TRUE(containsAll(errorOf([&] { read(u"IF"_qs); }), {path(), cause}));
        EXPECT_TRUE(containsAll(errorOf([&] { write(u"IF"_qs, u"YES"_qs); }), {path(), cause}));
        EXPECT_EQ(bytes(), file);
    }

    put("[TALOR]\nIF=NO\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0444), 0);
    EXPECT_TRUE(
        containsAll(errorOf([&] { write(u"IF"_qs, u"YES"_qs); }), {path(), u"read-only"_qs, u"0444"_qs}));
    EXPECT_NO_THROW(write(u"IF"_qs, u"NO"_qs)) << "a write that changes nothing touches nothing";
    EXPECT_EQ(std::pair(bytes(), read(u"IF"_qs)), std::pair(QByteArray("[TALOR]\nIF=NO\n"), u"NO"_qs));
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0644), 0);
    write(u"IF"_qs, u"YES"_qs);
    EXPECT_EQ(read(u"IF"_qs), u"YES"_qs);
}

// The file is replaced whole: a reader that opened it before a write reads the whole old file,
// and the new file keeps the mode, group and owner of the old one. A file the first write
// creates gets the mode a plain create gives: 0666 less the umask.
TEST_F(IniFileTest, AWriteReplacesTheFileWholeKeepingItsOwnerGroupAndMode)
{
    struct stat now = {};
    const mode_t mask = ::umask(002);
    write(u"KEY1"_qs, u"first"_qs);
    ::umask(mask);
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0664u);
    const QByteArray old = "[TALOR]\nKEY1=old\nKEY2=kept\n";
    put(old);
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 02640), 0); // set-group-ID as well
    // Another owner and group where the tests run as root; otherwise another group of ours.
    uid_t owner = ::geteuid();
    gid_t group = ::getegid(), groups[64];
    const int count = owner == 0 ? 0 : ::getgroups(64, groups);
    const gid_t* other = std::find_if(groups, groups + count, [&](gid_t g) { return g != group; });
    if (owner == 0)
        std::tie(owner, group) = std::pair(4321u, 8765u);
    else if (other != groups + count)
        group = *other;
    ASSERT_EQ(::chown(QFile::encodeName(path()).constData(), owner, group), 0);

    QFile reader(path());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    write(u"KEY1"_qs, u"new"_qs);
    EXPECT_EQ(std::pair(reader.readAll(), read(u"KEY1"_qs)), std::pair(old, u"new"_qs));

    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &now), 0);
    EXPECT_EQ(std::tuple(now.st_mode & 07777, now.st_uid, now.st_gid), std::tuple(02640u, owner, group));
}

// Keys written together land all or none: a disk with room for the first of them alone takes
// neither, and the write fails saying so.
TEST_F(IniFileTest, KeysWrittenTogetherLandAllOrNone)
{
    put("[TALOR]\nIF=NO\n");
    const QByteArray before = bytes();
    const QString value(100, u'v');
    const IniFile::Values both{{u"CAP1"_qs, value}, {u"CAP2"_qs, value}};
    const QString message = talor::test::writeUnderSizeLimit(
        rlim_t(before.size()) + 120, [&] { IniFile(path()).write(u"TALOR"_qs, both); });
    EXPECT_TRUE(containsAll(message, {path(), u"disk is full"_qs}) && bytes() == before)
        << message.toStdString();
    IniFile(path()).write(u"TALOR"_qs, both);
    EXPECT_EQ(read(u"CAP1"_qs) + read(u"CAP2"_qs), value + value);
}

// An update reads and writes under one lock: a writer coming in between waits for it (here:
// gives up), so the count it read is still the count it writes. What the change returns is
// checked like any write; a change that fails or returns nothing leaves the file as it was.
TEST_F(IniFileTest, AnUpdateReadsAndWritesUnderOneLock)
{
    put("[TALOR]\nnBD=1\n");
    QString between;
    m_ini.update(u"TALOR"_qs, [&](const IniFile::Reader& read) {
        between = errorOf([&] { IniFile(path(), 50).write(u"TALOR"_qs, u"nBD"_qs, u"9"_qs); });
        return IniFile::Values{{u"nBD"_qs, QString::number(read(u"nBD"_qs).toInt() + 1)},
                               {u"sBD2"_qs, u"B"_qs}};
    });
    EXPECT_TRUE(containsAll(between, {path(), u"locked"_qs})) << between.toStdString();
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nnBD=2\nsBD2=B\n"));

    const std::function<IniFile::Values(const IniFile::Reader&)> failing[] = {
        [](const IniFile::Reader&) -> IniFile::Values { throw IniFileError(u"gave up"_qs); },
        [](const IniFile::Reader&) {
            return IniFile::Values{{u"nBD"_qs, u"3"_qs}, {u"a\nb"_qs, u"1"_qs}};
        }};
    for (const auto& change : failing)
        EXPECT_FALSE(errorOf([&] { m_ini.update(u"TALOR"_qs, change); }).isEmpty());
    m_ini.update(u"TALOR"_qs, [](const IniFile::Reader&) { return IniFile::Values{}; });
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nnBD=2\nsBD2=B\n"));
    write(u"nBD"_qs, u"3"_qs); // the lock was let go each time
    EXPECT_EQ(read(u"nBD"_qs), u"3"_qs);
}

// A line break in a value would cut it and plant a stray line; keys and sections that the
// format could not read back are refused as well. The file stays as it was.
TEST_F(IniFileTest, WritesThatCouldNotBeReadBackAreRefused)
{
    put("[TALOR]\nBDTJ1=old\n");
    EXPECT_TRUE(
        containsAll(errorOf([&] { write(u"BDTJ1"_qs, u"a\nX=injected"_qs); }), {path(), u"line break"_qs}));
    // clang-format off
    const std::array<QString, 3> refused[] = {{u"TALOR"_qs, u"k"_qs, u"a\rb"_qs}, {u"TALOR"_qs, u"a=b"_qs, u"1"_qs},
        {u"TALOR"_qs, u"[x]"_qs, u"1"_qs}, {u"TALOR"_qs, u" ;x"_qs, u"1"_qs}, {u"TALOR"_qs, u"#x"_qs, u"1"_qs},
        {u"TALOR"_qs, u"a\nb"_qs, u"1"_qs}, {u"A]B"_qs, u"k"_qs, u"1"_qs}, {u"A\nB"_qs, u"k"_qs, u"1"_qs},
        {"A" + QChar(0) + "B", u"k"_qs, u"1"_qs}, {u"TALOR"_qs, u"k"_qs, "a" + QChar(0) + "b"},
        {u"TALOR"_qs, "k" + QChar(0), u"1"_qs}};
    // clang-format on
    for (const auto& [section, key, value] : refused)
        EXPECT_FALSE(errorOf([&] { m_ini.write(section, key, value); }).isEmpty()) << key.toStdString();
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nBDTJ1=old\n"));
    // Characters that are special elsewhere are fine inside a key.
    write(u"R.Left;Header#[1]"_qs, u"&P"_qs);
    EXPECT_EQ(read(u"R.Left;Header#[1]"_qs), u"&P"_qs);
}

// A lock held elsewhere fails a write after the timeout; a path that cannot be used fails. The
// error names the file.
TEST_F(IniFileTest, LockHeldElsewhereAndPathsThatCannotBeUsedFailNamingTheFile)
{
    put("[TALOR]\nTABLE=KQ01\n");
    QLockFile other(path() + u".lock"_qs);
    ASSERT_TRUE(other.tryLock(0));

    IniFile ini(path(), 150);
    EXPECT_TRUE(containsAll(errorOf([&] { ini.write(u"TALOR"_qs, u"TABLE"_qs, u"KQ02"_qs); }),
                            {path(), u"locked"_qs}));
    EXPECT_EQ(ini.read(u"TALOR"_qs, u"TABLE"_qs), u"KQ01"_qs) << "reads take no lock";

    // A missing folder reads empty but cannot be written.
    IniFile missing(m_dir.filePath(u"no/such/folder/suite.ini"_qs));
    EXPECT_EQ(missing.read(u"TALOR"_qs, u"TABLE"_qs), QString());
    EXPECT_TRUE(errorOf([&] { missing.write(u"TALOR"_qs, u"TABLE"_qs, u"x"_qs); }).contains(missing.path()));
    // A folder where the file should be can be neither read nor replaced.
    ASSERT_TRUE(QFile::remove(path()) && QDir(m_dir.path()).mkdir(u"suite.ini"_qs));
    EXPECT_TRUE(errorOf([&] { read(u"TABLE"_qs); }).contains(path()));
    EXPECT_TRUE(errorOf([&] { write(u"TABLE"_qs, u"x"_qs); }).contains(path()));
}

// Two processes write 200 different keys each into one file at the same time, one through a
// symbolic link to it: every read-modify-write happens under the one lock of the real file, so
// all 400 keys end up in the file, and the link stays a link.
TEST_F(IniFileTest, TwoProcessesLoseNoKey)
{
    const QString link = m_dir.filePath(u"link.ini"_qs);
    m_ini.write(u"OTHER"_qs, u"kept"_qs, u"yes"_qs);
    ASSERT_TRUE(QFile::link(u"suite.ini"_qs, link));
    constexpr int count = 200;
    QProcess writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writers[w].start(QStringLiteral(SETTINGS_WRITER),
                         {w ? link : path(), w ? u"B"_qs : u"A"_qs, QString::number(count)});
    }
    for (QProcess& p : writers) {
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(std::pair(p.exitStatus(), p.exitCode()), std::pair(QProcess::NormalExit, 0));
    }
    int missing = 0;
    for (int i = 1; i <= count; ++i)
        for (const QString& prefix : {u"A"_qs, u"B"_qs})
            missing += read(prefix + QString::number(i)) != u'v' + QString::number(i);
    EXPECT_EQ(std::pair(missing, m_ini.read(u"OTHER"_qs, u"kept"_qs)), std::pair(0, u"yes"_qs));

    // One section header each and exactly one line per key: nothing was written twice. Neither
    // lock nor temporary files are left behind.
    const QList<QByteArray> lines = bytes().split('\n');
    EXPECT_EQ(
        std::pair(lines.count("[TALOR]"), std::count_if(lines.begin(), lines.end(),
                                                        [](const QByteArray& l) { return l.contains('='); })),
        std::pair(qsizetype(1), qsizetype(2 * count + 1)));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"link.ini"_qs, u"suite.ini"_qs}));
    EXPECT_TRUE(QFileInfo(link).isSymLink() && IniFile(link).read(u"TALOR"_qs, u"A1"_qs) == u"v1"_qs);
}

} // namespace
