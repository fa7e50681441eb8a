#pragma once
// Process start and end: the subsystems' own initialisations, the entry's steps and the one
// exit path that every orderly end and every crash report takes.
#include <windows.h>

// Runs the subsystems' start-up initialisations in their fixed order.
void RunStartupInitialisations();

// Finalises the subsystems in reverse order, then ends the process with the code.
[[noreturn]] void EndProcess(UINT exitCode);

// Installs the crash reporter's hooks, in their fixed order, before anything else is read.
void InstallCrashHooks();

// The whole program: start-up, crash hooks, command line, one mode, exit code 0.
[[noreturn]] void ProgramMain();
