#pragma once
// A hex editor in its hosting view, shown, active and focused, for the widget tests.

#include "archive/ByteOrder.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvanel::test {

// Bytes 0, 1, 2, ... wrapping after 255.
inline std::vector<uint8_t> CountingBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

// The raw-bytes clipboard block: a little-endian count, then the bytes.
inline QByteArray BinaryDataBlock(uint32_t count, const std::vector<uint8_t>& bytes)
{
    QByteArray block(4, 0);
    WriteLE32(reinterpret_cast<uint8_t*>(block.data()), count);
    block.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return block;
}

inline void PutBinaryDataOnClipboard(uint32_t count, const std::vector<uint8_t>& bytes)
{
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kBinaryDataMime), BinaryDataBlock(count, bytes));
    QGuiApplication::clipboard()->setMimeData(mime);
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

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&Edit(), key, modifiers);
    }

    std::unique_ptr<CHexEditBaseView> m_view;
};

} // namespace orvanel::test
