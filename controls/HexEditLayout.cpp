#include "controls/HexEditLayout.h"

#include "controls/HexDump.h"

#include <algorithm>

namespace orvanel {

void CHexEditLayout::Compute(const HexEditLayoutInput& in)
{
    HexEditGeometry& g = m_g;
    g.charWidth = std::max<uint32_t>(in.charWidth, 1);
    g.lineHeight = std::max<uint32_t>(in.lineHeight, 1);

    const int margin = static_cast<int>(in.margin);
    g.dataLeft = margin;
    g.dataTop = margin;
    g.dataRight = std::max(in.clientWidth - margin, g.dataLeft);
    g.dataBottom = std::max(in.clientHeight - margin, g.dataTop);

    const uint32_t dataHeight = static_cast<uint32_t>(g.dataBottom - g.dataTop);
    g.fullRows = dataHeight / g.lineHeight;
    const uint32_t remainder = dataHeight % g.lineHeight;
    g.visibleRows = remainder == 0 ? g.fullRows : g.fullRows + 1;
    g.lastRowHeight = remainder == 0 ? g.lineHeight : remainder;

    g.bytesPerRow = std::max<uint32_t>(in.bytesPerRow, 1);
    g.rows = (in.dataLength + g.bytesPerRow - 1) / g.bytesPerRow;
    const uint64_t highestAddress = g.rows > 0 ? (g.rows - 1) * g.bytesPerRow : 0;
    g.addressDigits = AddressDigitsFor(highestAddress, in.addressDigits);

    g.addressX = 0;
    g.addressWidth = g.addressDigits * g.charWidth;
    g.addressSpan = in.showAddress ? g.addressWidth + in.addressGap : 0;
    g.hexX = g.addressX + g.addressSpan;
    g.hexWidth = (3 * g.bytesPerRow - 1) * g.charWidth;
    g.hexSpan = g.hexWidth + in.hexAsciiGap;
    uint64_t totalWidth = uint64_t(g.hexX) + g.hexWidth;
    if (in.showAscii) {
        g.charX = g.hexX + g.hexSpan;
        g.charColumnWidth = g.bytesPerRow * g.charWidth;
        totalWidth = uint64_t(g.charX) + g.charColumnWidth;
    } else {
        g.charX = 0;
        g.charColumnWidth = 0;
    }

    g.maxScrollRow = g.rows > g.fullRows ? ClampToPosition(int64_t(g.rows - g.fullRows)) : 0;
    const uint64_t dataWidth = static_cast<uint64_t>(g.dataRight - g.dataLeft);
    g.maxScrollX = totalWidth > dataWidth ? static_cast<uint32_t>(totalWidth - dataWidth) : 0;
}

int CHexEditLayout::ColumnLeft(uint32_t columnX, uint32_t scrollX) const
{
    return static_cast<int>(int64_t(m_g.dataLeft) + columnX - scrollX);
}

HexHit CHexEditLayout::HitTest(int px, int py, uint32_t scrollRow, uint32_t scrollX) const
{
    const HexEditGeometry& g = m_g;
    // Half a character to the right, so that a click on the right half of a digit lands
    // on the next cell.
    int64_t x = int64_t(px) - g.dataLeft + scrollX + g.charWidth / 2;
    int64_t y = int64_t(py) - g.dataTop;
    x = std::clamp<int64_t>(x, g.hexX, int64_t(g.hexX) + g.hexWidth);
    y = std::clamp<int64_t>(y, 0, int64_t(g.visibleRows) * g.lineHeight);
    const int64_t row = y / g.lineHeight;
    const int64_t cell = (x - g.hexX) / g.charWidth;
    const int64_t position = (int64_t(scrollRow) + row) * g.bytesPerRow + cell / 3;
    return {ClampToPosition(position), cell % 3 == 0};
}

HexRect CHexEditLayout::CaretRect(
    uint64_t position, bool highNibble, uint32_t scrollRow, uint32_t scrollX) const
{
    const HexEditGeometry& g = m_g;
    const uint64_t first = uint64_t(scrollRow) * g.bytesPerRow;
    const uint64_t end = (uint64_t(scrollRow) + g.visibleRows) * g.bytesPerRow;
    if (position < first || position >= end)
        return {};
    const uint64_t row = (position - first) / g.bytesPerRow;
    const uint64_t column = (position - first) % g.bytesPerRow;
    int64_t x = ColumnLeft(g.hexX, scrollX) + int64_t(3 * column + (highNibble ? 0 : 1)) * g.charWidth;
    const int64_t y = g.dataTop + int64_t(row * g.lineHeight) + 1;
    int64_t width = g.charWidth;
    const int64_t height = int64_t(row + 1 == g.visibleRows ? g.lastRowHeight : g.lineHeight) - 1;
    if (x + width <= g.dataLeft - 2 || x > g.dataRight)
        return {};
    if (x < g.dataLeft - 2) {
        width += x - g.dataLeft + 2;
        x = g.dataLeft - 2;
    }
    if (x + width > g.dataRight + 2)
        width = g.dataRight - x + 2;
    return {int(x), int(y), int(width), int(height)};
}

HexSpan CHexEditLayout::HexBand(uint32_t first, uint32_t last, uint32_t scrollX) const
{
    const int left = ColumnLeft(m_g.hexX, scrollX);
    const int cw = static_cast<int>(m_g.charWidth);
    return {left + 3 * int(first) * cw, left + (3 * int(last) + 2) * cw + 1};
}

HexSpan CHexEditLayout::CharBand(uint32_t first, uint32_t last, uint32_t scrollX) const
{
    const int left = ColumnLeft(m_g.charX, scrollX);
    const int cw = static_cast<int>(m_g.charWidth);
    return {left + int(first) * cw, left + (int(last) + 1) * cw + 1};
}

uint32_t CHexEditLayout::RowToShow(uint64_t start, uint64_t end, uint32_t scrollRow) const
{
    const int64_t perRow = m_g.bytesPerRow;
    const int64_t first = int64_t(scrollRow) * perRow;
    const int64_t view = int64_t(m_g.fullRows) * perRow;
    const int64_t last = first + view;
    const int64_t s = int64_t(start);
    const int64_t e = int64_t(end);
    if (s <= first && e >= last)
        return scrollRow; // the range covers the view
    if (e - s > view)
        return ClampToPosition(s > first ? s / perRow : (e + perRow - view) / perRow);
    if (s < first)
        return ClampToPosition(s / perRow);
    if (e >= last)
        return ClampToPosition((e + perRow - view) / perRow);
    return scrollRow;
}

// Horizontally the hex column decides: its digits of the range are brought in.
uint32_t CHexEditLayout::ScrollXToShow(uint64_t start, uint64_t end, uint32_t scrollX) const
{
    const HexEditGeometry& g = m_g;
    const int64_t perRow = g.bytesPerRow;
    const int64_t columnLeft = ColumnLeft(g.hexX, scrollX);
    int64_t x1 = columnLeft + 3 * (int64_t(start) % perRow) * g.charWidth;
    int64_t x2 = columnLeft + (3 * (int64_t(end) % perRow) + 2) * g.charWidth;
    if (x1 > x2)
        std::swap(x1, x2);
    if (x1 < g.dataLeft && x2 < g.dataRight)
        return ClampToPosition(scrollX + x1 - g.dataLeft);
    if (x1 > g.dataLeft && x2 >= g.dataRight)
        return ClampToPosition(scrollX + x2 - (g.dataRight - g.dataLeft));
    return scrollX;
}

} // namespace orvanel
