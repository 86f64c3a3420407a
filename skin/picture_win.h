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

} // namespace ks
