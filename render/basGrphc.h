#pragma once

#include <cstdint>

#include "platform/Gdi.h"

// A work surface: a memory context with a bitmap of the given size in the
// reference context's format selected into it.
void CreateWorkBitmap(gdi::HDC referenceDC, std::int32_t width, std::int32_t height,
                      gdi::HDC& workDC, gdi::HBITMAP& workBitmap);

// Releases a work surface, the context first; handles of 0 are skipped.
void DeleteWorkBitmap(gdi::HDC workDC, gdi::HBITMAP workBitmap);
