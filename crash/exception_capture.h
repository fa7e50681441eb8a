#pragma once
void InstallUnhandledExceptionHandler();
void InstallTopLevelFilter();
void InstallRaiseHook();
