#pragma once

#include "commands/ImageList.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace talor {

class Recordset;
class SuiteServices;

// The main window's menu commands: MN01 to MN08 and the external module items MNE1 to MNE7.
enum class MenuCommand
{
    None,
    MN01,
    MN02,
    MN03,
    MN04,
    MN05,
    MN06,
    MN07,
    MN08,
    MNE1,
    MNE2,
    MNE3,
    MNE4,
    MNE5,
    MNE6,
    MNE7
};

// One toolbar button as the command bar wants it: `image` is an index into the window's
// image list (0: no picture).
struct ToolButtonSpec
{
    QString key;
    QString caption;
    int image = 0;
    bool visible = true;
};

// What BuildCommandBar leaves for the window to show: always 15 buttons in their order, the
// visibility of the menu items MN01..MN08 and MNE1..MNE7, and the pictures that could not be
// loaded (their buttons have no picture).
struct CommandBarLayout
{
    std::vector<ToolButtonSpec> buttons;
    std::array<bool, 8> menuVisible{};         // MN01..MN08
    std::array<bool, 7> externalMenuVisible{}; // MNE1..MNE7
    QStringList missingPictures;

    int visibleButtonCount() const;
};

// BuildCommandBar: the toolbar and menu items from the settings and the menu table SYS02.
// The menu recordset is left open on the last position's query, as the external module menus
// expect; new pictures are added to the image list under their button's key.
class CommandBar
{
public:
    static constexpr int ButtonCount = 15;

    CommandBar(SuiteServices& suite, Recordset& menuRecords, ImageList& images);

    CommandBarLayout build();

    // The menu command of toolbar button `index` (1 to 15); None for any other index.
    static MenuCommand commandOfButton(int index);
    // The commands that the restricted list hides, in the menu's order: each whose name the list
    // holds (isRestricted); names outside the table hide nothing.
    static std::vector<MenuCommand> restrictedCommands(const QString& list);
    // The toolbar button (1 to 15) of a built-in command MN01..MN08; 0 for the others.
    static int buttonOfCommand(MenuCommand command);

private:
    ToolButtonSpec externalButton(int position);

    SuiteServices& m_suite;
    Recordset& m_menuRecords;
    ImageList& m_images;
    QStringList m_missingPictures;
};

} // namespace talor
