#include "tests/controls/HexEditFixture.h"

#include <QSignalSpy>

namespace orvanel::test {
namespace {

using HexEditClipboard = HexEditTest;

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
        if (c.selStart != kNoPosition)
            ASSERT_TRUE(Edit().SetSelection(c.selStart, c.selEnd, false, true));
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

} // namespace
} // namespace orvanel::test
