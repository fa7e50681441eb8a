#include "engine/presenter.h"

#include "engine/run_state.h"
#include "shell/library.h"

IDirectDraw2* DirectDrawObject = nullptr;
IDirectDrawSurface* PrimarySurface = nullptr;
IDirectDrawSurface* BackSurface = nullptr;
IDirectDrawSurface* PictureSurface = nullptr;

namespace {

using TDirectDrawCreate = decltype(&DirectDrawCreate);

HMODULE DirectDrawLibrary = nullptr;
TDirectDrawCreate CreateDirectDraw = nullptr;

static_assert(sizeof(DDSURFACEDESC) == 108, "the surface description of DirectDraw 2");

template <typename T>
void ReleaseAndClear(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// Copies the still picture into a surface with GDI; the one pixel conversion of a run.
void FillWithPicture(IDirectDrawSurface* surface) {
    HDC dc = nullptr;
    if (surface && surface->GetDC(&dc) == DD_OK) {
        BitBlt(dc, 0, 0, FrameBitmap.Width, FrameBitmap.Height, FrameBitmap.DC, 0, 0, SRCCOPY);
        surface->ReleaseDC(dc);
    }
}

} // namespace

void LoadDirectDrawLibrary() {
    HMODULE library = LoadLibraryA("DDraw.dll");
    if (!LibraryLoaded(library))
        return;
    DirectDrawLibrary = library;
    CreateDirectDraw = GetProcedure<TDirectDrawCreate>(library, "DirectDrawCreate");
}

void FreeDirectDrawLibrary() {
    if (DirectDrawLibrary)
        FreeLibrary(DirectDrawLibrary);
    DirectDrawLibrary = nullptr;
    CreateDirectDraw = nullptr;
}

bool DirectDrawAvailable() {
    return CreateDirectDraw != nullptr;
}

bool SetUpDirectDraw() {
    if (!CreateDirectDraw)
        return false;
    IDirectDraw* first = nullptr;
    if (CreateDirectDraw(nullptr, &first, nullptr) != DD_OK || !first)
        return false;
    const HRESULT query =
        first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&DirectDrawObject));
    first->Release();
    if (query != DD_OK || !DirectDrawObject)
        return false;

    // The display mode is never changed: the surfaces take the desktop's size and format.
    if (DirectDrawObject->SetCooperativeLevel(SaverWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN |
                                                               DDSCL_ALLOWMODEX) != DD_OK)
        return false;

    DDSURFACEDESC description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    description.dwBackBufferCount = 1;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (DirectDrawObject->CreateSurface(&description, &PrimarySurface, nullptr) != DD_OK)
        return false;

    // The roll blits into the back buffer from the picture surface every frame; without either
    // there is nothing to animate, so their absence ends the run like any other failed step.
    DDSCAPS backCaps{};
    backCaps.dwCaps = DDSCAPS_BACKBUFFER;
    if (PrimarySurface->GetAttachedSurface(&backCaps, &BackSurface) != DD_OK || !BackSurface)
        return false;
    FillWithPicture(BackSurface);

    DDSURFACEDESC picture{};
    picture.dwSize = sizeof(picture);
    picture.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    picture.dwWidth = FrameWidth;
    picture.dwHeight = FrameHeight;
    picture.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (DirectDrawObject->CreateSurface(&picture, &PictureSurface, nullptr) != DD_OK ||
        !PictureSurface)
        return false;
    FillWithPicture(PictureSurface);
    return true;
}

void ReleaseDirectDraw() {
    if (!DirectDrawInUse)
        return;
    if (DirectDrawObject)
        DirectDrawObject->FlipToGDISurface();
    ReleaseAndClear(BackSurface);
    ReleaseAndClear(PrimarySurface);
    ReleaseAndClear(PictureSurface);
    ReleaseAndClear(DirectDrawObject);
}

void DrawFrame(HDC dc) {
    if (DirectDrawInUse) {
        if (PrimarySurface)
            PrimarySurface->Flip(nullptr, DDFLIP_WAIT);
    } else if (StopState == 0) {
        BitBlt(dc, 0, 0, FrameWidth, FrameHeight, FrameBitmap.DC, 0, 0, SRCCOPY);
    }
}

void PresentFrame() {
    DrawFrame(WindowDC);
}

void BlitPiece(int left, int top, int right, int bottom, int dstLeft, int dstTop) {
    if (!BackSurface || !PictureSurface)
        return;
    RECT source{left, top, right, bottom};
    BackSurface->BltFast(dstLeft, dstTop, PictureSurface, &source, DDBLTFAST_WAIT);
}
