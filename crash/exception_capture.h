#pragma once
// The crash reporter's front half: the hooks that start-up installs and the one report entry.
#include <cstdint>
#include <string>

void InstallUnhandledExceptionHandler();
void InstallTopLevelFilter();
void InstallRaiseHook();

// Writes the bug report, opens it and ends the process; never returns.
[[noreturn]] void ReportException(const std::string& message, const std::string& classText,
                                  uint32_t address, uint32_t originFlags);
