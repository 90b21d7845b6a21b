// The hex editor as the user drives it, in its hosting view, shown, active and focused: keys,
// typing, the mouse, the scroll bars, the clipboard and the colours it paints.

#include "archive/ByteOrder.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <numeric>

namespace orvanel::test {
namespace {

// Bytes 0, 1, 2, ... wrapping after 255.
std::vector<uint8_t> CountingBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t(0));
    return bytes;
}

class HexEditTest : public ::testing::Test {
protected:
    // Shows a view of width x height holding bytes, the control configured as the main
    // window configures it: read-only, 4 address digits, both columns, 20-pixel gaps. The
    // data is set before the first show, as at the program's start.
    void Show(const std::vector<uint8_t>& bytes, int width = 620, int height = 300)
    {
        m_view = std::make_unique<CHexEditBaseView>();
        m_view->resize(width, height);
        CHexEditBase& edit = Edit();
        edit.SetReadOnly(true, true);
        edit.SetShowAddress(true, true);
        edit.SetShowAscii(true, true);
        edit.SetAddressDigits(4, true);
        edit.SetAddressGap(20, true);
        edit.SetHexAsciiGap(20, true);
        edit.SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), true);
        m_view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_view.get()));
        edit.setFocus();
        Settle();
        ASSERT_TRUE(edit.hasFocus());
    }

    // Resizes the view so that the data rectangle is rows * line height + extra high.
    void ResizeToRows(uint32_t rows, int extra = 0)
    {
        m_view->resize(m_view->width(), int(rows * Geometry().lineHeight) + extra + 10);
        Settle();
    }

    // Delivers posted events: the scroll bars follow a layout once it is done.
    static void Settle() { QCoreApplication::processEvents(); }

    CHexEditBase& Edit() { return m_view->GetHexEdit(); }
    QWidget* Viewport() { return Edit().viewport(); }
    const HexEditGeometry& Geometry() { return Edit().GetGeometry(); }

    // A client point on the left half of a digit of a visible byte.
    QPoint PointOnByte(uint32_t position, bool highNibble = true)
    {
        const HexEditGeometry& g = Geometry();
        const uint32_t row = position / g.bytesPerRow - Edit().GetScrollRow();
        const uint32_t cell = 3 * (position % g.bytesPerRow) + (highNibble ? 0 : 1);
        return {g.dataLeft + int(g.hexX + cell * g.charWidth) - int(Edit().GetScrollX()) + 1,
            g.dataTop + int(row * g.lineHeight + g.lineHeight / 2)};
    }

    // The caret's byte and digit, as "12 high" or "12 low".
    std::string Caret()
    {
        return std::to_string(Edit().GetCaretPosition()) + (Edit().IsCaretOnHighNibble() ? " high" : " low");
    }

    // cellCount character cells of a row from firstCell on, in the column at columnX.
    QRect Cells(uint32_t columnX, uint32_t firstCell, uint32_t cellCount, uint32_t row)
    {
        const HexEditGeometry& g = Geometry();
        return QRect(g.dataLeft + int(columnX + firstCell * g.charWidth), g.dataTop + int(row * g.lineHeight),
            int(cellCount * g.charWidth), int(g.lineHeight));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&Edit(), key, modifiers);
    }

    std::unique_ptr<CHexEditBaseView> m_view;
};

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
    // The scroll bar moves the rows; without data there is nothing to scroll and no caret.
    ASSERT_TRUE(Edit().verticalScrollBar()->isVisible());
    Edit().verticalScrollBar()->setSliderPosition(30);
    EXPECT_EQ(Edit().GetScrollRow(), 30u);
    Edit().SetData(nullptr, 0, true);
    Viewport()->repaint();
    Settle();
    EXPECT_FALSE(Edit().verticalScrollBar()->isVisible());
    EXPECT_TRUE(Edit().GetCaretRect().isEmpty());
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

using HexEditClipboard = HexEditTest;

// The raw-bytes clipboard block: a little-endian count, then the bytes.
QByteArray BinaryDataBlock(uint32_t count, const std::vector<uint8_t>& bytes)
{
    QByteArray block(4, 0);
    WriteLE32(reinterpret_cast<uint8_t*>(block.data()), count);
    block.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return block;
}

