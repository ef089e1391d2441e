#include "skins/skin_cycling.h"
#include "skins/tools_menu_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using design::MenuItemId;

std::array<skins::MenuItemView, design::kMenuItemCount> designStates() {
    std::array<skins::MenuItemView, design::kMenuItemCount> s{};
    for (const auto& m : design::gadgetDesign().menu)
        s[static_cast<std::size_t>(m.id)] = {
            .id = m.id, .hidden = m.hidden, .disabled = m.disabled, .checked = m.checked};
    return s;
}

std::wstring texts(const std::vector<skins::PopupEntry>& entries) {
    std::wstring out;
    for (const auto& e : entries)
        out += std::wstring(e.text) + (e.checked ? L"*" : L"") + L" ";
    return out;
}

TEST(ToolsMenu, PopupListsTheItemsUnderToolsWithTheirMarks) {
    const auto states = designStates();
    const auto entries =
        skins::popupEntries(design::gadgetDesign().menu, MenuItemId::Tools,
                            [&](MenuItemId id) { return states[static_cast<std::size_t>(id)]; });
    EXPECT_EQ(texts(entries), L"皮肤 字体 退出 ");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(texts(entries[0].children), L"默认* 多彩 清新 深夜 星空 科技 日出 日落 芭比 车灯 山雀 ");
    EXPECT_EQ(texts(entries[1].children), L"白* 紫 绿 红 黑 ");
    EXPECT_TRUE(entries[2].children.empty());
}

TEST(ToolsMenu, HiddenItemsAndWhatLiesUnderThemAreLeftOut) {
    auto states = designStates();
    states[static_cast<std::size_t>(MenuItemId::Skins)].hidden = true;
    states[static_cast<std::size_t>(MenuItemId::ColourRed)].hidden = true;
    states[static_cast<std::size_t>(MenuItemId::ColourGreen)].disabled = true;
    const auto entries =
        skins::popupEntries(design::gadgetDesign().menu, MenuItemId::Tools,
                            [&](MenuItemId id) { return states[static_cast<std::size_t>(id)]; });
    EXPECT_EQ(texts(entries), L"字体 退出 ");
    EXPECT_EQ(texts(entries[0].children), L"白* 紫 绿 黑 ");
    EXPECT_TRUE(entries[0].children[2].disabled);
}

TEST(ToolsMenu, MarksAreExclusiveWithinTheChosenItemsOwnSubmenu) {
    const auto& menu = design::gadgetDesign().menu;
    const auto skinsGroup = skins::siblingsOf(menu, MenuItemId::SkinSunset);
    ASSERT_EQ(skinsGroup.size(), 11u);
    EXPECT_EQ(skinsGroup.front(), MenuItemId::SkinDefault);
    EXPECT_EQ(skinsGroup.back(), MenuItemId::SkinTit);
    const auto colours = skins::siblingsOf(menu, MenuItemId::ColourRed);
    EXPECT_EQ(colours,
              (std::vector{MenuItemId::ColourWhite, MenuItemId::ColourPurple, MenuItemId::ColourGreen,
                           MenuItemId::ColourRed, MenuItemId::ColourBlack}));
    EXPECT_EQ(skins::siblingsOf(menu, MenuItemId::Exit),
              (std::vector{MenuItemId::Skins, MenuItemId::Colours, MenuItemId::Exit}));
}

TEST(SkinCycling, ThirteenStatesThenAroundAgain) {
    std::int32_t counter = 0;
    std::vector<std::int32_t> seen;
    for (int click = 1; click <= 14; ++click)
        seen.push_back(counter = skins::nextCycleState(counter));
    EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0, 1}));
    EXPECT_EQ(skins::nextCycleState(INT32_MAX), 0);
    EXPECT_EQ(skins::nextCycleState(-5), -4);
}

} // namespace
