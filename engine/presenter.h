#pragma once
// DirectDraw's library and entry point, looked up once when the process starts.
void LoadDirectDrawLibrary();
void FreeDirectDrawLibrary();

// Hands the screen back to GDI and releases the DirectDraw objects of a run.
void ReleaseDirectDraw();
