#include "engine/saver_run.h"

void RunSaver(HWND) {}
