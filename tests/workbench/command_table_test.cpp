// The command table both windows are built from: every command reachable and named once.
#include "workbench/command_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace brevok {
namespace {

TEST(CommandTable, EveryCommandSitsInOneMenuPlaceAndEveryNameFindsIt)
{
    std::map<CommandId, int> menuPlaces;
    for (const MenuInfo& menu : Menus()) {
        for (const std::optional<CommandId>& entry : menu.entries) {
            if (entry)
                ++menuPlaces[*entry];
        }
    }
    std::set<std::string_view> names;
    for (const CommandInfo& info : Commands()) {
        EXPECT_EQ(menuPlaces[info.id], 1) << info.menuName;
        EXPECT_NE(info.steps, nullptr) << info.menuName;
        EXPECT_FALSE(info.caption.empty()) << info.menuName;
        EXPECT_TRUE(names.insert(info.menuName).second) << info.menuName;
        EXPECT_EQ(CommandNamed(info.menuName), info.id) << info.menuName;
        if (!info.toolName.empty()) {
            EXPECT_TRUE(names.insert(info.toolName).second) << info.toolName;
            EXPECT_EQ(CommandNamed(info.toolName), info.id) << info.toolName;
            EXPECT_TRUE(info.picture >= 0 && info.picture <= 10) << info.toolName;
            EXPECT_FALSE(info.hint.empty()) << info.toolName;
        }
    }
    EXPECT_EQ(CommandNamed("mnuNoSuchThing"), std::nullopt);

    // The tool bar holds exactly the commands that have a button, once each.
    std::set<CommandId> onToolBar;
    for (const ToolBarItem& item : ToolBar()) {
        if (!item.command) {
            EXPECT_GT(item.gapWidth, 0);
            continue;
        }
        EXPECT_FALSE(InfoOf(*item.command).toolName.empty()) << InfoOf(*item.command).menuName;
        EXPECT_TRUE(onToolBar.insert(*item.command).second) << InfoOf(*item.command).menuName;
    }
    for (const CommandInfo& info : Commands())
        EXPECT_EQ(onToolBar.count(info.id) == 1, !info.toolName.empty()) << info.menuName;
}

}  // namespace
}  // namespace brevok
