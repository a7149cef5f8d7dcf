#pragma once
// Saves a surface as an 8-bit RGB PNG file.
#include <string>

#include "platform/winsys/surface.h"

namespace corvida {

// The PNG file bytes of surface.
std::string EncodePng(const TSurface& surface);
// Writes the file through a temporary beside it, so a failure never leaves
// half a picture; EFCreateError when the folder is not writable.
void SavePng(const TSurface& surface, const std::string& path);

}  // namespace corvida
