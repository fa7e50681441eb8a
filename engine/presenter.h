#pragma once
// Shows the composed frame: one BitBlt with GDI, or a page flip in DirectDraw's exclusive
// full-screen mode with a back buffer and a surface holding the still picture.
#include <windows.h>

#include <ddraw.h>

extern IDirectDraw2* DirectDrawObject;
extern IDirectDrawSurface* PrimarySurface; // flipping chain with one back buffer
extern IDirectDrawSurface* BackSurface;    // the frame is composed here
extern IDirectDrawSurface* PictureSurface; // the still desktop picture

// DirectDraw's library and entry point, looked up once when the process starts.
void LoadDirectDrawLibrary();
void FreeDirectDrawLibrary();
bool DirectDrawAvailable();

// Takes the screen exclusively and fills the back buffer and the picture surface with the still
// picture; false when a step fails (what was made stays until ReleaseDirectDraw).
bool SetUpDirectDraw();
// Hands the screen back to GDI and releases the DirectDraw objects of a run; any number of times.
void ReleaseDirectDraw();

// Shows the current frame: a flip with DirectDraw, otherwise a BitBlt into dc while the run goes
// on.
void DrawFrame(HDC dc);
void PresentFrame(); // DrawFrame(WindowDC)

// One piece of a frame from the picture surface into the back buffer.
void BlitPiece(int left, int top, int right, int bottom, int dstLeft, int dstTop);
