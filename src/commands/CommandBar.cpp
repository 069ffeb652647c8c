#include "commands/CommandBar.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SettingRules.h"
#include "suite/SuiteServices.h"

#include <QDir>

namespace talor {

namespace {

struct BuiltInButton
{
    int index;
    const char* key;
    const char* caption;
    int image;
    MenuCommand command;
};

// Buttons 1 and 9 to 15; buttons 2 to 8 are the external module positions.
constexpr BuiltInButton BuiltIns[] = {
    {1, "KEY-1", "选定", 7, MenuCommand::MN01},    {9, "KEY-10", "编辑", 1, MenuCommand::MN02},
    {10, "KEY-11", "保存", 17, MenuCommand::MN03}, {11, "KEY-12", "预览", 10, MenuCommand::MN04},
    {12, "KEY-13", "打印", 11, MenuCommand::MN05}, {13, "KEY-14", "输出", 15, MenuCommand::MN06},
    {14, "KEY-15", "关于", 6, MenuCommand::MN07},  {15, "KEY-16", "退出", 2, MenuCommand::MN08},
};

struct RestrictedName
{
    const char* name;
    MenuCommand command;
};

constexpr RestrictedName RestrictedNames[] = {
    {"选定", MenuCommand::MN01}, {"编辑", MenuCommand::MN02}, {"保存", MenuCommand::MN03},
    {"预览", MenuCommand::MN04}, {"打印", MenuCommand::MN05}, {"输出", MenuCommand::MN06},
    {"关于", MenuCommand::MN07}, {"退出", MenuCommand::MN08},
};

ToolButtonSpec builtInButton(const BuiltInButton& b)
{
    return {QString::fromUtf8(b.key), QString::fromUtf8(b.caption), b.image, true};
}

int menuSlot(MenuCommand command)
{
    return int(command) - int(MenuCommand::MN01);
}

} // namespace

int CommandBarLayout::visibleButtonCount() const
{
    int n = 0;
    for (const auto& b : buttons)
        n += b.visible ? 1 : 0;
    return n;
}

CommandBar::CommandBar(SuiteServices& suite, Recordset& menuRecords, ImageList& images)
    : m_suite(suite), m_menuRecords(menuRecords), m_images(images)
{}

MenuCommand CommandBar::commandOfButton(int index)
{
    if (index >= 2 && index <= 8)
        return MenuCommand(int(MenuCommand::MNE1) + index - 2);
    for (const auto& b : BuiltIns)
        if (b.index == index)
            return b.command;
    return MenuCommand::None;
}

int CommandBar::buttonOfCommand(MenuCommand command)
{
    for (const auto& b : BuiltIns)
        if (b.command == command)
            return b.index;
    return 0;
}

std::vector<MenuCommand> CommandBar::restrictedCommands(const QString& list)
{
    std::vector<MenuCommand> out;
    for (const auto& r : RestrictedNames)
        if (isRestricted(list, QString::fromUtf8(r.name)))
            out.push_back(r.command);
    return out;
}

ToolButtonSpec CommandBar::externalButton(int position)
{
    ModuleSettings settings(m_suite);
    const QString key = "KEY-" + QString::number(position + 2);
    const QString menuName = settings.read(keys::ExternalMenu, position);

    // The name comes from the settings and may hold a quote: it is passed as a literal.
    m_menuRecords.close();
    m_menuRecords.open("select * from SYS02 where cdmc=" + sql::quoted(menuName), m_suite.connection());
    if (m_menuRecords.eof())
        return {key, QStringLiteral("没挂"), 1, false};

    const QString caption = settings.read(keys::ExternalCaption, position);
    const QString picture =
        m_menuRecords.isNull("cdtb") ? QStringLiteral("MAILM.ICO") : m_menuRecords.text("cdtb");
    int image = m_images.zhimages(key);
    if (image == 0) {
        QImage loaded;
        const QString path = QDir(m_suite.iconDirectory()).filePath(picture);
        // An empty name asks for no picture: the button shows without one, and nothing is missing.
        if (!picture.isEmpty() && loaded.load(path))
            image = m_images.add(loaded, key);
        else if (!picture.isEmpty())
            m_missingPictures << path;
    }
    return {key, caption, image, !caption.isEmpty()};
}

CommandBarLayout CommandBar::build()
{
    CommandBarLayout layout;
    m_missingPictures.clear();
    layout.menuVisible.fill(true);
    ModuleSettings settings(m_suite);

    layout.buttons.push_back(builtInButton(BuiltIns[0]));
    for (int i = 1; i <= 7; ++i) {
        layout.externalMenuVisible[size_t(i - 1)] = !settings.read(keys::ExternalMenu, i).isEmpty();
        layout.buttons.push_back(externalButton(i));
    }
    for (size_t b = 1; b < std::size(BuiltIns); ++b)
        layout.buttons.push_back(builtInButton(BuiltIns[b]));

    auto hide = [&layout](MenuCommand command) {
        layout.menuVisible[size_t(menuSlot(command))] = false;
        layout.buttons[size_t(buttonOfCommand(command) - 1)].visible = false;
    };
    for (MenuCommand command : restrictedCommands(settings.read(keys::Restricted)))
        hide(command);
    // Report kind 3 cannot be edited or saved.
    if (m_suite.reportOption() == "3") {
        hide(MenuCommand::MN02);
        hide(MenuCommand::MN03);
    }
    layout.missingPictures = m_missingPictures;
    return layout;
}

} // namespace talor
