#include "basGrphc.h"

void CreateWorkBitmap(gdi::HDC referenceDC, std::int32_t width, std::int32_t height,
                      gdi::HDC& workDC, gdi::HBITMAP& workBitmap) {
    workDC = gdi::CreateCompatibleDC(referenceDC);
    workBitmap = gdi::CreateCompatibleBitmap(referenceDC, width, height);
    gdi::SelectObject(workDC, workBitmap);
}

void DeleteWorkBitmap(gdi::HDC workDC, gdi::HBITMAP workBitmap) {
    if (workDC != 0)
        gdi::DeleteDC(workDC);
    if (workBitmap != 0)
        gdi::DeleteObject(workBitmap);
}
