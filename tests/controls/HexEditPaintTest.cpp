#include "tests/controls/HexEditFixture.h"

#include <QImage>

#include <map>

namespace orvanel::test {
namespace {

const QColor kBackground(200, 200, 200);
const QColor kAddressBack(250, 220, 220);
const QColor kHexBack(220, 250, 220);
const QColor kCharBack(220, 220, 250);
const QColor kActiveBack(10, 60, 200);
const QColor kInactiveBack(120, 120, 40);

class HexEditPaint : public HexEditTest
{
protected:
    void ShowColoured(const std::vector<uint8_t>& bytes)
    {
        Show(bytes);
        CHexEditBase& edit = Edit();
        edit.SetBackgroundColour(kBackground, true);
        edit.SetAddressColours(kAddressBack, Qt::black, true);
        edit.SetHexColours(kHexBack, Qt::black, true);
        edit.SetAsciiColours(kCharBack, Qt::black, true);
        edit.SetActiveSelectionColours(Qt::white, kActiveBack, true);
        edit.SetInactiveSelectionColours(kInactiveBack, Qt::white, true);
    }

    QImage Grab() { return Viewport()->grab().toImage(); }

    // The screen rectangle of cellCount character cells of a row, from firstCell on, in
    // the column that starts at columnX.
    QRect Cells(uint32_t columnX, uint32_t firstCell, uint32_t cellCount, uint32_t row)
    {
        const HexEditGeometry& g = Geometry();
        return QRect(g.dataLeft + int(columnX + firstCell * g.charWidth),
            g.dataTop + int(row * g.lineHeight), int(cellCount * g.charWidth), int(g.lineHeight));
    }
};

// The colour most pixels of the rectangle have: the background behind the text.
QColor Dominant(const QImage& image, const QRect& rect)
{
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    const auto most = std::max_element(counts.begin(), counts.end(),
        [](const auto& a, const auto& b) { return a.second < b.second; });
    return QColor(most->first);
}

TEST_F(HexEditPaint, ColumnsHaveTheirOwnBackgrounds)
{
    ShowColoured(CountingBytes(100));
    const HexEditGeometry& g = Geometry();
    const QImage image = Grab();
    EXPECT_EQ(Dominant(image, Cells(g.addressX, 0, 4, 1)), kAddressBack);
    EXPECT_EQ(Dominant(image, Cells(g.hexX, 0, 47, 1)), kHexBack);
    EXPECT_EQ(Dominant(image, Cells(g.charX, 0, 16, 1)), kCharBack);
    // The gaps, the margin and the space below the last row.
    EXPECT_EQ(Dominant(image, Cells(g.hexX - 20, 0, 0, 1).adjusted(0, 0, 18, 0)), kBackground);
    EXPECT_EQ(image.pixelColor(2, 2), kBackground);
    EXPECT_EQ(Dominant(image, Cells(g.hexX + 47 * g.charWidth, 0, 0, 1).adjusted(0, 0, 18, 0)),
        kBackground);
    // Columns reach down to the bottom of the data rectangle, below the last row too.
    EXPECT_EQ(Dominant(image, Cells(g.hexX, 12, 30, 6)), kHexBack);
    EXPECT_EQ(Dominant(image, Cells(g.charX, 0, 16, 9)), kCharBack);
}

TEST_F(HexEditPaint, SelectionBandCoversSelectedDigitsInFocusColours)
{
    ShowColoured(CountingBytes(100));
    ASSERT_TRUE(Edit().SetSelection(0x14, 0x17, false, true));
    const HexEditGeometry& g = Geometry();
    const QRect hexBand = Cells(g.hexX, 3 * 4, 3 * 3 + 2, 1).adjusted(0, 1, 0, 0);
    const QRect charBand = Cells(g.charX, 4, 4, 1).adjusted(0, 1, 0, 0);

    QImage image = Grab();
    EXPECT_EQ(Dominant(image, hexBand), kActiveBack);
    EXPECT_EQ(Dominant(image, charBand), kActiveBack);
    // One pixel past the last digit is still band, the top line of the row is not.
    EXPECT_EQ(image.pixelColor(hexBand.right() + 1, hexBand.center().y()), kActiveBack);
    EXPECT_EQ(image.pixelColor(hexBand.center().x(), hexBand.top() - 1), kHexBack);
    EXPECT_EQ(Dominant(image, Cells(g.hexX, 0, 11, 1)), kHexBack);
    EXPECT_EQ(Dominant(image, Cells(g.hexX, 3 * 4, 11, 2)), kHexBack);

    Edit().clearFocus();
    image = Grab();
    EXPECT_EQ(Dominant(image, hexBand), kInactiveBack);
    EXPECT_EQ(Dominant(image, charBand), kInactiveBack);
}

TEST_F(HexEditPaint, UnprintableBytesLookLikeDotsAndSpaceIsBlank)
{
    ShowColoured({0x7F, 0x80, 0x1F, '.', 0x20, 'A'});
    const HexEditGeometry& g = Geometry();
    const QImage image = Grab();
    const QImage dot = image.copy(Cells(g.charX, 3, 1, 0));
    EXPECT_EQ(image.copy(Cells(g.charX, 0, 1, 0)), dot);
    EXPECT_EQ(image.copy(Cells(g.charX, 1, 1, 0)), dot);
    EXPECT_EQ(image.copy(Cells(g.charX, 2, 1, 0)), dot);
    EXPECT_NE(image.copy(Cells(g.charX, 5, 1, 0)), dot);

    QImage blank(dot.size(), dot.format());
    blank.fill(kCharBack);
    EXPECT_EQ(image.copy(Cells(g.charX, 4, 1, 0)), blank);
    EXPECT_NE(dot, blank);
}

TEST_F(HexEditPaint, APaintFormatsOnlyTheVisibleRows)
{
    Show(std::vector<uint8_t>(1 << 20, 0x5A));
    ResizeToRows(20, 5);
    const uint32_t visible = Geometry().visibleRows;
    ASSERT_EQ(visible, 21u);

    uint64_t before = Edit().GetFormattedRowCount();
    Viewport()->repaint();
    EXPECT_EQ(Edit().GetFormattedRowCount() - before, visible);

    Edit().ScrollRowsBy(1, true);
    before = Edit().GetFormattedRowCount();
    Viewport()->repaint();
    EXPECT_EQ(Edit().GetFormattedRowCount() - before, visible);
}

}  // namespace
}  // namespace orvanel::test
