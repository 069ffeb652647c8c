#include "commands/CommandRules.h"

#include <array>
#include <utility>

namespace talor {

namespace {

using enum ActivationAfter;

// The guard stands before every command that leaves the sheet to a dialog, another module or
// the end of the window. The select-report dialog (MN01) resets RefreshFlag when it closes, as
// the about box's set-up dialog (MN07) and another module's component may: the activation after
// them rebuilds the window. A program started alongside the window leaves it as it is.
// Every guarded command but 退出 (MN08), which ends the window, shows the report again as stored
// when the guard gave edits up and nothing laid the report out anew.
constexpr std::pair<MenuCommand, CommandRule> MenuRules[] = {
    {MenuCommand::MN01, {true, WhenRun, true}},
    {MenuCommand::MN02, {false, Never}},
    {MenuCommand::MN03, {false, Never}},
    {MenuCommand::MN04, {false, Never}},
    {MenuCommand::MN05, {false, Never}},
    {MenuCommand::MN06, {false, Never}},
    {MenuCommand::MN07, {true, WhenRun, true}},
    {MenuCommand::MN08, {true, Never}},
    {MenuCommand::MNE1, {true, WhenComponentRan, true}},
    {MenuCommand::MNE2, {true, WhenComponentRan, true}},
    {MenuCommand::MNE3, {true, WhenComponentRan, true}},
    {MenuCommand::MNE4, {true, WhenComponentRan, true}},
    {MenuCommand::MNE5, {true, WhenComponentRan, true}},
    {MenuCommand::MNE6, {true, WhenComponentRan, true}},
    {MenuCommand::MNE7, {true, WhenComponentRan, true}},
};

// A report kind button switches the kind (resetting RefreshFlag); the activation after it lays
// the new kind's report out on a new sheet, so unsaved edits are asked about first: the guard.
constexpr std::array<CommandRule, 3> ReportKindRules{{{true, WhenRun}, {true, WhenRun}, {true, WhenRun}}};

} // namespace

bool CommandRule::activatesAfter(CommandEnd end) const
{
    switch (activation) {
    case Never:
        return false;
    case WhenRun:
        return end != CommandEnd::NotRun;
    case WhenComponentRan:
        return end == CommandEnd::ComponentRan;
    }
    return false;
}

CommandRule commandRule(MenuCommand command)
{
    for (const auto& [ruled, rule] : MenuRules)
        if (ruled == command)
            return rule;
    return {};
}

CommandRule reportKindRule(int kind)
{
    if (kind < 1 || kind > int(ReportKindRules.size()))
        return {};
    return ReportKindRules[size_t(kind - 1)];
}

} // namespace talor
