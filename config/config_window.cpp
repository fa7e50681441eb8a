#include "config/config_window.h"

void RunConfiguration() {}
