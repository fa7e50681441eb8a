// Pace with a fake clock: the time source, the sleep and the presentation are replaced, and the
// fake sleep advances the fake time.
#include "engine/motion_clock.h"
#include "engine/run_state.h"
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct TFakeClock {
    uint32_t Now = 0;
    std::vector<uint32_t> Sleeps;
    int Presents = 0;
    std::function<void(uint32_t)> OnSleep; // runs after each sleep, as the main thread would
};
TFakeClock Fake;

const TClockHooks FakeHooks{
    [] { return Fake.Now; },
    [](uint32_t ms) {
        Fake.Sleeps.push_back(ms);
        Fake.Now += ms;
        if (Fake.OnSleep)
            Fake.OnSleep(ms);
    },
    [] { ++Fake.Presents; },
};

class PaceTest : public testing::Test {
  protected:
    void SetUp() override {
        Fake = TFakeClock{};
        SetClockHooks(&FakeHooks);
        Settings.RollPeriodMs = 20000;
        StopState = 0;
        Paused = false;
        DirectDrawInUse = false;
    }
    void TearDown() override {
        SetClockHooks(nullptr);
        Paused = false;
        StopState = 0;
    }
    // Starts a roll at the given time and brings the clock on schedule.
    void StartAt(uint32_t now) {
        Fake.Now = now;
        ResetPacing();
    }
    // The fraction of a lap that is ahead of the lap's elapsed time by the given milliseconds.
    float FractionAhead(int32_t aheadMs) const {
        const int32_t elapsed = static_cast<int32_t>(Fake.Now - LapStartMs);
        return static_cast<float>(elapsed + aheadMs) / Settings.RollPeriodMs;
    }
};

TEST_F(PaceTest, FirstCallPresentsAtOnceAndNeverSleeps) {
    StartAt(5000);
    EXPECT_TRUE(Pace(FractionAhead(300)));
    EXPECT_EQ(Fake.Presents, 1);
    EXPECT_TRUE(Fake.Sleeps.empty());
    EXPECT_FALSE(FramePending);
    EXPECT_TRUE(WasOnSchedule);
}

TEST_F(PaceTest, AheadSleepsInSlicesOf200) {
    StartAt(1000);
    Pace(FractionAhead(10));
    Fake.Sleeps.clear();
    EXPECT_TRUE(Pace(FractionAhead(450)));
    EXPECT_EQ(Fake.Sleeps, (std::vector<uint32_t>{200, 200, 50}));
    Fake.Sleeps.clear();
    EXPECT_TRUE(Pace(FractionAhead(120)));
    EXPECT_EQ(Fake.Sleeps, (std::vector<uint32_t>{120}));
}

TEST_F(PaceTest, BehindReturnsFalseAndTheNextCallDoesNotSleep) {
    StartAt(1000);
    Pace(FractionAhead(10));
    EXPECT_FALSE(Pace(FractionAhead(0)));
    EXPECT_FALSE(Pace(FractionAhead(-40)));
    Fake.Sleeps.clear();
    EXPECT_TRUE(Pace(FractionAhead(300)));
    EXPECT_TRUE(Fake.Sleeps.empty()) << "slept on the first reading after being behind";
}

TEST_F(PaceTest, PresentationIsThrottledTo20MsWithGdiAnd5WithDirectDraw) {
    StartAt(1000);
    Pace(FractionAhead(-1));
    FramePending = true;
    Fake.Now += 19;
    Pace(FractionAhead(-1));
    EXPECT_EQ(Fake.Presents, 1);
    Fake.Now += 1;
    Pace(FractionAhead(-1));
    EXPECT_EQ(Fake.Presents, 2);
    DirectDrawInUse = true;
    FramePending = true;
    Fake.Now += 5;
    Pace(FractionAhead(-1));
    EXPECT_EQ(Fake.Presents, 3);
    Fake.Now += 5;
    Pace(FractionAhead(-1));
    EXPECT_EQ(Fake.Presents, 3) << "presented without a pending frame";
}

