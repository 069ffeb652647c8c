#include "settings/IniFile.h"

#include "suite/SuiteServices.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using talor::IniFile;
using talor::SuiteError;

namespace {

class IniFileTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path() const { return m_dir.filePath(QStringLiteral("suite.ini")); }

    void put(const QByteArray& bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray bytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The message of the SuiteError that `write` throws, or "" when it does not throw.
    static QString errorOf(const std::function<void()>& write)
    {
        try {
            write();
        } catch (const SuiteError& e) {
            return e.message();
        }
        return {};
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, MissingFileAndMissingKeyReadEmpty)
{
    IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QString());
    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ01"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("CTABLE")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("PRINT"), QStringLiteral("TABLE")), QString());
}

TEST_F(IniFileTest, WrittenValueIsReadBackAndOverwritten)
{
    IniFile ini(path());
    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ01"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("IF"), QStringLiteral("YES"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ02"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("KQ02"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("IF")), QStringLiteral("YES"));
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nTABLE=KQ02\nIF=YES\n"));
    // Another object (another process, as far as the file knows) sees the same values.
    EXPECT_EQ(IniFile(path()).read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("KQ02"));
}

TEST_F(IniFileTest, ValuesKeepTheirBlanksEqualSignsAndEmptiness)
{
    IniFile ini(path());
    ini.write(QStringLiteral("TALOR"), QStringLiteral("BDTJ1"), QStringLiteral(" depart='01' and x = 2 "));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("EMPTY"), QString());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("BDTJ1")),
              QStringLiteral(" depart='01' and x = 2 "));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("EMPTY")), QString());
    EXPECT_TRUE(bytes().contains("\nEMPTY=\n"));
}

TEST_F(IniFileTest, KeyWithLeadingBlankIsItsOwnKey)
{
    IniFile ini(path());
    ini.write(QStringLiteral("TALOR"), QStringLiteral(" 0"), QStringLiteral("YES"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("0"), QStringLiteral("NO"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("考勤日报 0"), QStringLiteral("YES"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral(" 0")), QStringLiteral("YES"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("0")), QStringLiteral("NO"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("  0")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("考勤日报0")), QString());
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\n 0=YES\n0=NO\n") + QStringLiteral("考勤日报 0=YES\n").toUtf8());
}

TEST_F(IniFileTest, KeysAndSectionsAreCaseSensitive)
{
    IniFile ini(path());
    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("upper"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("table"), QStringLiteral("lower"));
    ini.write(QStringLiteral("talor"), QStringLiteral("TABLE"), QStringLiteral("other section"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("upper"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("table")), QStringLiteral("lower"));
    EXPECT_EQ(ini.read(QStringLiteral("talor"), QStringLiteral("TABLE")), QStringLiteral("other section"));
    EXPECT_EQ(ini.read(QStringLiteral("talor"), QStringLiteral("table")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("Talor"), QStringLiteral("TABLE")), QString());
}

TEST_F(IniFileTest, ChineseKeysAndValuesRoundTripAsUtf8)
{
    IniFile ini(path());
    ini.write(QStringLiteral("TALOR"), QStringLiteral("考勤日报TABLE"), QStringLiteral("KQJL"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("考勤日报CTABLE"), QStringLiteral("考勤记录表"));
    ini.write(QStringLiteral("考勤"), QStringLiteral("𠀀"), QStringLiteral("編輯保存"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("考勤日报TABLE")), QStringLiteral("KQJL"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("考勤日报CTABLE")),
              QStringLiteral("考勤记录表"));
    EXPECT_EQ(ini.read(QStringLiteral("考勤"), QStringLiteral("𠀀")), QStringLiteral("編輯保存"));
    EXPECT_TRUE(bytes().contains(QStringLiteral("考勤日报CTABLE=考勤记录表\n").toUtf8()));
}

TEST_F(IniFileTest, CommentsAndBrokenLinesSurviveByteForByte)
{
    const QByteArray before = "; suite settings, edited by hand\r\n"
                              "\xEF\xBB\xBF is not a BOM here\r\n"
                              "[TALOR]\r\n"
                              "# a comment = with an equal sign\r\n"
                              "TABLE=KQ01\r\n"
                              "this line is broken\r\n"
                              "  IF = NO  \r\n"
                              "bad \xFF\xFE bytes=\xC3\r\n"
                              "\r\n"
                              "  [PRINT]  \r\n"
                              "R.Zoom=80\r\n"
                              "\r\n"
                              "; trailing comment\r\n";
    put(before);
    IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("  IF ")), QStringLiteral(" NO  "));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("IF")), QString());
    EXPECT_EQ(ini.read(QStringLiteral("PRINT"), QStringLiteral("R.Zoom")), QStringLiteral("80"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("# a comment ")), QString());

    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ02"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("MENU1"), QStringLiteral("人事"));
    ini.write(QStringLiteral("PRINT"), QStringLiteral("R.Draft"), QStringLiteral("True"));
    ini.write(QStringLiteral("VELD"), QStringLiteral("-USE"), QStringLiteral("NO"));

    const QByteArray after = "; suite settings, edited by hand\r\n"
                             "\xEF\xBB\xBF is not a BOM here\r\n"
                             "[TALOR]\r\n"
                             "# a comment = with an equal sign\r\n"
                             "TABLE=KQ02\r\n"
                             "this line is broken\r\n"
                             "  IF = NO  \r\n"
                             "bad \xFF\xFE bytes=\xC3\r\n" +
                             QStringLiteral("MENU1=人事\r\n").toUtf8() +
                             "\r\n"
                             "  [PRINT]  \r\n"
                             "R.Zoom=80\r\n"
                             "\r\n"
                             "; trailing comment\r\n"
                             "R.Draft=True\r\n"
                             "\r\n"
                             "[VELD]\r\n"
                             "-USE=NO\r\n";
    EXPECT_EQ(bytes(), after);
}

