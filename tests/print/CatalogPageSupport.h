#pragma once
// Reading back a picture catalog printed to the PDF printer on Letter paper
// and rendered by pdftoppm at 50 dpi: the ink of each cell's picture and of
// its name.

#include "tests/framework/PpmImage.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace catalogtest {

// Pixels of the rectangle that are not white.
inline int Inked(const fwtest::PpmImage& page, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = std::max(0, top); y < std::min(page.height, bottom); ++y)
        for (int x = std::max(0, left); x < std::min(page.width, right); ++x) {
            const COLORREF c = page.At(x, y);
            n += (GetRValue(c) < 200 || GetGValue(c) < 200 || GetBValue(c) < 200) ? 1 : 0;
        }
    return n;
}

// The printable area starts a quarter inch in and is 400 pixels wide, so a
// column is 133 pixels; a cell is a column's width of picture plus a name
// line of 10 points and a half.
constexpr double kLeft = 12.5, kTop = 12.5, kCellWidth = 400.0 / 3, kNameHeight = 124.0 / 12;
constexpr double kCellHeight = kCellWidth + kNameHeight;

// The picture's and the name's ink of the first nCells cells, three a row.
inline std::vector<std::pair<int, int>> CellInk(const fwtest::PpmImage& page, int nCells)
{
    std::vector<std::pair<int, int>> ink;
    for (int i = 0; i < nCells; ++i) {
        const int left = int(kLeft + (i % 3) * kCellWidth), top = int(kTop + (i / 3) * kCellHeight);
        ink.emplace_back(Inked(page, left + 8, top + 8, int(left + kCellWidth) - 8, int(top + kCellWidth - 8)),
            Inked(page, left + 8, int(top + kCellWidth) + 1, int(left + kCellWidth) - 8, int(top + kCellHeight) - 1));
    }
    return ink;
}

} // namespace catalogtest
