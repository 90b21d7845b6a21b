#include "tests/controls/HexEditFixture.h"

#include <QScrollBar>
#include <QSignalSpy>

namespace orvanel::test {
namespace {

using HexEditInput = HexEditTest;

TEST_F(HexEditInput, KeysMoveTheCaretAndShiftSelects)
{
    Show(CountingBytes(1000));
    ResizeToRows(10, 4); // 10 full rows and a partly visible one
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* caret;
        uint32_t selStart, selEnd, scrollRow;
    };
    const uint32_t none = kNoPosition;
    const Step steps[] = {
        {Qt::Key_End, {}, "999 low", none, none, 53},
        {Qt::Key_Right, {}, "999 low", none, none, 53},
        {Qt::Key_Home, {}, "0 high", none, none, 0},
        {Qt::Key_Left, {}, "0 high", none, none, 0},
        {Qt::Key_Right, {}, "0 low", none, none, 0},
        {Qt::Key_Right, {}, "1 high", none, none, 0},
        {Qt::Key_Left, {}, "0 low", none, none, 0},
        {Qt::Key_Right, Qt::ShiftModifier, "1 high", 0, 1, 0},
        {Qt::Key_Down, Qt::ShiftModifier, "17 high", 0, 17, 0},
        {Qt::Key_Right, {}, "17 low", none, none, 0},
        {Qt::Key_PageDown, {}, "177 low", none, none, 2}, // the page is 10 rows
        {Qt::Key_PageUp, {}, "17 low", none, none, 1},
        {Qt::Key_Up, {}, "1 low", none, none, 0},
        {Qt::Key_Up, Qt::ShiftModifier, "0 high", 0, 1, 0}, // stops at the first byte
        {Qt::Key_A, Qt::ControlModifier, "0 high", 0, 999, 0},
    };
    for (const Step& step : steps) {
        Key(step.key, step.modifiers);
        EXPECT_EQ(Caret(), step.caret);
        EXPECT_EQ(Edit().GetSelectionStart(), step.selStart) << step.caret;
        EXPECT_EQ(Edit().GetSelectionEnd(), step.selEnd) << step.caret;
        EXPECT_EQ(Edit().GetScrollRow(), step.scrollRow) << step.caret;
    }
}

TEST_F(HexEditInput, TypingOverwritesDigitsUnlessReadOnly)
{
    Show(CountingBytes(100));
    QSignalSpy changes(&Edit(), &CHexEditBase::changed);
    Edit().PlaceCaret(10, true);
    QTest::keyClicks(&Edit(), "ab");
    EXPECT_EQ(Edit().GetData()[10], 10);
    EXPECT_EQ(Caret(), "10 high");

    Edit().SetReadOnly(false, true);
    QTest::keyClicks(&Edit(), "aF3");
    EXPECT_EQ(Edit().GetData()[10], 0xAF);
    EXPECT_EQ(Edit().GetData()[11], 0x3B);
    EXPECT_EQ(Caret(), "11 low");
    EXPECT_EQ(changes.count(), 3);
    // Not a hex digit, or a digit with Ctrl: nothing changes; Backspace never deletes.
    QTest::keyClicks(&Edit(), "g");
    QTest::keyClick(&Edit(), '5', Qt::ControlModifier);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Edit().GetData()[11], 0x3B);
    // At the last byte the caret stays on its low digit.
    Key(Qt::Key_End);
    QTest::keyClicks(&Edit(), "12");
    EXPECT_EQ(Edit().GetData()[99], 0x62);
    EXPECT_EQ(Caret(), "99 low");
    EXPECT_EQ(Edit().GetData().size(), 100u);
}

TEST_F(HexEditInput, ClicksAndDragsSelectAndAreReportedWhenAsked)
{
    Show(CountingBytes(100));
    QSignalSpy pressed(&Edit(), &CHexEditBase::leftButtonPressed);
    QSignalSpy released(&Edit(), &CHexEditBase::leftButtonReleased);
    QSignalSpy doubled(&Edit(), &CHexEditBase::leftButtonDoubleClicked);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, PointOnByte(0x23, false));
    EXPECT_EQ(Caret(), "35 low");
    EXPECT_EQ(pressed.count() + released.count(), 0);

    Edit().NotifyMouse = true;
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, PointOnByte(0x12));
    QTest::mouseMove(Viewport(), PointOnByte(0x12) + QPoint(1, 0));
    EXPECT_FALSE(Edit().HasSelection()); // not out of the drag threshold yet
    QTest::mouseMove(Viewport(), PointOnByte(0x25));
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x25u);
    QTest::mouseMove(Viewport(), PointOnByte(0x03));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, PointOnByte(0x03));
    EXPECT_EQ(Edit().GetSelectionStart(), 0x03u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x12u);
    EXPECT_EQ(released.count(), 1);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toPoint(), PointOnByte(0x12));
    // A Shift movement after the release extends from the same anchor.
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Edit().GetSelectionStart(), 0x03u);
    EXPECT_EQ(Caret(), "3 low");

    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, PointOnByte(0x31, false));
    EXPECT_EQ(Edit().GetSelectionStart(), 0x31u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x31u);
    EXPECT_EQ(doubled.count(), 1);
}

TEST_F(HexEditInput, DragOutsideTheRowsAutoScrollsUntilItComesBack)
{
    Show(CountingBytes(1000));
    ResizeToRows(10);
    Edit().SetScrollRow(20, true);
    const QPoint start = PointOnByte(20 * 16 + 4);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(Viewport(), QPoint(start.x(), Geometry().dataTop - 40));
    QTest::qWait(200);
    EXPECT_LT(Edit().GetScrollRow(), 20u);
    EXPECT_EQ(Edit().GetSelectionStart(), Edit().GetScrollRow() * 16 + 4);
    EXPECT_EQ(Edit().GetSelectionEnd(), 20u * 16 + 4);

    QTest::mouseMove(Viewport(), QPoint(start.x(), Geometry().dataBottom + 4));
    const uint32_t highest = Edit().GetScrollRow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Edit().GetScrollRow() > highest; }, 5000));
    QTest::mouseMove(Viewport(), start);
    const uint32_t back = Edit().GetScrollRow();
    QTest::qWait(100);
    EXPECT_EQ(Edit().GetScrollRow(), back);
}

TEST_F(HexEditInput, ScrollBarsFollowTheRowsAndColumns)
{
    Show(CountingBytes(1000), 300, 200); // 63 rows, too wide for the window
    QScrollBar* vertical = Edit().verticalScrollBar();
    ResizeToRows(70);
    EXPECT_FALSE(vertical->isVisible());
    ResizeToRows(10); // less the horizontal bar
    const int page = int(Geometry().fullRows);
    ASSERT_TRUE(vertical->isVisible());
    EXPECT_EQ(vertical->maximum(), 63 - page);
    EXPECT_EQ(vertical->pageStep(), page);

    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Edit().GetScrollRow(), uint32_t(page - 1));
    vertical->setSliderPosition(30);
    EXPECT_EQ(Edit().GetScrollRow(), 30u);
    Edit().SetScrollRow(500, true);
    EXPECT_EQ(vertical->value(), 63 - page);
    ResizeToRows(60); // growing lowers the row with the maximum
    EXPECT_EQ(Edit().GetScrollRow(), 63 - Geometry().fullRows);

    QScrollBar* horizontal = Edit().horizontalScrollBar();
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Edit().GetScrollX(), Geometry().charWidth);

    Edit().SetData(nullptr, 0, true);
    Viewport()->repaint();
    Settle();
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
}

} // namespace
} // namespace orvanel::test
