#pragma once
void InitCrashState();
