#pragma once
// Geometry of the hex editor in plain numbers: where the rows and the three columns lie for
// a character cell, gaps and a client size, how far the rows can scroll, which byte and
// digit lies under a point, and where the caret and the selection band of a byte go.
// Every figure is in pixels; column positions are relative to the data rectangle's left
// edge before horizontal scrolling unless a function says otherwise.

#include <algorithm>
#include <cstdint>

namespace orvanel {

// What the layout is computed from.
struct HexEditLayoutInput {
    uint32_t charWidth = 1; // advance of one character cell
    uint32_t lineHeight = 1;
    int clientWidth = 0;
    int clientHeight = 0;
    uint32_t margin = 5;        // between the client edge and the data rectangle
    uint32_t bytesPerRow = 16;  // 0 counts as 1
    uint32_t addressDigits = 8; // the fewest digits an address shows
    uint32_t addressGap = 5;
    uint32_t hexAsciiGap = 5;
    bool showAddress = false;
    bool showAscii = false;
    uint64_t dataLength = 0;
};

struct HexEditGeometry {
    uint32_t fullRows = 0;      // rows that fit completely
    uint32_t lastRowHeight = 0; // height of a partly visible bottom row, else lineHeight
    uint32_t visibleRows = 0;   // full rows plus a partly visible one
    uint32_t lineHeight = 0;
    uint32_t charWidth = 0;
    uint32_t bytesPerRow = 0;
    uint32_t addressDigits = 0; // digits of every address: enough for the highest one
    uint32_t addressX = 0;
    uint32_t addressWidth = 0; // the address column without its gap
    uint32_t addressSpan = 0;  // address column width plus the address gap, 0 when off
    uint32_t hexX = 0;
    uint32_t hexWidth = 0; // the hex column without its gap
    uint32_t hexSpan = 0;  // hex column width plus the hex-to-character gap
    uint32_t charX = 0;    // 0 when the character column is off
    uint32_t charColumnWidth = 0;
    // The data rectangle: the client rectangle less the margin on every side, right and
    // bottom exclusive.
    int dataLeft = 0;
    int dataTop = 0;
    int dataRight = 0;
    int dataBottom = 0;
    uint64_t rows = 0; // rows of data
    uint32_t maxScrollRow = 0;
    uint32_t maxScrollX = 0;
};

// A byte position, which may lie past the last byte, and the digit of it.
struct HexHit {
    uint32_t position = 0;
    bool highNibble = true;
};

// A rectangle in client pixels; empty when its width is 0.
struct HexRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A horizontal run of pixels [left, right) in client pixels.
struct HexSpan {
    int left = 0;
    int right = 0;
};

// Marks a missing position: no selection end, no drag anchor.
inline constexpr uint32_t kNoPosition = 0xFFFFFFFF;

// A byte position or scroll offset limited to the positions that can exist.
inline uint32_t ClampToPosition(int64_t value)
{
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, kNoPosition - 1));
}

class CHexEditLayout {
public:
    void Compute(const HexEditLayoutInput& input);
    const HexEditGeometry& Geometry() const { return m_g; }

    // Client x of a column's left edge at the given horizontal scroll.
    int ColumnLeft(uint32_t columnX, uint32_t scrollX) const;
    // The byte and digit under a client point. Points left or right of the hex column
    // land on the row's first or last digit, points above or below the rows on the first
    // or last visible row.
    HexHit HitTest(int x, int y, uint32_t scrollRow, uint32_t scrollX) const;
    // The caret block over a digit, reaching at most 2 pixels into the side margins;
    // empty when the digit is not on screen.
    HexRect CaretRect(uint64_t position, bool highNibble, uint32_t scrollRow, uint32_t scrollX) const;
    // The selection band over the cells [first, last] of a row, from the first cell's left
    // edge to one pixel past the last cell's right edge.
    HexSpan HexBand(uint32_t first, uint32_t last, uint32_t scrollX) const;
    HexSpan CharBand(uint32_t first, uint32_t last, uint32_t scrollX) const;
    // The scroll row and scroll x that bring the byte range [start, end] into view; the
    // current ones when it is in view already.
    uint32_t RowToShow(uint64_t start, uint64_t end, uint32_t scrollRow) const;
    uint32_t ScrollXToShow(uint64_t start, uint64_t end, uint32_t scrollX) const;

private:
    HexEditGeometry m_g;
};

} // namespace orvanel
