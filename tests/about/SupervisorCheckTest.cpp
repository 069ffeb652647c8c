#include "about/SupervisorCheck.h"

#include "support/FakeSuite.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

struct CheckCase
{
    int lock;
    const char* operatorName;
    bool codeMatches;
    bool passesInSelectReport; // LockRule::NonZero
    bool passesInAboutBox;     // LockRule::Positive
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c)
{
    return out << "lock " << c.lock << ", " << c.operatorName
               << (c.codeMatches ? ", code matches" : ", code differs");
}

class SupervisorCheckTable : public ::testing::TestWithParam<CheckCase>
{
protected:
    void SetUp() override
    {
        suite.settingsDir = u"/suite"_qs;
        suite.setSetting(u"SYSTEM"_qs, u"GJKL"_qs, u"密码9"_qs);
        suite.prefix = u"ABCDEFGH"_qs;
    }
    talor::test::FakeSuite suite;
};

TEST_P(SupervisorCheckTable, PassesByOperatorOrAccessCode)
{
    const CheckCase& c = GetParam();
    suite.lock = c.lock;
    suite.operatorNameValue = QString::fromUtf8(c.operatorName);
    suite.access = c.codeMatches ? u"ABCDEF密码9"_qs : u"ABCDEFGH密码9"_qs;
    EXPECT_EQ(supervisorCheck(suite, LockRule::NonZero), c.passesInSelectReport);
    EXPECT_EQ(supervisorCheck(suite, LockRule::Positive), c.passesInAboutBox);
}

// The lock switch counts when it is not 0 in the select-report dialog and when it is greater
// than 0 in the About box; while it does not count, "pelto" needs no access code.
INSTANTIATE_TEST_SUITE_P(
    Rules, SupervisorCheckTable,
    ::testing::Values(CheckCase{-1, "pelto", false, false, true}, CheckCase{-1, "pelto", true, true, true},
                      CheckCase{-1, "张三", false, false, false}, CheckCase{-1, "张三", true, true, true},
                      CheckCase{0, "pelto", false, true, true}, CheckCase{0, "pelto", true, true, true},
                      CheckCase{0, "张三", false, false, false}, CheckCase{0, "张三", true, true, true},
                      CheckCase{1, "pelto", false, false, false}, CheckCase{1, "pelto", true, true, true},
                      CheckCase{1, "张三", false, false, false}, CheckCase{1, "张三", true, true, true},
                      CheckCase{0, "Pelto", false, false, false},
                      CheckCase{2, "pelto", false, false, false}));

TEST(SupervisorCheck, PasswordComesFromTheSettingsFileOfTheSuite)
{
    talor::test::FakeSuite suite;
    suite.settingsDir = u"/suite"_qs;
    suite.prefix = u"XY"_qs;
    suite.access = u"XYpw"_qs;
    suite.settings[u"/suite/other.ini"_qs][talor::test::FakeSuite::settingsKey(u"SYSTEM"_qs, u"GJKL"_qs)] =
        u"pw"_qs;
    EXPECT_FALSE(supervisorCheck(suite, LockRule::Positive)) << "another file's password does not count";
    suite.setSetting(u"SYSTEM"_qs, u"GJKL"_qs, u"pw"_qs);
    EXPECT_TRUE(supervisorCheck(suite, LockRule::Positive));
    suite.access = u"XYPW"_qs;
    EXPECT_FALSE(supervisorCheck(suite, LockRule::Positive)) << "the comparison is case-sensitive";
}

} // namespace
