#include "controls/HexEditLayout.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

// Cells of 8 x 10 pixels, the columns as the main window sets them: 4 address digits,
// 20-pixel gaps. The hex column then starts at 52 and is 376 wide, the character column
// starts at 448 and ends at 576.
CHexEditLayout Layout(int width, int height, uint64_t length, bool columns = true)
{
    CHexEditLayout layout;
    layout.Compute({.charWidth = 8,
        .lineHeight = 10,
        .clientWidth = width,
        .clientHeight = height,
        .addressDigits = 4,
        .addressGap = 20,
        .hexAsciiGap = 20,
        .showAddress = columns,
        .showAscii = columns,
        .dataLength = length});
    return layout;
}

TEST(HexEditLayout, RowsColumnsAndScrollRanges)
{
    struct Case {
        int width, height;
        uint64_t length;
        bool columns;
        uint32_t fullRows, visibleRows, lastRowHeight, maxScrollRow, digits, hexX, charX, maxX;
    };
    const Case cases[] = {
        {586, 110, 1000, true, 10, 10, 10, 53, 4, 52, 448, 0},      // height a multiple of rows
        {586, 113, 1000, true, 10, 11, 3, 53, 4, 52, 448, 0},       // a partly visible row
        {586, 20, 33, true, 1, 1, 10, 2, 4, 52, 448, 0},            // 33 bytes make 3 rows
        {586, 110, 100, true, 10, 10, 10, 0, 4, 52, 448, 0},        // all rows fit
        {500, 110, 100, true, 10, 10, 10, 0, 4, 52, 448, 86},       // too narrow by 86
        {300, 110, 100, false, 10, 10, 10, 0, 4, 0, 0, 86},         // hex column alone
        {586, 110, 0x10000, true, 10, 10, 10, 4086, 4, 52, 448, 0}, // last row 0xFFF0
        {586, 110, 0x10001, true, 10, 10, 10, 4087, 5, 60, 456, 8}, // last row 0x10000
        {4, 4, 100, true, 0, 0, 10, 7, 4, 52, 448, 576},            // smaller than the margins
        {586, 110, 0, true, 10, 10, 10, 0, 4, 52, 448, 0},          // no data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.length);
        const HexEditGeometry g = Layout(c.width, c.height, c.length, c.columns).Geometry();
        EXPECT_EQ(g.fullRows, c.fullRows);
        EXPECT_EQ(g.visibleRows, c.visibleRows);
        EXPECT_EQ(g.lastRowHeight, c.lastRowHeight);
        EXPECT_EQ(g.maxScrollRow, c.maxScrollRow);
        EXPECT_EQ(g.addressDigits, c.digits);
        EXPECT_EQ(g.hexX, c.hexX);
        EXPECT_EQ(g.charX, c.charX);
        EXPECT_EQ(g.maxScrollX, c.maxX);
    }
}

TEST(HexEditLayout, HitTestFindsTheDigitUnderThePoint)
{
    // The hex column's left edge is at 57 on screen; byte c's high digit at 57 + 24c.
    struct Case {
        int x, y;
        uint32_t scrollRow, scrollX, position;
        bool highNibble;
    };
    const Case cases[] = {
        {58, 10, 0, 0, 0, true}, {66, 10, 0, 0, 0, false},
        {62, 10, 0, 0, 0, false},     // right half of a digit: the next cell
        {78, 10, 0, 0, 1, true},      // right half of the separator: the next byte
        {58, 28, 2, 0, 0x40, true},   // third row, scrolled by 2
        {10, 28, 0, 0, 0x20, true},   // left of the hex column: the row's first digit
        {500, 28, 0, 0, 0x2F, false}, // right of it: the row's last digit
        {58, -50, 0, 0, 0, true},     // above the rows: the first row
        {58, 1000, 0, 0, 0xA0, true}, // below them: the row after the last visible one
        {58, 10, 0, 16, 0, false},    // scrolled sideways by two cells
    };
    const CHexEditLayout layout = Layout(586, 110, 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        const HexHit hit = layout.HitTest(c.x, c.y, c.scrollRow, c.scrollX);
        EXPECT_EQ(hit.position, c.position);
        EXPECT_EQ(hit.highNibble, c.highNibble);
    }
}

TEST(HexEditLayout, ScrollsJustFarEnoughToShowARange)
{
    struct Case {
        int width;
        uint64_t start, end;
        uint32_t scrollRow, scrollX, row, x;
    };
    // Ten full rows of 16 bytes; the 300-pixel client shows 290 pixels of the columns.
    const Case cases[] = {
        {586, 20, 20, 0, 0, 0, 0},    // in view already
        {586, 200, 200, 0, 0, 3, 0},  // below: it becomes the last full row
        {586, 20, 20, 5, 0, 1, 0},    // above: it becomes the first row
        {586, 200, 600, 0, 0, 12, 0}, // longer than the view: from its start
        {586, 0, 200, 5, 0, 3, 0},    // longer, starting above: up to its end
        {586, 0, 999, 5, 0, 5, 0},    // covering the view: no move
        {300, 15, 15, 0, 0, 0, 143},  // right of the view: its last digit at the edge
        {300, 0, 0, 0, 143, 0, 52},   // left of it: the hex column at the edge
        {300, 3, 3, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "-" << c.end);
        const CHexEditLayout layout = Layout(c.width, 110, 1000);
        EXPECT_EQ(layout.RowToShow(c.start, c.end, c.scrollRow), c.row);
        EXPECT_EQ(layout.ScrollXToShow(c.start, c.end, c.scrollX), c.x);
    }
}

} // namespace
} // namespace orvanel
