#include "engine/bitmap.h"

#include "crash/exception.h"
#include "shell/random.h"
#include "shell/text.h"

#include <cstring>
#include <string>

TFitPlacement DecideFit(const TFitRequest& r, double (*draw)()) {
    const float sx = static_cast<float>(r.SourceWidth) / static_cast<float>(r.DestWidth);
    const float sy = static_cast<float>(r.SourceHeight) / static_cast<float>(r.DestHeight);
    if (sx == 1.0f && sy == 1.0f)
        return {TFitKind::OneToOne, 0, 0, r.DestWidth, r.DestHeight};

    const bool smallerBoth = sx < 1.0f && sy < 1.0f;
    const bool largerAny = sx > 1.0f || sy > 1.0f;
    if ((smallerBoth && r.StretchToFit) || (largerAny && r.ShrinkToFit)) {
        // Aspect ratio kept; the axis with the larger ratio fills the destination.
        if (sx > sy) {
            const auto h = static_cast<int32_t>(RoundEven(r.SourceHeight / sx));
            return {TFitKind::Scaled, 0, (r.DestHeight - h) / 2, r.DestWidth, h};
        }
        const auto w = static_cast<int32_t>(RoundEven(r.SourceWidth / sy));
        return {TFitKind::Scaled, (r.DestWidth - w) / 2, 0, w, r.DestHeight};
    }

    if (smallerBoth && r.RandomPlacement) {
        const auto x = static_cast<int32_t>(RoundEven((r.DestWidth - r.SourceWidth) * draw()));
        const auto y = static_cast<int32_t>(RoundEven((r.DestHeight - r.SourceHeight) * draw()));
        return {TFitKind::Unscaled, x, y, r.SourceWidth, r.SourceHeight};
    }
    // Centred; a larger source is cropped evenly (the offset is then negative).
    return {TFitKind::Unscaled, (r.DestWidth - r.SourceWidth) / 2,
            (r.DestHeight - r.SourceHeight) / 2, r.SourceWidth, r.SourceHeight};
}

BITMAPINFO BitmapHeader(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void TBitmap::Create(int32_t width, int32_t height) {
    Destroy();
    ShrinkToFit = true;
    StretchToFit = false;
    RandomPlacement = true;
    Width = width;
    Height = height;
    const BITMAPINFO header = BitmapHeader(width, height);
    DC = CreateCompatibleDC(nullptr);
    if (!DC)
        throw Exception("CreateCompatibleDC failed for a " + std::to_string(width) + " x " +
                        std::to_string(height) + " bitmap");
    void* bits = nullptr;
    Bitmap = CreateDIBSection(DC, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!Bitmap || !bits) {
        Destroy();
        throw Exception("CreateDIBSection failed for a " + std::to_string(width) + " x " +
                        std::to_string(height) + " bitmap");
    }
    Bits = static_cast<uint8_t*>(bits);
    SelectObject(DC, Bitmap);
}

void TBitmap::Destroy() {
    // The DC goes first: that releases the DIB section selected into it.
    if (DC)
        DeleteDC(DC);
    if (Bitmap)
        DeleteObject(Bitmap);
    DC = nullptr;
    Bitmap = nullptr;
    Bits = nullptr;
}

void TBitmap::Clear() {
    if (Bits)
        std::memset(Bits, 0, static_cast<size_t>(RowBytes()) * static_cast<size_t>(Height));
}

void TBitmap::CopyRect(const TBitmap& source, int32_t srcLeft, int32_t srcTop, int32_t, int32_t,
                       int32_t dstLeft, int32_t dstTop, int32_t dstRight, int32_t dstBottom) {
    BitBlt(DC, dstLeft, dstTop, dstRight - dstLeft + 1, dstBottom - dstTop + 1, source.DC, srcLeft,
           srcTop, SRCCOPY);
}

void TBitmap::CopyFitted(const TBitmap& source) {
    Clear();
    const TFitPlacement place = DecideFit(
        {source.Width, source.Height, Width, Height, ShrinkToFit, StretchToFit, RandomPlacement},
        RandomUnit);
    switch (place.Kind) {
    case TFitKind::OneToOne:
        CopyRect(source, 0, 0, source.Width - 1, source.Height - 1, 0, 0, Width - 1, Height - 1);
        break;
    case TFitKind::Scaled: {
        const BITMAPINFO header = BitmapHeader(source.Width, source.Height);
        SetStretchBltMode(DC, COLORONCOLOR);
        StretchDIBits(DC, place.X, place.Y, place.Width, place.Height, 0, 0, source.Width,
                      source.Height, source.Bits, &header, DIB_RGB_COLORS, SRCCOPY);
        break;
    }
    case TFitKind::Unscaled:
        CopyRect(source, 0, 0, source.Width - 1, source.Height - 1, place.X, place.Y,
                 place.X + source.Width - 1, place.Y + source.Height - 1);
        break;
    }
}
