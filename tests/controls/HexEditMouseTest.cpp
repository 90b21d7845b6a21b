#include "tests/controls/HexEditFixture.h"

#include <QSignalSpy>
#include <QWheelEvent>

namespace orvanel::test {
namespace {

using HexEditMouse = HexEditTest;

void SendWheel(QWidget* target, int delta)
{
    const QPointF point(10, 10);
    QWheelEvent wheel(point, target->mapToGlobal(point), QPoint(), QPoint(0, delta),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

TEST_F(HexEditMouse, ClickPlacesCaretOnTheDigitUnderThePointer)
{
    Show(CountingBytes(100));
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x23, false));
    EXPECT_EQ(Edit().GetCaretPosition(), 0x23u);
    EXPECT_FALSE(Edit().IsCaretOnHighNibble());
    EXPECT_FALSE(Edit().HasSelection());

    // The right half of a cell already counts as the next cell: the high digit's right
    // half is the low digit, the separator's right half the next byte.
    const int cw = int(Geometry().charWidth);
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier,
        PointOnByte(0x23) + QPoint(cw - 2, 0));
    EXPECT_EQ(Edit().GetCaretPosition(), 0x23u);
    EXPECT_FALSE(Edit().IsCaretOnHighNibble());
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier,
        PointOnByte(0x23) + QPoint(3 * cw - 2, 0));
    EXPECT_EQ(Edit().GetCaretPosition(), 0x24u);
    EXPECT_TRUE(Edit().IsCaretOnHighNibble());
}

TEST_F(HexEditMouse, ClickInOtherColumnsLandsOnTheRowsEnds)
{
    Show(CountingBytes(100));
    const HexEditGeometry& g = Geometry();
    const int y = PointOnByte(0x20).y();
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier,
        QPoint(g.dataLeft + int(g.charX + 3 * g.charWidth), y));
    EXPECT_EQ(Edit().GetCaretPosition(), 0x2Fu);
    EXPECT_FALSE(Edit().IsCaretOnHighNibble());

    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(g.dataLeft + 2, y));
    EXPECT_EQ(Edit().GetCaretPosition(), 0x20u);
    EXPECT_TRUE(Edit().IsCaretOnHighNibble());
}

TEST_F(HexEditMouse, DoubleClickSelectsExactlyOneByte)
{
    Show(CountingBytes(100));
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x31, false));
    ASSERT_TRUE(Edit().HasSelection());
    EXPECT_EQ(Edit().GetSelectionStart(), 0x31u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x31u);
}

TEST_F(HexEditMouse, DragSelectsFromThePressAndNeedsToLeaveTheThreshold)
{
    Show(CountingBytes(100));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x12));
    QTest::mouseMove(Viewport(), PointOnByte(0x12) + QPoint(1, 0));
    EXPECT_FALSE(Edit().HasSelection());

    QTest::mouseMove(Viewport(), PointOnByte(0x25));
    ASSERT_TRUE(Edit().HasSelection());
    EXPECT_EQ(Edit().GetSelectionStart(), 0x12u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x25u);
    QTest::mouseMove(Viewport(), PointOnByte(0x03));
    EXPECT_EQ(Edit().GetSelectionStart(), 0x03u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x12u);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x03));
    EXPECT_TRUE(Edit().HasSelection());

    // After the release a Shift movement extends from the same anchor.
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Edit().GetSelectionStart(), 0x03u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 0x12u);
    EXPECT_FALSE(Edit().IsCaretOnHighNibble());
}

TEST_F(HexEditMouse, DragAboveTheRowsAutoScrollsUp)
{
    Show(CountingBytes(1000));
    ResizeToRows(10);
    Edit().SetScrollRow(20, true);
    const QPoint start = PointOnByte(20 * 16 + 4);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(Viewport(), QPoint(start.x(), Geometry().dataTop - 12));
    ASSERT_TRUE(Edit().IsAutoScrolling());
    EXPECT_EQ(Edit().GetAutoScrollDirection(), -1);
    EXPECT_EQ(Edit().GetAutoScrollDelay(), 5);  // distance 13, speed 2

    QTest::mouseMove(Viewport(), QPoint(start.x(), Geometry().dataTop - 40));
    EXPECT_EQ(Edit().GetAutoScrollDelay(), 1);  // speed at most 6
    // Above the rows the pointer counts as on the first visible row.
    EXPECT_EQ(Edit().GetSelectionStart(), Edit().GetScrollRow() * 16 + 4);

    QTest::qWait(200);
    EXPECT_LT(Edit().GetScrollRow(), 20u);
    EXPECT_LT(Edit().GetSelectionStart(), 20u * 16);
    EXPECT_EQ(Edit().GetSelectionEnd(), 20u * 16 + 4);

    // Back inside the rows the scrolling stops; below them it runs downwards.
    QTest::mouseMove(Viewport(), start);
    EXPECT_FALSE(Edit().IsAutoScrolling());
    QTest::mouseMove(Viewport(), QPoint(start.x(), Geometry().dataBottom + 4));
    EXPECT_TRUE(Edit().IsAutoScrolling());
    EXPECT_EQ(Edit().GetAutoScrollDirection(), 1);
    EXPECT_EQ(Edit().GetAutoScrollDelay(), 6);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, start);
    EXPECT_FALSE(Edit().IsAutoScrolling());
}

TEST_F(HexEditMouse, WheelScrollsWholeNotchesOnly)
{
    Show(CountingBytes(1000));
    ResizeToRows(10);
    Edit().SetScrollRow(10, true);
    SendWheel(Viewport(), 240);
    EXPECT_EQ(Edit().GetScrollRow(), 8u);
    SendWheel(Viewport(), 60);
    EXPECT_EQ(Edit().GetScrollRow(), 8u);
    SendWheel(Viewport(), -120);
    EXPECT_EQ(Edit().GetScrollRow(), 9u);
    SendWheel(Viewport(), 120 * 50);
    EXPECT_EQ(Edit().GetScrollRow(), 0u);
}

TEST_F(HexEditMouse, ClicksAreReportedOnlyWhenAsked)
{
    Show(CountingBytes(100));
    QSignalSpy pressed(&Edit(), &CHexEditBase::leftButtonPressed);
    QSignalSpy released(&Edit(), &CHexEditBase::leftButtonReleased);
    QSignalSpy doubled(&Edit(), &CHexEditBase::leftButtonDoubleClicked);
    const QPoint point = PointOnByte(0x10);
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_EQ(pressed.count() + released.count(), 0);

    Edit().NotifyMouse = true;
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, point);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(released.count(), 1);
    EXPECT_EQ(pressed.at(0).at(0).toPoint(), point);
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
}  // namespace orvanel::test
