#pragma once
// The engine's off-screen picture: a 32-bit top-down DIB section selected into a memory DC of its
// own, so the same pixels can be drawn with GDI and addressed directly.
#include <cstdint>

#include <windows.h>

// Where CopyFitted puts a whole source into a destination of another size.
enum class TFitKind { OneToOne, Scaled, Unscaled };

struct TFitPlacement {
    TFitKind Kind;
    int32_t X, Y, Width,
        Height; // destination rectangle; Width, Height are the source's if unscaled
};

struct TFitRequest {
    int32_t SourceWidth, SourceHeight;
    int32_t DestWidth, DestHeight;
    bool ShrinkToFit, StretchToFit, RandomPlacement;
};

// The placement decision of CopyFitted. draw is the uniform [0, 1) source for a random placement;
// it is called twice (x first, then y), and only when a random placement is chosen.
TFitPlacement DecideFit(const TFitRequest& request, double (*draw)());

class TBitmap {
  public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap() { Destroy(); }

    // Raises an Exception when the memory DC or the DIB section cannot be made: every user of a
    // bitmap writes through Bits.
    void Create(int32_t width, int32_t height);
    void Destroy();
    bool Exists() const { return Bitmap != nullptr; }

    int32_t RowBytes() const { return Width * 4; }
    void Clear();
    // Inclusive corners; the size comes from the destination rectangle alone.
    void CopyRect(const TBitmap& source, int32_t srcLeft, int32_t srcTop, int32_t srcRight,
                  int32_t srcBottom, int32_t dstLeft, int32_t dstTop, int32_t dstRight,
                  int32_t dstBottom);
    void CopyFitted(const TBitmap& source);

    HBITMAP Bitmap = nullptr;
    HDC DC = nullptr;
    uint8_t* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    bool ShrinkToFit = true;
    bool StretchToFit = false;
    bool RandomPlacement = true;
};

// The header of every DIB section and every stretch from one: 32 bits, top-down, BI_RGB.
BITMAPINFO BitmapHeader(int32_t width, int32_t height);
