// Loading pictures (JPEG and PNG through the Windows Imaging Component, bitmaps through GDI)
// and drawing them. Loaders raise ks::Error with the reason when a picture cannot be read.
#pragma once
#include <windows.h>

#include <string>

#include "skin/picture.h"

namespace ks {

// Decodes any picture format WIC knows (JPEG, PNG with alpha, BMP...) from memory or a file.
TPicture DecodePicture(const void* data, std::size_t size);
TPicture LoadPictureFile(const std::string& path);
// An RT_RCDATA resource of the module (the program itself when null) holding a picture file.
TPicture LoadPictureResource(const std::string& name, HMODULE module = nullptr);
// An RT_BITMAP resource, opaque.
TPicture LoadBitmapResource(const std::string& name, HMODULE module = nullptr);

// Draws the picture at (x, y) in its own size, blended by its alpha when it has one.
void DrawPicture(HDC dc, int x, int y, const TPicture& picture);
// Stretches the whole picture, opaque, over the rectangle (nearest neighbour).
void StretchPicture(HDC dc, const RECT& target, const TPicture& picture);
// The same for raw 0x00RRGGBB pixels, top row first.
void StretchPixels(HDC dc, const RECT& target, int width, int height, const TPixel* pixels);

// Writes the picture as a PNG file (screenshots and test artefacts).
void SavePicturePng(const TPicture& picture, const std::string& path);

} // namespace ks
