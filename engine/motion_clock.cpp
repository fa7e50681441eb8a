#include "engine/motion_clock.h"

#include "engine/presenter.h"
#include "engine/run_state.h"
#include "shell/settings.h"
#include "shell/text.h"

#include <windows.h>

int64_t CountsPerMs = 0;
uint32_t LapStartMs = 0;
uint32_t LastPresentMs = 0;
bool FramePending = false;
bool WasOnSchedule = false;

namespace {

void SystemSleep(uint32_t ms) {
    Sleep(ms);
}

const TClockHooks* Hooks = nullptr;

void Wait(uint32_t ms) {
    if (Hooks && Hooks->Sleep)
        Hooks->Sleep(ms);
    else
        SystemSleep(ms);
}

void Present() {
    if (Hooks && Hooks->Present)
        Hooks->Present();
    else
        PresentFrame();
}

} // namespace

void SetClockHooks(const TClockHooks* hooks) {
    Hooks = hooks;
}

void InitClock() {
    CountsPerMs = 0;
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart / 1000 > 0)
        CountsPerMs = frequency.QuadPart / 1000;
}

uint32_t ClockMs() {
    if (Hooks && Hooks->Now)
        return Hooks->Now();
    if (CountsPerMs > 0) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        return static_cast<uint32_t>(counter.QuadPart / CountsPerMs);
    }
    return GetTickCount();
}

void ResetPacing() {
    LapStartMs = ClockMs();
    LastPresentMs = 0;
    WasOnSchedule = false;
    FramePending = true;
}

void StartLap() {
    LapStartMs = ClockMs();
}

int32_t EffectiveRollPeriodMs(int32_t rollPeriodMs) {
    return rollPeriodMs > 0 ? rollPeriodMs : MinimumRollPeriodMs;
}

int32_t AheadMs(float fraction, int32_t rollPeriodMs, int32_t elapsedMs) {
    return static_cast<int32_t>(
        RoundEven(static_cast<double>(fraction) * rollPeriodMs - static_cast<double>(elapsedMs)));
}

bool PresentationDue(uint32_t nowMs, uint32_t lastPresentMs, bool directDraw) {
    const uint32_t since = nowMs - lastPresentMs;
    return since >= 20 || (directDraw && since >= 5);
}

bool Pace(float fraction) {
    if (Paused) {
        // The time spent paused is taken out of the lap and of the presentation throttle.
        uint32_t t = ClockMs();
        const uint32_t sinceLap = t - LapStartMs;
        const uint32_t sincePresent = t - LastPresentMs;
        do
            Wait(20);
        while (StopState == 0 && Paused);
        t = ClockMs();
        LapStartMs = t - sinceLap;
        LastPresentMs = t - sincePresent;
    }

    const uint32_t t = ClockMs();
    auto elapsed = static_cast<int32_t>(t - LapStartMs);
    if (FramePending && PresentationDue(t, LastPresentMs, DirectDrawInUse)) {
        Present();
        FramePending = false;
        LastPresentMs = ClockMs();
        elapsed = static_cast<int32_t>(LastPresentMs - LapStartMs);
    }

    const int32_t ahead = AheadMs(fraction, EffectiveRollPeriodMs(Settings.RollPeriodMs), elapsed);
    if (ahead <= 0) {
        WasOnSchedule = false;
        return false;
    }
    // Sleep only after two readings in a row that were ahead; long sleeps come in 200 ms slices
    // so that an end request is noticed quickly.
    if (WasOnSchedule) {
        const auto ms = static_cast<uint32_t>(ahead);
        if (ms < 200) {
            Wait(ms);
        } else {
            for (uint32_t slice = 0; slice < ms / 200; ++slice) {
                Wait(200);
                if (StopState != 0)
                    break;
            }
            Wait(ms % 200);
        }
    }
    WasOnSchedule = true;
    return true;
}
