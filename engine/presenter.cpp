#include "engine/presenter.h"

void LoadDirectDrawLibrary() {}
void FreeDirectDrawLibrary() {}
void ReleaseDirectDraw() {}
