// Skins as the bars show them, in this process.
#include "app/gadget.h"
#include "app/program.h"
#include "skins/skin_catalogue.h"
#include "skins/tools_menu.h"
#include "wine_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using design::ControlId;
using wintest::blue;
using wintest::green;
using wintest::red;

class Skins : public ::testing::Test {
  protected:
    void SetUp() override {
        app::startUp();
        w = &app::gadget()->window();
        w->timer(ControlId::Timer1).setPeriod(0);
        w->timer(ControlId::Timer2).setPeriod(0);
        w->setHeight(36);
        w->label(ControlId::Label1).setLeft(170); // off the sampled columns
        w->label(ControlId::Label2).setLeft(170);
    }
    void TearDown() override {
        if (w && w->hwnd()) ::DestroyWindow(w->hwnd());
    }
    std::vector<COLORREF> row(int y, int from, int to) {
        ::UpdateWindow(w->hwnd());
        wintest::pumpFor(50);
        std::vector<COLORREF> out;
        for (int x = from; x < to; ++x)
            out.push_back(wintest::pixelAt(w->hwnd(), x, y));
        return out;
    }
    ui::GadgetWindow* w = nullptr;
};

TEST_F(Skins, HalfABarOfTheDefaultSkinRunsFromGreenIntoYellowWithoutRed) {
    w->picture(ControlId::Bar2).setWidth(100);
    const auto px = row(9, 1, 101);
    EXPECT_GT(green(px.front()), 200); // green at the start
    EXPECT_LT(red(px.front()), 130);
    EXPECT_GT(red(px.back()), 180); // yellow by the middle of the skin
    EXPECT_GT(green(px.back()), 150);
    EXPECT_TRUE(
        std::none_of(px.begin(), px.end(), [](COLORREF c) { return red(c) > 200 && green(c) < 100; }));
}

TEST_F(Skins, ShowingASkinInOneBarLeavesTheOtherAsItWas) {
    for (auto bar : {ControlId::Bar2, ControlId::Bar1})
        w->picture(bar).setWidth(200);
    const auto bottomBefore = row(27, 1, 201);
    skins::showSkin(9, w->picture(ControlId::Bar2));
    EXPECT_EQ(row(27, 1, 201), bottomBefore);
    EXPECT_NE(row(9, 1, 201), bottomBefore);
    EXPECT_EQ(w->picture(ControlId::Bar2).width(), 200);
    EXPECT_TRUE(w->picture(ControlId::Bar2).visible());
}

TEST_F(Skins, IndicesOutsideTheCatalogueShowTheDefaultSkin) {
    w->picture(ControlId::Bar2).setWidth(200);
    const auto defaultRow = row(9, 1, 201);
    for (std::int32_t index : {11, 12, -1, INT32_MIN, INT32_MAX}) {
        skins::showSkin(5, w->picture(ControlId::Bar2));
        skins::showSkin(index, w->picture(ControlId::Bar2));
        EXPECT_EQ(row(9, 1, 201), defaultRow) << index;
    }
}

} // namespace