TEST_F(IniFileTest, ByteOrderMarkAndMissingFinalNewlineAreHandled)
{
    put("\xEF\xBB\xBF[TALOR]\nTABLE=KQ01");
    IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("KQ01"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("IF"), QStringLiteral("YES"));
    EXPECT_EQ(bytes(), QByteArray("\xEF\xBB\xBF[TALOR]\nTABLE=KQ01\nIF=YES\n"));

    put("[TALOR]\nTABLE=KQ01");
    ini.write(QStringLiteral("PRINT"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nTABLE=KQ01\n\n[PRINT]\nx=1\n"));
}

TEST_F(IniFileTest, Utf16FileIsRefusedAndLeftAsItWas)
{
    const QString text = QStringLiteral("[TALOR]\r\nTABLE=KQ01\r\n");
    const QByteArray utf16 =
        QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    put(utf16);
    IniFile ini(path());
    for (const auto& access : std::initializer_list<std::function<void()>>{
             [&] { ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")); },
             [&] {
                 ini.write(QStringLiteral("TALOR"), QStringLiteral("IF"), QStringLiteral("YES"));
             }}) {
        const QString message = errorOf(access);
        EXPECT_TRUE(message.contains(path())) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("UTF-16"))) << message.toStdString();
    }
    EXPECT_EQ(bytes(), utf16);
}

TEST_F(IniFileTest, KeysBeforeTheFirstSectionFormTheEmptySection)
{
    put("top=1\n[TALOR]\ntop=2\n");
    IniFile ini(path());
    EXPECT_EQ(ini.read(QString(), QStringLiteral("top")), QStringLiteral("1"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("top")), QStringLiteral("2"));
    ini.write(QString(), QStringLiteral("second"), QStringLiteral("x"));
    EXPECT_EQ(bytes(), QByteArray("top=1\nsecond=x\n[TALOR]\ntop=2\n"));
}

TEST_F(IniFileTest, FirstOccurrenceCounts)
{
    put("[TALOR]\nA=1\nA=2\n[PRINT]\nz=0\n[TALOR]\nB=3\n");
    IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("B")), QStringLiteral("3"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("A"), QStringLiteral("9"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("B"), QStringLiteral("8"));
    ini.write(QStringLiteral("TALOR"), QStringLiteral("C"), QStringLiteral("7"));
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nA=9\nA=2\nC=7\n[PRINT]\nz=0\n[TALOR]\nB=8\n"));
}

TEST_F(IniFileTest, LineBreakInValueIsRefusedAndNothingChanges)
{
    put("[TALOR]\nBDTJ1=old\n");
    IniFile ini(path());
    const QString message = errorOf([&] {
        ini.write(QStringLiteral("TALOR"), QStringLiteral("BDTJ1"), QStringLiteral("a\nX=injected"));
    });
    EXPECT_TRUE(message.contains(path())) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("line break"))) << message.toStdString();
    EXPECT_FALSE(errorOf([&] {
                     ini.write(QStringLiteral("TALOR"), QStringLiteral("k"), QStringLiteral("a\rb"));
                 }).isEmpty());
    EXPECT_EQ(bytes(), QByteArray("[TALOR]\nBDTJ1=old\n"));
}

