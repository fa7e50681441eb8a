#pragma once
// The motion clock: keeps the roll in step with wall-clock time, throttles the presentation of
// frames and stops time while the saver is paused. Everything but InitClock runs on the render
// thread.
#include <cstdint>

extern int64_t CountsPerMs;    // performance-counter counts per millisecond; 0: the tick count
extern uint32_t LapStartMs;    // ClockMs at the start of the current lap
extern uint32_t LastPresentMs; // ClockMs of the last presentation
extern bool FramePending;      // a frame was composed since the last presentation
extern bool WasOnSchedule;     // the previous Pace was on or ahead of schedule

// Chooses the time source: the performance counter when it runs at 1000 counts a second or more.
void InitClock();
uint32_t ClockMs();
void ResetPacing();
void StartLap();
// fraction: the distance travelled in this lap over the width of the drawing area. Presents a
// pending frame when one is due, sleeps while the motion is ahead; false when it is behind.
bool Pace(float fraction);

// A roll period of 0 (possible from the registry) would stop time; the configuration window's
// minimum is used instead.
inline constexpr int32_t MinimumRollPeriodMs = 1000;
int32_t EffectiveRollPeriodMs(int32_t rollPeriodMs);

// Milliseconds by which the motion is ahead of its schedule, rounded half to even.
int32_t AheadMs(float fraction, int32_t rollPeriodMs, int32_t elapsedMs);
// A pending frame is shown after 20 ms, or 5 ms with DirectDraw (differences modulo 2^32).
bool PresentationDue(uint32_t nowMs, uint32_t lastPresentMs, bool directDraw);

// Replaceable time source, sleep and presentation, so tests can drive the clock.
struct TClockHooks {
    uint32_t (*Now)();
    void (*Sleep)(uint32_t ms);
    void (*Present)();
};
void SetClockHooks(const TClockHooks* hooks); // nullptr restores the real ones