TEST_F(PaceTest, ATenSecondPauseLeavesTheElapsedTimeUnchanged) {
    StartAt(1000);
    Fake.Now += 700;
    const uint32_t elapsedBefore = Fake.Now - LapStartMs;
    Paused = true;
    Fake.OnSleep = [start = Fake.Now](uint32_t) {
        if (Fake.Now - start >= 10000)
            Paused = false;
    };
    Pace(0.0f);
    EXPECT_GE(Fake.Sleeps.size(), 500u);
    for (size_t i = 0; i < 500; ++i)
        ASSERT_EQ(Fake.Sleeps[i], 20u);
    // The presentation came after the pause, at the lap time the pause had frozen.
    EXPECT_EQ(LastPresentMs - LapStartMs, elapsedBefore);
}

TEST_F(PaceTest, PauseDoesNotMakeAPresentationDue) {
    StartAt(1000);
    Pace(FractionAhead(-1)); // presents, LastPresentMs = 1000
    FramePending = true;
    Fake.Now += 10;
    Paused = true;
    Fake.OnSleep = [](uint32_t) { Paused = Fake.Sleeps.size() < 100; };
    Pace(FractionAhead(-1));
    EXPECT_EQ(Fake.Presents, 1) << "two seconds of pause counted towards the throttle";
}

TEST_F(PaceTest, StopCutsAPauseWithin20Ms) {
    StartAt(1000);
    Paused = true;
    Fake.OnSleep = [](uint32_t) {
        if (Fake.Sleeps.size() == 7)
            StopState = 1;
    };
    Pace(0.0f);
    EXPECT_EQ(Fake.Sleeps.size(), 7u);
}

TEST_F(PaceTest, StopEndsALongSleepAfterTheCurrentSlice) {
    StartAt(1000);
    Pace(FractionAhead(10));
    Fake.Sleeps.clear();
    Fake.OnSleep = [](uint32_t) { StopState = 1; };
    Pace(FractionAhead(1000));
    EXPECT_EQ(Fake.Sleeps, (std::vector<uint32_t>{200, 0}));
}

class PaceAcrossWrap : public PaceTest, public testing::WithParamInterface<uint32_t> {};

TEST_P(PaceAcrossWrap, BehavesAsWithSmallValues) {
    // The lap starts just before the counter passes 2^31 or wraps at 2^32.
    StartAt(GetParam() - 100);
    EXPECT_TRUE(Pace(FractionAhead(50)));
    EXPECT_EQ(Fake.Presents, 1);
    Fake.Now += 150; // across the boundary
    FramePending = true;
    Fake.Sleeps.clear();
    EXPECT_TRUE(Pace(FractionAhead(450)));
    EXPECT_EQ(Fake.Presents, 2);
    EXPECT_EQ(Fake.Sleeps, (std::vector<uint32_t>{200, 200, 50}));
    EXPECT_FALSE(Pace(FractionAhead(-10)));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, PaceAcrossWrap, testing::Values(0x80000000u, 0u));

TEST_F(PaceTest, ARollPeriodOfZeroRunsAtTheMinimum) {
    Settings.RollPeriodMs = 0;
    StartAt(1000);
    Fake.Now += 500;
    // Half a lap at 1000 ms per lap is on schedule at 500 ms; 0.6 is 100 ms ahead.
    EXPECT_FALSE(Pace(0.5f));
    EXPECT_TRUE(Pace(0.6f));
    EXPECT_TRUE(Pace(0.6f));
    EXPECT_EQ(Fake.Sleeps, (std::vector<uint32_t>{100}));
    EXPECT_EQ(Settings.RollPeriodMs, 0) << "the stored value stays as it is";
}

TEST(AheadRounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(AheadMs(0.5f, 21, 0), 10); // 10.5
    EXPECT_EQ(AheadMs(0.5f, 23, 0), 12); // 11.5
    EXPECT_EQ(AheadMs(0.5f, 20000, 10000), 0);
    EXPECT_EQ(AheadMs(0.0f, 20000, -300), 300);
}

TEST(ClockSource, FallsBackToTheTickCountWithoutACounter) {
    InitClock();
    EXPECT_GT(CountsPerMs, 0); // Wine has a performance counter
    const uint32_t a = ClockMs();
    Sleep(30);
    const uint32_t b = ClockMs();
    EXPECT_GE(b - a, 25u);
    EXPECT_LT(b - a, 5000u);
    CountsPerMs = 0;
    const uint32_t ticks = GetTickCount();
    EXPECT_LE(ClockMs() - ticks, 50u);
}

} // namespace