TEST_F(IniFileTest, KeysAndSectionsThatCouldNotBeReadBackAreRefused)
{
    IniFile ini(path());
    for (const QString& key : {QStringLiteral("a=b"), QStringLiteral("[x]"), QStringLiteral(" ;x"),
                               QStringLiteral("#x"), QStringLiteral("a\nb")})
        EXPECT_FALSE(errorOf([&] { ini.write(QStringLiteral("TALOR"), key, QStringLiteral("1")); }).isEmpty())
            << key.toStdString();
    EXPECT_FALSE(errorOf([&] {
                     ini.write(QStringLiteral("A]B"), QStringLiteral("k"), QStringLiteral("1"));
                 }).isEmpty());
    EXPECT_FALSE(QFile::exists(path()));
    // Characters that are special elsewhere are fine inside a key.
    ini.write(QStringLiteral("TALOR"), QStringLiteral("R.Left;Header#[1]"), QStringLiteral("&P"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("R.Left;Header#[1]")), QStringLiteral("&P"));
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryOrLockFiles)
{
    IniFile ini(path());
    for (int i = 0; i < 20; ++i)
        ini.write(QStringLiteral("TALOR"), QStringLiteral("K") + QString::number(i), QString::number(i));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("suite.ini")});
}

TEST_F(IniFileTest, LockHeldElsewhereFailsAfterTheTimeoutNamingTheFile)
{
    put("[TALOR]\nTABLE=KQ01\n");
    QLockFile other(path() + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));

    IniFile ini(path(), 150);
    const QString message =
        errorOf([&] { ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ02")); });
    EXPECT_TRUE(message.contains(path())) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("locked"))) << message.toStdString();
    // Reads take no lock.
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("KQ01"));

    other.unlock();
    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ02"));
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QStringLiteral("KQ02"));
}

TEST_F(IniFileTest, MissingFolderFailsNamingTheFile)
{
    const QString missing = m_dir.filePath(QStringLiteral("no/such/folder/suite.ini"));
    IniFile ini(missing);
    EXPECT_EQ(ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")), QString());
    const QString message =
        errorOf([&] { ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("KQ01")); });
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();
}

TEST_F(IniFileTest, UnreadableOrUnwritablePathFailsNamingTheFile)
{
    // A folder where the file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("suite.ini")));
    IniFile ini(path());
    EXPECT_TRUE(
        errorOf([&] { ini.read(QStringLiteral("TALOR"), QStringLiteral("TABLE")); }).contains(path()));
    EXPECT_TRUE(errorOf([&] {
                    ini.write(QStringLiteral("TALOR"), QStringLiteral("TABLE"), QStringLiteral("x"));
                }).contains(path()));
}

} // namespace
