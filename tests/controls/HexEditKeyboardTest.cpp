#include "tests/controls/HexEditFixture.h"

#include <QSignalSpy>

namespace orvanel::test {
namespace {

using HexEditKeyboard = HexEditTest;

TEST_F(HexEditKeyboard, HomeEndLeftRightStopAtBothEnds)
{
    Show(CountingBytes(100));
    Key(Qt::Key_End);
    EXPECT_EQ(Caret(), "99 low");
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), "99 low");

    Key(Qt::Key_Home);
    EXPECT_EQ(Caret(), "0 high");
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), "0 high");

    // Right and Left step one digit at a time.
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), "0 low");
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), "1 high");
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), "0 low");
}

TEST_F(HexEditKeyboard, ShiftRightSelectsAndPlainRightClears)
{
    Show(CountingBytes(100));
    Edit().PlaceCaret(5, true);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(Edit().HasSelection());
    EXPECT_EQ(Edit().GetSelectionStart(), 5u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 5u);
    EXPECT_FALSE(Edit().IsCaretOnHighNibble());

    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Edit().GetSelectionStart(), 5u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 6u);
    EXPECT_EQ(Caret(), "6 high");

    // Moving back past the anchor turns the range around it.
    Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Edit().GetSelectionStart(), 0u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 5u);

    Key(Qt::Key_Right);
    EXPECT_FALSE(Edit().HasSelection());
}

TEST_F(HexEditKeyboard, DownFromLastFullRowScrollsOneRow)
{
    Show(CountingBytes(1000));
    ResizeToRows(10, 4);
    const uint32_t lastFullRow = Geometry().fullRows - 1;
    Edit().PlaceCaret(lastFullRow * 16, true);
    Key(Qt::Key_Down);
    EXPECT_EQ(Edit().GetScrollRow(), 1u);
    EXPECT_EQ(Edit().GetCaretPosition(), (lastFullRow + 1) * 16);
    EXPECT_EQ(Edit().GetCaretPosition() / 16 - Edit().GetScrollRow(), lastFullRow);

    Key(Qt::Key_PageDown);
    EXPECT_EQ(Edit().GetCaretPosition(), (lastFullRow + 1 + Geometry().visibleRows - 1) * 16);
    Key(Qt::Key_PageUp);
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(Edit().GetCaretPosition(), (lastFullRow - 1) * 16);
}

TEST_F(HexEditKeyboard, CtrlASelectsEverything)
{
    Show(CountingBytes(100));
    Key(Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(Edit().HasSelection());
    EXPECT_EQ(Edit().GetSelectionStart(), 0u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 99u);
}

TEST_F(HexEditKeyboard, ReadOnlyRefusesTypingPasteAndBackspace)
{
    const std::vector<uint8_t> bytes = CountingBytes(100);
    Show(bytes);
    QSignalSpy changes(&Edit(), &CHexEditBase::changed);
    PutBinaryDataOnClipboard(2, {0xAA, 0xBB});

    Edit().PlaceCaret(10, true);
    QTest::keyClicks(&Edit(), "ab");
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(Edit().PasteFromClipboard());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), Edit().GetData().begin()));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(Edit().GetCaretPosition(), 10u);
}

TEST_F(HexEditKeyboard, TypingOverwritesDigitsAndStopsAtTheLastByte)
{
    Show(CountingBytes(100));
    Edit().SetReadOnly(false, true);
    QSignalSpy changes(&Edit(), &CHexEditBase::changed);

    Edit().PlaceCaret(10, true);
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
    EXPECT_EQ(Edit().GetData().size(), 100u);

    Key(Qt::Key_End);
    QTest::keyClicks(&Edit(), "12");
    EXPECT_EQ(Edit().GetData()[99], 0x62);
    EXPECT_EQ(Caret(), "99 low");
    EXPECT_EQ(Edit().GetData().size(), 100u);
}

}  // namespace
}  // namespace orvanel::test
