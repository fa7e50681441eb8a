#include "toolkit/control_factory.h"

void InitToolkit() {}
