#include "tests/controls/HexEditFixture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

namespace orvanel::test {
namespace {

using HexEditClipboard = HexEditTest;

// 0x40 dots with the letters A, B, C and D at 0x12 to 0x15.
std::vector<uint8_t> BytesWithABCDAt0x12()
{
    std::vector<uint8_t> bytes(0x40, '.');
    bytes[0x12] = 'A';
    bytes[0x13] = 'B';
    bytes[0x14] = 'C';
    bytes[0x15] = 'D';
    return bytes;
}

QString ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

QByteArray ClipboardBinaryData()
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime ? mime->data(QString::fromLatin1(kBinaryDataMime)) : QByteArray();
}

TEST_F(HexEditClipboard, CtrlCCopiesTextDumpAndRawBytes)
{
    Show(BytesWithABCDAt0x12());
    ASSERT_TRUE(Edit().SetSelection(0x12, 0x15, false, true));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), QString::fromLatin1("0012   ") + QString(6, u' ')
            + "41 42 43 44" + QString(33, u' ') + "  ABCD\r\n");
    EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(4, {'A', 'B', 'C', 'D'}));
}

TEST_F(HexEditClipboard, CtrlHCopiesHexDigitsOnly)
{
    Show(BytesWithABCDAt0x12());
    ASSERT_TRUE(Edit().SetSelection(0x12, 0x15, false, true));
    Key(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), QString::fromLatin1("      41 42 43 44\r\n"));
    EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(4, {'A', 'B', 'C', 'D'}));
}

TEST_F(HexEditClipboard, SelectionPastTheLastByteCopiesUpToIt)
{
    Show(CountingBytes(0x24));  // the last row holds 0x20 to 0x23
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x21));
    QTest::mouseMove(Viewport(), PointOnByte(0x21) + QPoint(0, 3 * int(Geometry().lineHeight)));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOnByte(0x21));
    ASSERT_TRUE(Edit().HasSelection());
    ASSERT_GT(Edit().GetSelectionEnd(), 0x23u);

    Key(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(ClipboardText(), QString::fromLatin1("   21 22 23\r\n"));
    EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(3, {0x21, 0x22, 0x23}));
}

TEST_F(HexEditClipboard, NothingIsCopiedWithoutBytesSelected)
{
    Show(CountingBytes(0x24));
    PutBinaryDataOnClipboard(1, {0x77});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(1, {0x77}));

    // A drag wholly below the last row selects no byte that exists.
    const QPoint below = PointOnByte(0x21) + QPoint(0, 2 * int(Geometry().lineHeight));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QTest::mouseMove(Viewport(), below + QPoint(0, 2 * int(Geometry().lineHeight)));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, below);
    ASSERT_TRUE(Edit().HasSelection());
    EXPECT_FALSE(Edit().CopyToClipboard(true, true, true));
    EXPECT_EQ(ClipboardBinaryData(), BinaryDataBlock(1, {0x77}));
}

TEST_F(HexEditClipboard, PasteOverwritesFromTheSelectionWithoutGrowing)
{
    Show(CountingBytes(100));
    Edit().SetReadOnly(false, true);
    QSignalSpy changes(&Edit(), &CHexEditBase::changed);
    PutBinaryDataOnClipboard(4, {0xA1, 0xA2, 0xA3, 0xA4});

    ASSERT_TRUE(Edit().SetSelection(10, 20, false, true));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Edit().GetData()[9], 9);
    EXPECT_EQ(Edit().GetData()[10], 0xA1);
    EXPECT_EQ(Edit().GetData()[13], 0xA4);
    EXPECT_EQ(Edit().GetData()[14], 14);
    EXPECT_EQ(Edit().GetSelectionStart(), 10u);
    EXPECT_EQ(Edit().GetSelectionEnd(), 13u);
    EXPECT_EQ(Edit().GetCaretPosition(), 13u);
    EXPECT_EQ(changes.count(), 1);

    // Near the end only what fits is written.
    Edit().PlaceCaret(98, true);
    Key(Qt::Key_Right);  // drops the selection
    Edit().PlaceCaret(98, true);
    ASSERT_TRUE(Edit().PasteFromClipboard());
    EXPECT_EQ(Edit().GetData()[98], 0xA1);
    EXPECT_EQ(Edit().GetData()[99], 0xA2);
    EXPECT_EQ(Edit().GetData().size(), 100u);
}

