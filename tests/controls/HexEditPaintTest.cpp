#include "tests/controls/HexEditFixture.h"

#include <QImage>

#include <map>

namespace orvanel::test {
namespace {

const QColor kAddressBack(250, 220, 220);
const QColor kHexBack(220, 250, 220);
const QColor kCharBack(220, 220, 250);
const QColor kActiveBack(10, 60, 200);
const QColor kInactiveBack(120, 120, 40);

class HexEditPaint : public HexEditTest {
protected:
    // cellCount character cells of a row from firstCell on, in the column at columnX.
    QRect Cells(uint32_t columnX, uint32_t firstCell, uint32_t cellCount, uint32_t row)
    {
        const HexEditGeometry& g = Geometry();
        return QRect(g.dataLeft + int(columnX + firstCell * g.charWidth), g.dataTop + int(row * g.lineHeight),
            int(cellCount * g.charWidth), int(g.lineHeight));
    }
};

// The colour most pixels of the rectangle have: the background behind the text.
QColor Dominant(const QImage& image, const QRect& rect)
{
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    return QColor(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
    })->first);
}

TEST_F(HexEditPaint, ColumnsAndTheSelectionBandHaveTheirColours)
{
    Show(CountingBytes(100));
    Edit().SetAddressColours(kAddressBack, Qt::black, true);
    Edit().SetHexColours(kHexBack, Qt::black, true);
    Edit().SetAsciiColours(kCharBack, Qt::black, true);
    Edit().SetActiveSelectionColours(Qt::white, kActiveBack, true);
    Edit().SetInactiveSelectionColours(kInactiveBack, Qt::white, true);
    ASSERT_TRUE(Edit().SetSelection(0x1C, 0x23, false, true));
    const HexEditGeometry& g = Geometry();
    struct Case {
        QRect rect;
        QColor colour;
    };
    const Case cases[] = {
        {Cells(g.addressX, 0, 4, 0), kAddressBack},
        {Cells(g.hexX, 0, 47, 0), kHexBack},
        {Cells(g.charX, 0, 16, 0), kCharBack},
        // The band: its last cell of a row, one pixel past it, and the first of the next.
        {Cells(g.hexX, 3 * 12, 11, 1).adjusted(0, 1, 0, 0), kActiveBack},
        {Cells(g.hexX, 47, 0, 1).adjusted(0, 1, 1, 0), kActiveBack},
        {Cells(g.charX, 16, 0, 1).adjusted(0, 1, 1, 0), kActiveBack},
        {Cells(g.charX, 0, 4, 2).adjusted(0, 1, 0, 0), kActiveBack},
        {Cells(g.hexX, 3 * 12, 11, 1).adjusted(0, 0, 0, 1 - int(g.lineHeight)), kHexBack},
        {Cells(g.hexX, 12, 3, 2), kHexBack},
    };
    QImage image = Viewport()->grab().toImage();
    for (const Case& c : cases)
        EXPECT_EQ(Dominant(image, c.rect), c.colour) << c.rect.x() << "," << c.rect.y();

    Edit().clearFocus();
    image = Viewport()->grab().toImage();
    EXPECT_EQ(Dominant(image, cases[3].rect), kInactiveBack);
}

} // namespace
} // namespace orvanel::test