void PutBinaryDataOnClipboard(uint32_t count, const std::vector<uint8_t>& bytes)
{
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kBinaryDataMime), BinaryDataBlock(count, bytes));
    QGuiApplication::clipboard()->setMimeData(mime);
}

QByteArray ClipboardBinaryData()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->data(QString::fromLatin1(kBinaryDataMime)) : QByteArray();
}

TEST_F(HexEditClipboard, CopyOffersTheDumpAndTheRawBytesOfBytesThatExist)
{
    struct Case {
        uint32_t start, end;
        Qt::Key key;
        QString text; // empty: nothing is copied
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {0x12, 0x15, Qt::Key_C,
            "0012   " + QString(6, u' ') + "12 13 14 15" + QString(33, u' ') + "  ....\r\n",
            {0x12, 0x13, 0x14, 0x15}},
        {0x12, 0x15, Qt::Key_H, "      12 13 14 15\r\n", {0x12, 0x13, 0x14, 0x15}},
        {0x21, 0x40, Qt::Key_H, "   21 22 23\r\n", {0x21, 0x22, 0x23}}, // past the last byte
        {0x30, 0x40, Qt::Key_C, "", {}},                                // wholly past it
        {kNoPosition, kNoPosition, Qt::Key_C, "", {}},
    };
    Show(CountingBytes(0x24));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        PutBinaryDataOnClipboard(1, {0x77});
        // A drag below the last row selects past it; SetSelection refuses that.
        QTest::mouseClick(Viewport(), Qt::LeftButton, {}, PointOnByte(0));
        if (c.start != kNoPosition) {
            QTest::mousePress(Viewport(), Qt::LeftButton, {}, PointOnByte(c.start));
            QTest::mouseMove(Viewport(), PointOnByte(c.end));
            QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, PointOnByte(c.end));
        }
        Key(c.key, Qt::ControlModifier);
        if (c.text.isEmpty()) {
            EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(1, {0x77}));
        } else {
            EXPECT_EQ(QGuiApplication::clipboard()->text(), c.text);
            EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(uint32_t(c.bytes.size()), c.bytes));
        }
    }
}

TEST_F(HexEditClipboard, PasteOverwritesWhatFitsAndTrustsNoCount)
{
    struct Case {
        uint32_t selStart, selEnd, caret, count;
        std::vector<uint8_t> bytes;
        uint32_t written; // bytes overwritten from the start; 0: refused
    };
    const Case cases[] = {
        {10, 20, 50, 4, {0xA1, 0xA2, 0xA3, 0xA4}, 4},                   // from the selection's start
        {kNoPosition, kNoPosition, 98, 4, {0xA1, 0xA2, 0xA3, 0xA4}, 2}, // only what fits
        {kNoPosition, kNoPosition, 50, 1000, {0xEE, 0xEF}, 2},          // a count beyond the block
        {kNoPosition, kNoPosition, 50, 0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caret);
        Show(CountingBytes(100));
        Edit().SetReadOnly(false, true);
        QSignalSpy changes(&Edit(), &CHexEditBase::changed);
        PutBinaryDataOnClipboard(c.count, c.bytes);
        Edit().PlaceCaret(c.caret, true);
        if (c.selStart != kNoPosition) {
            ASSERT_TRUE(Edit().SetSelection(c.selStart, c.selEnd, false, true));
        }
        Key(Qt::Key_V, Qt::ControlModifier);

        const uint32_t at = c.selStart != kNoPosition ? c.selStart : c.caret;
        std::vector<uint8_t> expected = CountingBytes(100);
        std::copy_n(c.bytes.begin(), c.written, expected.begin() + at);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), Edit().GetData().begin()));
        EXPECT_EQ(Edit().GetData().size(), 100u);
        EXPECT_EQ(changes.count(), c.written ? 1 : 0);
        EXPECT_EQ(Edit().GetCaretPosition(), c.written ? at + c.written - 1 : c.caret);
    }
    // Read-only refuses it.
    Edit().SetReadOnly(true, true);
    PutBinaryDataOnClipboard(1, {0x55});
    EXPECT_FALSE(Edit().PasteFromClipboard());
}

const QColor kAddressBack(250, 220, 220);
const QColor kHexBack(220, 250, 220);
const QColor kCharBack(220, 220, 250);
const QColor kActiveBack(10, 60, 200);
const QColor kInactiveBack(120, 120, 40);

using HexEditPaint = HexEditTest;

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
