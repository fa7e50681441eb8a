#include "engine/roll_renderer.h"

#include "engine/motion_clock.h"
#include "engine/presenter.h"
#include "engine/roll_compose.h"
#include "engine/run_state.h"
#include "shell/random.h"
#include "shell/settings.h"
#include "shell/text.h"

#include <float.h>
#include <windows.h>

int32_t RollWidth = 0;
int32_t RollHeight = 0;
std::vector<uint8_t*> DstRows;
std::vector<const uint8_t*> SrcRows;

void BuildRowTables() {
    RollWidth = FrameBitmap.Width;
    RollHeight = FrameBitmap.Height;
    const size_t rows = RollHeight > 0 ? static_cast<size_t>(RollHeight) : 0;
    DstRows.assign(rows, nullptr);
    SrcRows.assign(rows, nullptr);
    const size_t rowBytes = static_cast<size_t>(RollWidth) * 4;
    for (size_t y = 0; y < rows; ++y) {
        DstRows[y] = FrameBitmap.Bits + y * rowBytes;
        SrcRows[y] = PictureBitmap.Bits + y * rowBytes;
    }
}

namespace {

void ComposeFor(int32_t ix, int32_t iy) {
    if (DirectDrawInUse) {
        TPiece pieces[4];
        const int count = LayoutPieces(RollWidth, RollHeight, ix, iy, pieces);
        for (int i = 0; i < count; ++i)
            BlitPiece(pieces[i].Left, pieces[i].Top, pieces[i].Right, pieces[i].Bottom,
                      pieces[i].DstLeft, pieces[i].DstTop);
    } else {
        ComposeFrame(DstRows.data(), SrcRows.data(), RollWidth, RollHeight, ix, iy);
    }
}

} // namespace

void RenderStep() {
    if (Paused) {
        const uint32_t since = GetTickCount() - LastStepTick;
        while (StopState == 0 && Paused)
            Sleep(20);
        LastStepTick = GetTickCount() - since;
    }
    if (GetTickCount() > LastStepTick) {
        LastStepTick = GetTickCount();
        StartRoll();
        PresentFrame();
        LastStepTick = GetTickCount();
    }
}

void StartRoll() {
    ResetPacing();
    RollLoop();
}

void RollLoop() {
    if (RollWidth <= 0 || RollHeight <= 0) {
        // Nothing to roll; wait for the end of the run like the motion would.
        while (StopState == 0)
            Sleep(20);
        return;
    }
    const int32_t period = EffectiveRollPeriodMs(Settings.RollPeriodMs);
    TMotion motion = StartMotion(RollWidth, period, RandomUnit());
    bool compose = true;
    bool havePrevious = false;
    int32_t previousX = 0, previousY = 0;

    for (;;) {
        motion.D = 0;
        while (motion.D <= RollWidth) {
            AdvanceStep(motion);
            const int32_t ix = WholePixelOffset(motion.X, RollWidth);
            const int32_t iy = WholePixelOffset(motion.Y, RollHeight);
            if (!havePrevious || ix != previousX || iy != previousY) {
                havePrevious = true;
                previousX = ix;
                previousY = iy;
                SteerStep(motion.Heading, RandomUnit());
                UpdateVelocity(motion);
            }
            if (compose) {
                FramePending = true;
                ComposeFor(ix, iy);
            }
            if (StopState != 0)
                break;
            // Behind schedule the position keeps advancing but no frame is composed.
            compose = Pace(motion.D / RollWidth);
        }
        StartLap();
        if (CrashTestRequested) {
            RaiseTestFault();
            CrashTestRequested = false;
        }
        if (StopState != 0)
            return;
    }
}

void RaiseTestFault() {
    // Division by zero is masked by default; unmask it so the division faults.
    _clearfp();
    const unsigned int control = _control87(0, 0);
    _control87(control & ~_EM_ZERODIVIDE, _MCW_EM);
    volatile double numerator = 10.0;
    volatile double denominator = 0.0;
    volatile double quotient = numerator / denominator;
    // A processor delivers the fault above. An emulator that only records it (QEMU's user mode
    // does) gets here with the exception pending: raise the same fault for it.
    constexpr unsigned int ZeroDivideStatus = 0x8; // _SW_ZERODIVIDE, which float.h lacks here
    if (_statusfp() & ZeroDivideStatus) {
        _clearfp();
        _control87(control, _MCW_EM);
        RaiseException(EXCEPTION_FLT_DIVIDE_BY_ZERO, 0, 0, nullptr);
    }
    volatile int64_t result = RoundEven(quotient);
    (void)result;
}