TEST_F(HexEditClipboard, PasteTrustsNoCountBeyondTheBlock)
{
    Show(CountingBytes(100));
    Edit().SetReadOnly(false, true);
    Edit().PlaceCaret(50, true);
    PutBinaryDataOnClipboard(1000, {0xEE, 0xEF});
    ASSERT_TRUE(Edit().PasteFromClipboard());
    EXPECT_EQ(Edit().GetData()[51], 0xEF);
    EXPECT_EQ(Edit().GetData()[52], 52);
    EXPECT_EQ(Edit().GetCaretPosition(), 51u);

    // An empty block changes nothing, not even the caret.
    PutBinaryDataOnClipboard(0, {});
    EXPECT_FALSE(Edit().PasteFromClipboard());
    EXPECT_EQ(Edit().GetCaretPosition(), 51u);
}

// A control that records its context menu and closes it as soon as it opens.
class CMenuProbe : public CHexEditBase
{
public:
    struct Item {
        QString text;
        bool enabled;
    };
    std::vector<Item> items;
    bool pasteFromMenu = false;

protected:
    void OnContextMenuExtend(QMenu* menu) override
    {
        items.clear();
        for (QAction* action : menu->actions())
            items.push_back({action->text(), action->isEnabled()});
        if (pasteFromMenu)
            menu->actions().at(1)->trigger();
        QTimer::singleShot(0, menu, &QMenu::close);
    }
};

void RightClick(QWidget* target, QPoint point)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, target->mapToGlobal(point));
    QApplication::sendEvent(target, &event);
}

TEST_F(HexEditClipboard, ContextMenuOffersCopyAndPasteWhenTheyCanWork)
{
    Show(CountingBytes(100));
    CMenuProbe probe;
    probe.resize(600, 200);
    probe.SetData(Edit().GetData().data(), 100, true);
    probe.SetReadOnly(true, true);
    PutBinaryDataOnClipboard(1, {0x55});

    RightClick(probe.viewport(), QPoint(20, 10));
    ASSERT_EQ(probe.items.size(), 2u);
    EXPECT_EQ(probe.items[0].text, "Copy");
    EXPECT_FALSE(probe.items[0].enabled);
    EXPECT_EQ(probe.items[1].text, "Paste");
    EXPECT_FALSE(probe.items[1].enabled);

    probe.SetReadOnly(false, true);
    probe.SelectAll();
    probe.pasteFromMenu = true;
    RightClick(probe.viewport(), QPoint(20, 10));
    EXPECT_TRUE(probe.items[0].enabled);
    EXPECT_TRUE(probe.items[1].enabled);
    EXPECT_EQ(probe.GetData()[0], 0x55);
}

TEST_F(HexEditClipboard, ForwardedContextMenuShowsNoMenu)
{
    Show(CountingBytes(100));
    CMenuProbe probe;
    probe.SetData(Edit().GetData().data(), 100, true);
    QSignalSpy requests(&probe, &CHexEditBase::contextMenuRequested);
    probe.ForwardContextMenu = true;
    RightClick(probe.viewport(), QPoint(20, 10));
    EXPECT_TRUE(probe.items.empty());
    EXPECT_EQ(requests.count(), 0);

    probe.NotifyMouse = true;
    RightClick(probe.viewport(), QPoint(20, 10));
    EXPECT_TRUE(probe.items.empty());
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests.at(0).at(0).toPoint(), probe.viewport()->mapToGlobal(QPoint(20, 10)));
}

}  // namespace
}  // namespace orvanel::test
