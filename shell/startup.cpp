#include "shell/startup.h"

#include "config/config_window.h"
#include "crash/crash_state.h"
#include "crash/exception_capture.h"
#include "crash/module_map.h"
#include "engine/presenter.h"
#include "engine/saver_run.h"
#include "shell/command_line.h"
#include "shell/password.h"
#include "shell/settings.h"
#include "toolkit/control_factory.h"

#include <atomic>

namespace {

struct TSubsystemStart {
    void (*Initialise)();
    void (*Finalise)(); // may be null
};

// The order in which the subsystems start; they are finalised in the reverse order.
const TSubsystemStart StartupOrder[] = {
    {InitSettingsStore, nullptr},
    {LoadDirectDrawLibrary, FreeDirectDrawLibrary},
    {InitToolkit, nullptr},
    {InitModuleMap, nullptr},
    {InitCrashState, nullptr},
};

std::atomic<bool> Finalising{false};

} // namespace

void RunStartupInitialisations() {
    for (const TSubsystemStart& start : StartupOrder)
        start.Initialise();
}

void EndProcess(UINT exitCode) {
    // Only the first thread to get here finalises; ExitProcess then stops every other thread.
    if (!Finalising.exchange(true)) {
        for (auto it = std::rbegin(StartupOrder); it != std::rend(StartupOrder); ++it)
            if (it->Finalise)
                it->Finalise();
    }
    ExitProcess(exitCode);
}

void InstallCrashHooks() {
    InstallUnhandledExceptionHandler();
    InstallTopLevelFilter();
    InstallRaiseHook();
}

void ProgramMain() {
    RunStartupInitialisations();
    InstallCrashHooks();
    ParseProcessCommandLine();
    switch (ActionForMode(RunMode)) {
    case TRunModeAction::Configure:
        RunConfiguration();
        break;
    case TRunModeAction::Preview:
        RunSaver(HostWindow);
        break;
    case TRunModeAction::FullScreen:
        RunSaver(nullptr);
        break;
    case TRunModeAction::ChangePassword:
        ChangePassword();
        break;
    case TRunModeAction::Quit:
        break;
    }
    EndProcess(0);
}
