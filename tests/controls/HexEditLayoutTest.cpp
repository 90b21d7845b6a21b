#include "tests/controls/HexEditFixture.h"

#include <QFontInfo>
#include <QScrollBar>

namespace orvanel::test {
namespace {

using HexEditLayout = HexEditTest;

TEST_F(HexEditLayout, PartialBottomRowHasItsOwnHeight)
{
    Show(CountingBytes(1000));
    ResizeToRows(10, 3);
    EXPECT_EQ(Geometry().fullRows, 10u);
    EXPECT_EQ(Geometry().visibleRows, 11u);
    EXPECT_EQ(Geometry().lastRowHeight, 3u);

    ResizeToRows(10);
    EXPECT_EQ(Geometry().fullRows, 10u);
    EXPECT_EQ(Geometry().visibleRows, 10u);
    EXPECT_EQ(Geometry().lastRowHeight, Geometry().lineHeight);
}

TEST_F(HexEditLayout, VerticalBarOnlyWhenRowsDoNotFit)
{
    Show(CountingBytes(100));  // 7 rows
    ResizeToRows(8);
    EXPECT_FALSE(Edit().verticalScrollBar()->isVisible());
    EXPECT_EQ(Geometry().maxScrollRow, 0u);
    EXPECT_EQ(Edit().GetScrollRow(), 0u);

    ResizeToRows(4);
    QScrollBar* bar = Edit().verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(Geometry().maxScrollRow, 3u);
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->pageStep(), 4);

    ResizeToRows(8);
    EXPECT_FALSE(Edit().verticalScrollBar()->isVisible());
}

TEST_F(HexEditLayout, ThirtyThreeBytesMakeThreeRows)
{
    Show(CountingBytes(33));
    ResizeToRows(1);
    EXPECT_EQ(Geometry().maxScrollRow, 2u);
}

TEST_F(HexEditLayout, ScrollRowIsClampedToTheMaximum)
{
    Show(CountingBytes(1000));  // 63 rows
    ResizeToRows(10);
    Edit().SetScrollRow(500, true);
    EXPECT_EQ(Edit().GetScrollRow(), 53u);
    EXPECT_EQ(Edit().verticalScrollBar()->value(), 53);

    // Growing the window lowers the row with the maximum.
    ResizeToRows(60);
    EXPECT_EQ(Edit().GetScrollRow(), 3u);
}

TEST_F(HexEditLayout, EmptyDataHidesTheBarAndTheCaret)
{
    Show(CountingBytes(1000));
    ResizeToRows(5);
    EXPECT_TRUE(Edit().verticalScrollBar()->isVisible());
    EXPECT_FALSE(Edit().GetCaretRect().isEmpty());

    const uint8_t none = 0;
    Edit().SetData(&none, 0, true);
    Viewport()->repaint();
    Settle();
    EXPECT_FALSE(Edit().verticalScrollBar()->isVisible());
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
}

TEST_F(HexEditLayout, CaretIsDestroyedOffScreenAndWithoutFocus)
{
    Show(CountingBytes(1000));
    ResizeToRows(10);
    Edit().PlaceCaret(0x21, false);
    const QRect caret = Edit().GetCaretRect();
    const HexEditGeometry& g = Geometry();
    EXPECT_EQ(caret.left(), g.dataLeft + int(g.hexX + 4 * g.charWidth));
    EXPECT_EQ(caret.top(), g.dataTop + int(2 * g.lineHeight) + 1);
    EXPECT_EQ(caret.width(), int(g.charWidth));
    EXPECT_EQ(caret.height(), int(g.lineHeight) - 1);

    Edit().SetScrollRow(5, true);
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
    Edit().SetScrollRow(0, true);
    EXPECT_EQ(Edit().GetCaretRect(), caret);

    Edit().clearFocus();
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
    Edit().SetScrollRow(1, true);
    Edit().SetScrollRow(0, true);
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
    Edit().setFocus();
    EXPECT_EQ(Edit().GetCaretRect(), caret);
}

TEST_F(HexEditLayout, OnlyFixedPitchFontsAreTaken)
{
    Show(CountingBytes(100));
    const QFont original = Edit().GetFont();
    const uint32_t lineHeight = Geometry().lineHeight;

    QFont proportional(QStringLiteral("DejaVu Sans"));
    proportional.setPixelSize(30);
    ASSERT_FALSE(QFontInfo(proportional).fixedPitch());
    EXPECT_FALSE(Edit().SetFont(proportional, true));
    Edit().setFont(proportional);
    Viewport()->repaint();
    EXPECT_EQ(Edit().GetFont(), original);
    EXPECT_EQ(Geometry().lineHeight, lineHeight);

    QFont larger = original;
    larger.setPixelSize(30);
    EXPECT_TRUE(Edit().SetFont(larger, true));
    Viewport()->repaint();
    EXPECT_GT(Geometry().lineHeight, lineHeight);
}

TEST_F(HexEditLayout, NarrowWindowScrollsSidewaysToTheCaret)
{
    Show(CountingBytes(96), 300, 200);
    const HexEditGeometry& g = Geometry();
    EXPECT_TRUE(Edit().horizontalScrollBar()->isVisible());
    const uint32_t total = g.charX + g.charColumnWidth;
    EXPECT_EQ(g.maxScrollX, total - uint32_t(g.dataRight - g.dataLeft));

    Key(Qt::Key_End);
    EXPECT_GT(Edit().GetScrollX(), 0u);
    QRect caret = Edit().GetCaretRect();
    ASSERT_FALSE(caret.isEmpty());
    EXPECT_LE(caret.right(), g.dataRight);

    // Back at the first byte the hex column starts at the left edge.
    Key(Qt::Key_Home);
    EXPECT_EQ(Edit().GetScrollX(), g.hexX);
    caret = Edit().GetCaretRect();
    EXPECT_EQ(caret.left(), g.dataLeft);
}

TEST_F(HexEditLayout, ScrollBarsStepByLinesAndPages)
{
    Show(CountingBytes(1000), 300, 200);
    ResizeToRows(10);
    QScrollBar* vertical = Edit().verticalScrollBar();
    const uint32_t page = Geometry().fullRows;
    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Edit().GetScrollRow(), page);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Edit().GetScrollRow(), page - 1);
    // Jumps to the ends are not among the bar's moves; the bar stays on the row.
    vertical->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Edit().GetScrollRow(), page - 1);
    EXPECT_EQ(vertical->value(), int(page - 1));
    vertical->setSliderPosition(30);
    EXPECT_EQ(Edit().GetScrollRow(), 30u);

    QScrollBar* horizontal = Edit().horizontalScrollBar();
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Edit().GetScrollX(), Geometry().charWidth);
    horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Edit().GetScrollX(), Geometry().maxScrollX);
}

}  // namespace
}  // namespace orvanel::test
