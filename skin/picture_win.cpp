#include "skin/picture_win.h"

#include <wincodec.h>

#include <vector>

#include "skin/paint_win.h"
#include "skin/picture_com_win.h"
#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

// Larger pictures than this are refused rather than allocated.
constexpr UINT kMaxPicturePixels = 16u * 1024u * 1024u;

bool AnyTranslucent(const std::vector<TPixel>& pixels) {
    for (TPixel pixel : pixels)
        if ((pixel >> 24) != 0xFF)
            return true;
    return false;
}

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

TPixel Premultiplied(TPixel pixel) {
    const unsigned alpha = pixel >> 24;
    const auto scale = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
    return (alpha << 24) | (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) |
           scale(pixel & 0xFF);
}

} // namespace

TPicture DecodePicture(const void* data, std::size_t size) {
    if (!data || size == 0 || size > 0x7FFFFFFF)
        throw Error("Picture could not be read: no data");
    ComScope com;
    ComPtr<IWICImagingFactory> factory = CreateImagingFactory();
    ComPtr<IWICStream> stream;
    CheckPicture(factory.Get()->CreateStream(stream.Put()), "stream");
    CheckPicture(stream.Get()->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                                    static_cast<DWORD>(size)),
                 "stream");
    ComPtr<IWICBitmapDecoder> decoder;
    CheckPicture(factory.Get()->CreateDecoderFromStream(
                     stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Put()),
                 "unknown format");
    ComPtr<IWICBitmapFrameDecode> frame;
    CheckPicture(decoder.Get()->GetFrame(0, frame.Put()), "no image");
    ComPtr<IWICFormatConverter> converter;
    CheckPicture(factory.Get()->CreateFormatConverter(converter.Put()), "converter");
    CheckPicture(converter.Get()->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                             WICBitmapDitherTypeNone, nullptr, 0.0,
                                             WICBitmapPaletteTypeCustom),
                 "pixel format");
    UINT width = 0;
    UINT height = 0;
    CheckPicture(converter.Get()->GetSize(&width, &height), "size");
    if (width == 0 || height == 0 || width > kMaxPicturePixels / height)
        throw Error("Picture could not be read: bad size");
    TPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    CheckPicture(converter.Get()->CopyPixels(nullptr, width * 4,
                                             static_cast<UINT>(picture.pixels.size() * 4),
                                             reinterpret_cast<BYTE*>(picture.pixels.data())),
                 "pixels");
    picture.hasAlpha = AnyTranslucent(picture.pixels);
    return picture;
}

TPicture LoadPictureResource(const std::string& name, HMODULE module) {
    if (!module)
        module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data)
        throw Error("Resource " + name + " not found");
    return DecodePicture(data, SizeofResource(module, info));
}

TPicture LoadBitmapResource(const std::string& name, HMODULE module) {
    if (!module)
        module = GetModuleHandleA(nullptr);
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP header = {};
    if (!bitmap || !GetObjectA(bitmap.Get(), sizeof(header), &header) || header.bmWidth <= 0 ||
        header.bmHeight <= 0)
        throw Error("Resource " + name + " not found");
    TPicture picture;
    picture.width = header.bmWidth;
    picture.height = header.bmHeight;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    BITMAPINFO info = TopDownInfo(picture.width, picture.height);
    WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(picture.height),
                  picture.pixels.data(), &info, DIB_RGB_COLORS) == 0)
        throw Error("Resource " + name + " not found");
    for (TPixel& pixel : picture.pixels)
        pixel |= 0xFF000000u;
    return picture;
}

void DrawPicture(HDC dc, int x, int y, const TPicture& picture) {
    if (picture.Empty())
        return;
    TOffscreen image(dc, picture.width, picture.height);
    if (!image)
        return;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        image.Pixels()[i] =
            picture.hasAlpha ? Premultiplied(picture.pixels[i]) : (picture.pixels[i] | 0xFF000000u);
    GdiFlush();
    if (!picture.hasAlpha) {
        BitBlt(dc, x, y, picture.width, picture.height, image.Dc(), 0, 0, SRCCOPY);
        return;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // GDI's own entry, rather than the image library's that forwards to it: one DLL fewer to
    // load at start.
    GdiAlphaBlend(dc, x, y, picture.width, picture.height, image.Dc(), 0, 0, picture.width,
                  picture.height, blend);
}

void StretchPixels(HDC dc, const RECT& target, int width, int height, const TPixel* pixels) {
    if (width <= 0 || height <= 0 || !pixels)
        return;
    BITMAPINFO info = TopDownInfo(width, height);
    const int previous = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, target.left, target.top, target.right - target.left,
                  target.bottom - target.top, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
    SetStretchBltMode(dc, previous);
}

void StretchPicture(HDC dc, const RECT& target, const TPicture& picture) {
    StretchPixels(dc, target, picture.width, picture.height, picture.pixels.data());
}

} // namespace ks
