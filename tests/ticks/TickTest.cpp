#include <string>
#include <vector>

#include "tests/support/ClockFixture.h"

namespace {

constexpr size_t kTicks = 5;
// Generous: the clock aims at a few milliseconds. A busy machine may wake the thread late for
// a tick or two; a timer that ignores the turn of the second is late for most of them.
constexpr int kLateBoundMs = 200;
constexpr size_t kEarlyAtLeast = kTicks / 2 + 1;
constexpr DWORD kTicksWaitMs = 15000;

// The clock as the program makes it, noting the wall-clock time at the start of every paint
// that a tick asked for; other paints (the first one, region changes) are not noted.
class StampedClock : public ZelDsktp {
public:
    LRESULT OnTimer(WPARAM timerId) override {
        m_tickPending = true;
        return ZelDsktp::OnTimer(timerId);
    }
    LRESULT OnPaint() override {
        if (m_tickPending) {
            m_tickPending = false;
            SYSTEMTIME now;
            GetLocalTime(&now);
            m_tickPaints.push_back(now);
        }
        return ZelDsktp::OnPaint();
    }

    bool m_tickPending = false;
    std::vector<SYSTEMTIME> m_tickPaints;
};

// Whole seconds since 1601, so that seconds can be counted across minutes and hours.
ULONGLONG WholeSeconds(const SYSTEMTIME& time) {
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    return value.QuadPart / 10000000ULL;
}

// Returns in the middle of a second, where a timer that ignores the turn of the second
// would fire about half a second late.
void WaitForMidSecond() {
    for (int i = 0; i < 200; ++i) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (now.wMilliseconds >= 400 && now.wMilliseconds < 600) {
            return;
        }
        Sleep(5);
    }
}

class TickTest : public ClockTest::ClockFixture {
protected:
    StampedClock& Clock() { return static_cast<StampedClock&>(*m_clock); }

    // Runs the window's messages until the given number of tick paints, or the time is out.
    void RunTicks(size_t count) {
        ClockTest::PumpUntil(kTicksWaitMs,
                             [&](const MSG&) { return Clock().m_tickPaints.size() >= count; });
    }

    // Most noted paints lie early in their second, each one second after the one before.
    void ExpectOnTheSecond() {
        const std::vector<SYSTEMTIME>& paints = Clock().m_tickPaints;
        ASSERT_GE(paints.size(), kTicks);
        std::string milliseconds;
        size_t early = 0;
        for (size_t i = 0; i < kTicks; ++i) {
            SCOPED_TRACE(i);
            milliseconds += " " + std::to_string(paints[i].wMilliseconds);
            early += paints[i].wMilliseconds < kLateBoundMs ? 1 : 0;
            if (i > 0) {
                EXPECT_EQ(WholeSeconds(paints[i - 1]) + 1, WholeSeconds(paints[i]));
            }
        }
        EXPECT_GE(early, kEarlyAtLeast) << "milliseconds into each second:" << milliseconds;
    }
};

TEST_F(TickTest, PaintsFollowTheTurnOfEachSecondFromAMidSecondStart) {
    WaitForMidSecond();
    Start(std::make_unique<StampedClock>());
    RunTicks(kTicks);
    ExpectOnTheSecond();
}

TEST_F(TickTest, PaintsFollowTheTurnOfEachSecondAfterThePropertiesDialog) {
    Start(std::make_unique<StampedClock>());
    RunTicks(1);
    // Cancelled in the middle of a second.
    WithProperties([](ModalDriver&, HWND dialog) {
        WaitForMidSecond();
        EXPECT_TRUE(ModalDriver::ClickAndWaitGone(dialog, IDCANCEL));
    });
    Clock().m_tickPending = false;
    Clock().m_tickPaints.clear();
    RunTicks(kTicks);
    ExpectOnTheSecond();
}

} // namespace
