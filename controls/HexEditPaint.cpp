// Painting of the hex editor: background, the address, hex and character columns with the
// selection band, and the caret.
//
// Qt paints every widget into the window's backing store and copies it to the screen in
// one piece, so the control is double-buffered without a bitmap of its own; with its
// background never erased, scrolling and selecting do not flicker. A paint formats only
// the rows it shows, whatever the size of the data.

#include "controls/HexDump.h"
#include "controls/HexEditBase.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace orvanel {

namespace {

constexpr int kMaxAddressChars = 31;

// Where a column lies on screen for the current scroll position.
QRect ColumnRect(const CHexEditLayout& layout, uint32_t columnX, uint32_t width, uint32_t scrollX)
{
    const HexEditGeometry& g = layout.Geometry();
    return QRect(layout.ColumnLeft(columnX, scrollX), g.dataTop, int(width), g.dataBottom - g.dataTop);
}

} // namespace

void CHexEditBase::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    EnsureLayout();
    const HexEditGeometry& g = m_layout.Geometry();
    if (m_data.empty())
        painter.fillRect(viewport()->rect(), m_background);

    if (!m_data.empty()) {
        // Text may reach 2 pixels into the left and right margins, never above or below
        // the data rectangle.
        const QRect dataClip(
            g.dataLeft - 2, g.dataTop, g.dataRight - g.dataLeft + 4, g.dataBottom - g.dataTop);
        const QRect addressRect = ColumnRect(m_layout, g.addressX, g.addressWidth, m_scrollX);
        const QRect hexRect = ColumnRect(m_layout, g.hexX, g.hexWidth, m_scrollX);
        const QRect charRect = ColumnRect(m_layout, g.charX, g.charColumnWidth, m_scrollX);
        // The ground is filled only where no opaque column is filled over it (unless the
        // painter scales, where edges may fall between device pixels).
        QRegion ground(viewport()->rect());
        const bool unscaled = painter.deviceTransform().type() <= QTransform::TxTranslate;
        const auto cover = [&](bool shown, const QColor& colour, const QRect& column) {
            if (shown && unscaled && colour.alpha() == 255)
                ground -= column & dataClip;
        };
        cover(m_showAddress, m_addressColours.background, addressRect);
        cover(true, m_hexColours.background, hexRect);
        cover(m_showAscii, m_asciiColours.background, charRect);
        for (const QRect& part : ground)
            painter.fillRect(part, m_background);
        painter.setClipRect(dataClip);
        if (m_showAddress)
            painter.fillRect(addressRect & dataClip, m_addressColours.background);
        painter.fillRect(hexRect & dataClip, m_hexColours.background);
        if (m_showAscii)
            painter.fillRect(charRect & dataClip, m_asciiColours.background);

        painter.setFont(m_paintFont);
        // The painter's font is the paint font resolved for the viewport's resolution.
        m_cellGlyphs.Prepare(painter.font(), painter.device()->logicalDpiY(), int(g.charWidth));
        const int ascent = painter.fontMetrics().ascent();
        int top = g.dataTop;
        for (uint64_t row = m_scrollRow; row < g.rows && top < g.dataBottom; ++row) {
            PaintRow(painter, row, top, top + ascent, dataClip);
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

void CHexEditBase::PaintRow(QPainter& painter, uint64_t row, int top, int baseline, const QRect& clip)
{
    const HexEditGeometry& g = m_layout.Geometry();
    const uint64_t rowStart = row * g.bytesPerRow;
    const uint32_t rowBytes =
        static_cast<uint32_t>(std::min<uint64_t>(g.bytesPerRow, m_data.size() - rowStart));
    const uint8_t* bytes = m_data.data() + rowStart;
    ++m_formattedRows;

    // Each line is cut at the edges of its column.
    if (m_showAddress) {
        const std::string address = FormatAddress(static_cast<uint32_t>(rowStart), g.addressDigits);
        m_addressLine = QString::fromLatin1(
            address.data(), std::min<qsizetype>(qsizetype(address.size()), kMaxAddressChars));
        const QRect column = ColumnRect(m_layout, g.addressX, g.addressWidth, m_scrollX);
        painter.setClipRect(column & clip);
        painter.setPen(m_addressColours.text);
        m_cellGlyphs.Draw(
            painter, QPointF(column.left(), baseline), m_addressLine.constData(), m_addressLine.size());
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
    const HexEditColours& selection = focused ? m_activeSelectionColours : m_inactiveSelectionColours;
    const uint64_t rowLast = rowStart + rowBytes - 1;
    const bool selected = HasSelection() && m_selStart <= rowLast && m_selEnd >= rowStart;
    const int firstSel = selected ? int(std::max<uint64_t>(m_selStart, rowStart) - rowStart) : 0;
    const int lastSel = selected ? int(std::min<uint64_t>(m_selEnd, rowLast) - rowStart) : 0;

    // The text is cut at its column's edges; the band reaches one pixel past the last
    // selected cell, into the gap when that cell ends the column.
    const int bandTop = top + 1;
    const int bandHeight = int(g.lineHeight) - 1;
    // One column's text, and over it the selection band with the selected text.
    const auto paintColumn = [&](const QRect& column, const QColor& text, const QString& line,
                                 const HexSpan& band, int selFrom, int selLength) {
        painter.setClipRect(column & clip);
        painter.setPen(text);
        m_cellGlyphs.Draw(painter, QPointF(column.left(), baseline), line.constData(), line.size());
        if (!selected)
            return;
        painter.setClipRect(clip);
        painter.fillRect(QRect(band.left, bandTop, band.right - band.left, bandHeight), selection.background);
        painter.setClipRect(column & clip);
        painter.setPen(selection.text);
        m_cellGlyphs.Draw(painter, QPointF(band.left, baseline), line.constData() + selFrom,
            std::min<qsizetype>(selLength, line.size() - selFrom));
    };
    paintColumn(ColumnRect(m_layout, g.hexX, g.hexWidth, m_scrollX), m_hexColours.text, m_hexLine,
        m_layout.HexBand(firstSel, lastSel, m_scrollX), 3 * firstSel, 3 * (lastSel - firstSel) + 2);
    if (m_showAscii)
        paintColumn(ColumnRect(m_layout, g.charX, g.charColumnWidth, m_scrollX), m_asciiColours.text,
            m_charLine, m_layout.CharBand(firstSel, lastSel, m_scrollX), firstSel, lastSel - firstSel + 1);
}

} // namespace orvanel
