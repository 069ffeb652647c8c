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
constexpr std::pair<MenuCommand, CommandRule> MenuRules[] = {
    {MenuCommand::MN01, {true, WhenRun}},          {MenuCommand::MN02, {false, Never}},
    {MenuCommand::MN03, {false, Never}},           {MenuCommand::MN04, {false, Never}},
    {MenuCommand::MN05, {false, Never}},           {MenuCommand::MN06, {false, Never}},
    {MenuCommand::MN07, {true, WhenRun}},          {MenuCommand::MN08, {true, Never}},
    {MenuCommand::MNE1, {true, WhenComponentRan}}, {MenuCommand::MNE2, {true, WhenComponentRan}},
    {MenuCommand::MNE3, {true, WhenComponentRan}}, {MenuCommand::MNE4, {true, WhenComponentRan}},
    {MenuCommand::MNE5, {true, WhenComponentRan}}, {MenuCommand::MNE6, {true, WhenComponentRan}},
    {MenuCommand::MNE7, {true, WhenComponentRan}},
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
