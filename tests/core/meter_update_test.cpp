#include "app/meter_update.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A row whose bar clamps its width like the picture box does, and which logs every property call.
class FakeRow final : public app::MeterRow {
  public:
    FakeRow(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    void setBarWidth(std::int32_t w) override {
        width = std::clamp(w, 0, 32627);
        log_.push_back(name_ + ".width=" + std::to_string(w));
    }
    std::int32_t barWidth() override {
        log_.push_back(name_ + ".width?");
        return width;
    }
    void setNumberText(std::wstring_view t) override {
        text.assign(t);
        log_.push_back(name_ + ".text");
    }
    void setNumberLeft(std::int32_t l) override {
        left = l;
        log_.push_back(name_ + ".left=" + std::to_string(l));
    }
    std::int32_t width = -99, left = -99;
    std::wstring text;

  private:
    std::string name_;
    Log& log_;
};

class FakeReadings final : public app::MeterReadings {
  public:
    FakeReadings(std::int32_t memory, std::int32_t cpu, Log& log) : memory_(memory), cpu_(cpu), log_(log) {}
    void refreshMemoryStatus() override { log_.push_back("memory call"); }
    std::int32_t memoryLoad() override { return memory_; }
    std::int32_t cpuUsage() override {
        log_.push_back("cpu");
        return cpu_;
    }

  private:
    std::int32_t memory_, cpu_;
    Log& log_;
};

struct RowCase {
    std::int32_t reading;
    std::int32_t storedWidth;
    const wchar_t* text;
    std::int32_t left;
};

TEST(MeterUpdate, EachReadingGivesWidthNumberAndPlaceInBothRows) {
    const RowCase cases[] = {
        {0, 0, L"0", 0},         {88, 176, L"88", 176}, {89, 178, L"89", 154},
        {100, 200, L"100", 176}, {-1, 0, L"-1", -2},    {150, 300, L"150", 276},
    };
    for (const auto& c : cases) {
        Log log;
        FakeRow bottom("bottom", log), top("top", log);
        FakeReadings memory(c.reading, 50, log);
        app::runMeterUpdate(memory, bottom, top);
        EXPECT_EQ(bottom.width, c.storedWidth) << c.reading;
        EXPECT_EQ(bottom.text, c.text) << c.reading;
        EXPECT_EQ(bottom.left, c.left) << c.reading;

        FakeReadings cpu(50, c.reading, log);
        app::runMeterUpdate(cpu, bottom, top);
        EXPECT_EQ(top.width, c.storedWidth) << c.reading;
        EXPECT_EQ(top.text, c.text) << c.reading;
        EXPECT_EQ(top.left, c.left) << c.reading;
    }
}

TEST(MeterUpdate, ReadsBothFirstThenWritesTheBottomRowWholeBeforeTheTop) {
    Log log;
    FakeRow bottom("bottom", log), top("top", log);
    FakeReadings readings(89, 30, log);
    app::runMeterUpdate(readings, bottom, top);
    const Log want{"memory call",     "cpu",          "bottom.width=178", "bottom.text", "bottom.width?",
                   "bottom.left=154", "top.width=60", "top.text",         "top.left=60"};
    EXPECT_EQ(log, want);
}

} // namespace
