#include "commands/UnsavedDataGuard.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace talor;

// No edits: nothing is asked. Edits: OK drops them and goes on, Cancel keeps them and ends.
TEST(UnsavedDataGuardTest, AsksOnlyAboutEditsAndGoesOnOnlyAfterOk)
{
    using Answer = UiService::Answer;
    const struct
    {
        bool changed;
        std::optional<Answer> answer;
        bool goesOn, changedAfter;
    } cases[] = {
        {false, {}, true, false}, {true, Answer::Ok, true, false}, {true, Answer::Cancel, false, true}};
    for (const auto& c : cases) {
        test::ScriptedUi ui;
        if (c.answer)
            ui.answers.push_back(*c.answer);
        bool changed = c.changed;
        EXPECT_EQ(unsavedDataGuard(changed, ui, nullptr), c.goesOn);
        EXPECT_EQ(changed, c.changedAfter);
        ASSERT_EQ(ui.messages.size(), c.changed ? 1u : 0u);
        if (c.changed) {
            EXPECT_EQ(ui.messages[0].text, "资料已变动,真的放弃保存?");
            EXPECT_EQ(ui.messages[0].title, "系统提示");
            EXPECT_EQ(ui.messages[0].buttons, UiService::Buttons::OkCancel);
        }
    }
}
