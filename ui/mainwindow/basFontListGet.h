#pragma once

#include <cstdint>

class QListWidget;

namespace engine::text {
struct FontFamily;
}

// Fills the list with the installed outline font families, in the system's order.
void FillFontList(QListWidget& list);

// Called once per family; adds outline families to the list. Always goes on (1).
std::int32_t EnumFontProc(const engine::text::FontFamily& family, QListWidget& list);
