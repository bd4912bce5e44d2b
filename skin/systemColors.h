#pragma once

// The system colours, by the Windows system colour index the interface code is written against
// (2 active caption, 5 window, 12 application workspace, 15 button face, ...). This platform has
// no such table, so these are fixed: the usual light-theme defaults. Colours are 0x00BBGGRR.

#include <cstdint>

// A solid brush: what fills with one colour.
struct SolidBrush {
    std::uint32_t color; // 0x00BBGGRR
};

constexpr int SystemColorCount = 31; // indices 0 (scroll bar) to 30 (menu bar)

constexpr std::uint32_t rgbColor(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return red | green << 8 | blue << 16;
}

// The colour of system colour `index`; 0 (black) for an index outside 0 to 30.
std::uint32_t systemColor(int index);

// The system's brush of colour `index`, alive for the whole process; null for an index outside
// 0 to 30.
const SolidBrush* systemBrush(int index);
