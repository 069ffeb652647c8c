#pragma once

#include "commands/CommandBar.h"

namespace talor {

// When the main window is activated again after a command: it re-reads the report's state and,
// when the command reset RefreshFlag, rebuilds the command bar and lays the report out anew.
enum class ActivationAfter
{
    Never,
    WhenRun,          // once the command ran (its dialog closed), even when it failed
    WhenComponentRan, // only when another module's component ran modally over the window
};

// How a command ended, as far as the activation after it goes.
enum class CommandEnd
{
    NotRun, // refused by the guard, nothing plugged in to run it, or it failed before it began
    Ran,
    ComponentRan,
};

// What the main window does around one of its commands: the unsaved-data guard first (the
// command runs only when it passes), and whether the window is activated after it. When the
// guard gave unsaved edits up and the activation did not lay the report out anew, a command
// that leaves the window open shows the report again as stored (`showsStoredAfter`): the grid
// never keeps edits that are no longer to be saved.
struct CommandRule
{
    bool guard = false;
    ActivationAfter activation = ActivationAfter::Never;
    bool showsStoredAfter = false;

    bool activatesAfter(CommandEnd end) const;
};

// The rule of a menu command. A toolbar button follows the rule of its command
// (CommandBar::commandOfButton); commands outside the menus have no guard and no activation.
CommandRule commandRule(MenuCommand command);
// The rule of the report kind buttons Option1 to Option3 (`kind` 1 to 3).
CommandRule reportKindRule(int kind);

} // namespace talor
