#include "commands/UnsavedDataGuard.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace talor;
using talor::test::ScriptedUi;

TEST(UnsavedDataGuardTest, NoEditsAsksNothing)
{
    ScriptedUi ui;
    bool changed = false;
    EXPECT_TRUE(unsavedDataGuard(changed, ui, nullptr));
    EXPECT_TRUE(ui.messages.empty());
}

TEST(UnsavedDataGuardTest, OkDropsTheEditsAndGoesOn)
{
    ScriptedUi ui;
    ui.answers.push_back(UiService::Answer::Ok);
    bool changed = true;
    EXPECT_TRUE(unsavedDataGuard(changed, ui, nullptr));
    EXPECT_FALSE(changed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "资料已变动,真的放弃保存?");
    EXPECT_EQ(ui.messages[0].title, "系统提示");
    EXPECT_EQ(ui.messages[0].buttons, UiService::Buttons::OkCancel);
}

TEST(UnsavedDataGuardTest, CancelEndsTheCommandAndKeepsTheEdits)
{
    ScriptedUi ui;
    ui.answers.push_back(UiService::Answer::Cancel);
    bool changed = true;
    EXPECT_FALSE(unsavedDataGuard(changed, ui, nullptr));
    EXPECT_TRUE(changed);
    EXPECT_EQ(ui.messages.size(), 1u);
}
