// Painting of the hex editor: background, the address, hex and character columns with the
// selection band, and the caret.
//
// Qt paints every widget into the window's backing store and copies it to the screen in
// one piece, so the control is double-buffered without a bitmap of its own; with its
// background never erased, scrolling and selecting do not flicker. A paint formats only
// the rows it shows, whatever the size of the data.

#include "controls/HexDump.h"
#include "controls/HexEditBase.h"

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>

namespace orvanel {

namespace {

constexpr int kMaxAddressChars = 31;

// Where a column lies on screen for the current scroll position.
QRect ColumnRect(const HexEditGeometry& g, uint32_t columnX, uint64_t width, uint32_t scrollX)
{
    const int64_t left = int64_t(g.dataLeft) + columnX - scrollX;
    return QRect(int(left), g.dataTop, int(width), g.dataBottom - g.dataTop);
}

}  // namespace

void CHexEditBase::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    if (m_needsLayout)
        RecalcLayout();
    const HexEditGeometry& g = m_geometry;
    painter.fillRect(viewport()->rect(), m_background);

    if (!m_data.empty()) {
        // Text may reach 2 pixels into the left and right margins, never above or below
        // the data rectangle.
        const QRect dataClip(g.dataLeft - 2, g.dataTop, g.dataRight - g.dataLeft + 4,
            g.dataBottom - g.dataTop);
        const QRect addressRect =
            ColumnRect(g, g.addressX, uint64_t(m_addressDigits) * g.charWidth, m_scrollX);
        const QRect hexRect =
            ColumnRect(g, g.hexX, (3ull * g.bytesPerRow - 1) * g.charWidth, m_scrollX);
        const QRect charRect = ColumnRect(g, g.charX, g.charColumnWidth, m_scrollX);
        painter.setClipRect(dataClip);
        if (m_showAddress)
            painter.fillRect(addressRect & dataClip, m_addressColours.background);
        painter.fillRect(hexRect & dataClip, m_hexColours.background);
        if (m_showAscii)
            painter.fillRect(charRect & dataClip, m_asciiColours.background);

        painter.setFont(m_paintFont);
        const uint64_t rows = (uint64_t(m_data.size()) + g.bytesPerRow - 1) / g.bytesPerRow;
        int top = g.dataTop;
        for (uint64_t row = m_scrollRow; row < rows && top < g.dataBottom; ++row) {
            PaintRow(painter, row, top, dataClip);
            top += static_cast<int>(g.lineHeight);
        }
        painter.setClipping(false);
    }

    if (m_caretExists && m_caretBlinkOn) {
        // A solid block that inverts what lies under it, like a system caret.
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(m_caretRect, Qt::white);
    }
}

void CHexEditBase::PaintRow(QPainter& painter, uint64_t row, int top, const QRect& clip)
{
    const HexEditGeometry& g = m_geometry;
    const uint64_t rowStart = row * g.bytesPerRow;
    const uint32_t rowBytes =
        static_cast<uint32_t>(std::min<uint64_t>(g.bytesPerRow, m_data.size() - rowStart));
    const uint8_t* bytes = m_data.data() + rowStart;
    const int baseline = top + painter.fontMetrics().ascent();
    const int cw = static_cast<int>(g.charWidth);
    ++m_formattedRows;

    // Each line is cut at the edges of its column.
    if (m_showAddress) {
        const std::string address = FormatAddress(static_cast<uint32_t>(rowStart), m_addressDigits);
        m_addressLine = QString::fromLatin1(address.data(),
            std::min<qsizetype>(qsizetype(address.size()), kMaxAddressChars));
        const QRect column =
            ColumnRect(g, g.addressX, uint64_t(m_addressDigits) * g.charWidth, m_scrollX);
        painter.setClipRect(column & clip);
        painter.setPen(m_addressColours.text);
        painter.drawText(column.left(), baseline, m_addressLine);
    }

    // Both lines are formatted into the reused buffers, two digits and a space per byte.
    m_hexLine.resize(qsizetype(3) * rowBytes - 1, QLatin1Char(' '));
    m_charLine.resize(rowBytes);
    QChar* hex = m_hexLine.data();
    QChar* chars = m_charLine.data();
    for (uint32_t i = 0; i < rowBytes; ++i) {
        char digits[2];
        PutHexByte(digits, bytes[i]);
        hex[3 * i] = QLatin1Char(digits[0]);
        hex[3 * i + 1] = QLatin1Char(digits[1]);
        if (i + 1 < rowBytes)
            hex[3 * i + 2] = QLatin1Char(' ');
        chars[i] = QLatin1Char(PrintableOrDot(bytes[i]));
    }

    // The selected bytes of this row, if any: [firstSel, lastSel] relative to the row.
    const bool focused = hasFocus();
    const HexEditColours& selection =
        focused ? m_activeSelectionColours : m_inactiveSelectionColours;
    const uint64_t rowLast = rowStart + rowBytes - 1;
    const bool selected = HasSelection() && m_selStart <= rowLast && m_selEnd >= rowStart;
    const int firstSel = selected ? int(std::max<uint64_t>(m_selStart, rowStart) - rowStart) : 0;
    const int lastSel = selected ? int(std::min<uint64_t>(m_selEnd, rowLast) - rowStart) : 0;

    const QRect hexColumn =
        ColumnRect(g, g.hexX, (3ull * g.bytesPerRow - 1) * g.charWidth, m_scrollX);
    painter.setClipRect(hexColumn & clip);
    painter.setPen(m_hexColours.text);
    painter.drawText(hexColumn.left(), baseline, m_hexLine);
    if (selected) {
        // From the first selected digit to one pixel past the last one, below the row's
        // top pixel line.
        const int left = hexColumn.left() + 3 * firstSel * cw;
        const int right = hexColumn.left() + (3 * lastSel + 2) * cw + 1;
        painter.fillRect(QRect(left, top + 1, right - left, int(g.lineHeight) - 1), selection.background);
        painter.setPen(selection.text);
        painter.drawText(left, baseline, m_hexLine.mid(3 * firstSel, 3 * (lastSel - firstSel) + 2));
    }

    if (!m_showAscii)
        return;
    const QRect charColumn = ColumnRect(g, g.charX, g.charColumnWidth, m_scrollX);
    painter.setClipRect(charColumn & clip);
    painter.setPen(m_asciiColours.text);
    painter.drawText(charColumn.left(), baseline, m_charLine);
    if (selected) {
        const int left = charColumn.left() + firstSel * cw;
        const int right = charColumn.left() + (lastSel + 1) * cw + 1;
        painter.fillRect(QRect(left, top + 1, right - left, int(g.lineHeight) - 1), selection.background);
        painter.setPen(selection.text);
        painter.drawText(left, baseline, m_charLine.mid(firstSel, lastSel - firstSel + 1));
    }
}

}  // namespace orvanel
