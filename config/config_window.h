#pragma once
// The configure mode: the settings window.
void RunConfiguration();
