#include "controls/HexEditBase.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPalette>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>
#include <new>

namespace orvanel {

CHexEditBase::CHexEditBase(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    const QPalette palette = QApplication::palette();
    m_inactiveSelectionColours = {palette.color(QPalette::Active, QPalette::Button),
        palette.color(QPalette::Active, QPalette::WindowText)};
    m_activeSelectionColours = {palette.color(QPalette::Active, QPalette::Highlight),
        palette.color(QPalette::Active, QPalette::HighlightedText)};
    m_font = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // The control paints every pixel itself, so nothing is erased before a paint.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
        &CHexEditBase::OnVerticalAction);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
        &CHexEditBase::OnHorizontalAction);
}

CHexEditBase::~CHexEditBase() = default;

void CHexEditBase::Repaint(bool repaint)
{
    if (repaint)
        viewport()->update();
}

bool CHexEditBase::SetData(const uint8_t* bytes, uint32_t length, bool repaint)
{
    m_selStart = m_selEnd = kNoPosition;
    m_dragAnchor = m_dragCurrent = kNoPosition;
    // A drag over the old bytes must not go on selecting in the new ones.
    StopAutoScroll();
    std::vector<uint8_t>().swap(m_data);
    bool copied = true;
    if (bytes) {
        try {
            m_data.assign(bytes, bytes + length);
        } catch (const std::bad_alloc&) {
            copied = false;
        }
    }
    m_needsLayout = true;
    Repaint(repaint);
    PlaceCaret(0, true);
    return copied;
}

void CHexEditBase::SetReadOnly(bool readOnly, bool /*repaint*/)
{
    m_readOnly = readOnly;
}

// The columns move: the layout is stale, and the caret follows its digit.
void CHexEditBase::Relayout(bool repaint)
{
    m_needsLayout = true;
    PlaceCaret(m_caretPosition, m_caretHighNibble);
    Repaint(repaint);
}

void CHexEditBase::SetShowAddress(bool show, bool repaint)
{
    if (m_showAddress != show) {
        m_showAddress = show;
        Relayout(repaint);
    }
}

void CHexEditBase::SetShowAscii(bool show, bool repaint)
{
    if (m_showAscii != show) {
        m_showAscii = show;
        Relayout(repaint);
    }
}

void CHexEditBase::SetAddressDigits(uint8_t digits, bool repaint)
{
    m_addressDigits = digits;
    Relayout(repaint);
}

void CHexEditBase::SetColours(HexEditColours& colours, QColor background, QColor text,
    bool repaint)
{
    colours = {background, text};
    Repaint(repaint);
}

void CHexEditBase::SetAddressColours(QColor background, QColor text, bool repaint)
{
    SetColours(m_addressColours, background, text, repaint);
}

void CHexEditBase::SetAsciiColours(QColor background, QColor text, bool repaint)
{
    SetColours(m_asciiColours, background, text, repaint);
}

void CHexEditBase::SetHexColours(QColor background, QColor text, bool repaint)
{
    SetColours(m_hexColours, background, text, repaint);
}

void CHexEditBase::SetInactiveSelectionColours(QColor background, QColor text, bool repaint)
{
    SetColours(m_inactiveSelectionColours, background, text, repaint);
}

void CHexEditBase::SetActiveSelectionColours(QColor text, QColor background, bool repaint)
{
    SetColours(m_activeSelectionColours, background, text, repaint);
}

void CHexEditBase::SetBackgroundColour(QColor colour, bool repaint)
{
    m_background = colour;
    Repaint(repaint);
}

// A gap moves the columns, so the layout is stale: a repaint with the old figures would
// draw the columns where they no longer are.
void CHexEditBase::SetAddressGap(uint32_t pixels, bool repaint)
{
    m_addressGap = pixels;
    m_needsLayout = true;
    Repaint(repaint);
}

void CHexEditBase::SetHexAsciiGap(uint32_t pixels, bool repaint)
{
    m_hexAsciiGap = pixels;
    m_needsLayout = true;
    Repaint(repaint);
}

bool CHexEditBase::SetFont(const QFont& font, bool repaint)
{
    if (!QFontInfo(font).fixedPitch())
        return false;
    m_font = font;
    Relayout(repaint);
    return true;
}

// QWidget::setFont arrives here; like SetFont it takes only a fixed-pitch font.
void CHexEditBase::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange && font() != m_font)
        SetFont(font(), true);
}

void CHexEditBase::RecalcLayout()
{
    m_needsLayout = false;
    HexEditGeometry& g = m_geometry;
    // Text is drawn a row at a time and must stay in whole-pixel character cells: with
    // full hinting the advance is whole, and where the platform still gives a fraction,
    // letter spacing takes it out.
    m_paintFont = m_font;
    m_paintFont.setHintingPreference(QFont::PreferFullHinting);
    const qreal advance = QFontMetricsF(m_paintFont).horizontalAdvance(QLatin1Char('0'));
    const int cell = std::max(qRound(advance), 1);
    if (advance != cell)
        m_paintFont.setLetterSpacing(QFont::AbsoluteSpacing, cell - advance);
    g.charWidth = static_cast<uint32_t>(cell);
    g.lineHeight = static_cast<uint32_t>(std::max(QFontMetrics(m_paintFont).height(), 1));

    const QRect client = viewport()->rect();
    const int margin = static_cast<int>(m_margin);
    g.dataLeft = client.left() + margin;
    g.dataTop = client.top() + margin;
    g.dataRight = std::max(client.left() + client.width() - margin, g.dataLeft);
    g.dataBottom = std::max(client.top() + client.height() - margin, g.dataTop);

    const uint32_t dataHeight = static_cast<uint32_t>(g.dataBottom - g.dataTop);
    g.fullRows = dataHeight / g.lineHeight;
    const uint32_t remainder = dataHeight % g.lineHeight;
    g.visibleRows = remainder == 0 ? g.fullRows : g.fullRows + 1;
    g.lastRowHeight = remainder == 0 ? g.lineHeight : remainder;

    g.addressX = 0;
    g.addressSpan = m_showAddress ? m_addressDigits * g.charWidth + m_addressGap : 0;
    g.bytesPerRow = BytesPerRow();
    const uint64_t hexWidth = (3ull * g.bytesPerRow - 1) * g.charWidth;
    g.hexX = g.addressX + g.addressSpan;
    g.hexSpan = static_cast<uint32_t>(hexWidth + m_hexAsciiGap);
    uint64_t totalWidth = g.hexX + hexWidth;
    if (m_showAscii) {
        g.charX = g.hexX + g.hexSpan;
        g.charColumnWidth = g.bytesPerRow * g.charWidth;
        totalWidth = uint64_t(g.charX) + g.charColumnWidth;
    } else {
        g.charX = 0;
        g.charColumnWidth = 0;
    }

    const uint64_t rows = (uint64_t(m_data.size()) + g.bytesPerRow - 1) / g.bytesPerRow;
    g.maxScrollRow = rows > g.fullRows ? static_cast<uint32_t>(rows - g.fullRows) : 0;
    m_scrollRow = std::min(m_scrollRow, g.maxScrollRow);
    const uint64_t dataWidth = static_cast<uint64_t>(g.dataRight - g.dataLeft);
    g.maxScrollX = totalWidth > dataWidth ? static_cast<uint32_t>(totalWidth - dataWidth) : 0;
    m_scrollX = std::min(m_scrollX, g.maxScrollX);

    // The scroll bars follow once the current event is done: showing or hiding one resizes
    // the client area, which must not happen in the middle of a layout.
    QMetaObject::invokeMethod(this, &CHexEditBase::UpdateScrollBars, Qt::QueuedConnection);
}

void CHexEditBase::PlaceCaret(uint32_t position, bool highNibble)
{
    m_caretPosition = position;
    m_caretHighNibble = highNibble;
    if (m_data.empty()) {
        // Without bytes there is no digit to stand on; a caret left from earlier data
        // would blink over an empty pane.
        DestroyCaret();
        return;
    }
    if (m_needsLayout)
        RecalcLayout();

    const HexEditGeometry& g = m_geometry;
    const uint64_t first = uint64_t(m_scrollRow) * g.bytesPerRow;
    const uint64_t end = (uint64_t(m_scrollRow) + g.visibleRows) * g.bytesPerRow;
    if (position >= first && position < end && hasFocus()) {
        const uint64_t row = (position - first) / g.bytesPerRow;
        const uint64_t column = (position - first) % g.bytesPerRow;
        int64_t x = int64_t(g.dataLeft) + g.hexX - m_scrollX
            + int64_t(3 * column + (highNibble ? 0 : 1)) * g.charWidth;
        const int64_t y = g.dataTop + int64_t(row * g.lineHeight) + 1;
        int64_t width = g.charWidth;
        const int64_t height =
            int64_t(row + 1 == g.visibleRows ? g.lastRowHeight : g.lineHeight) - 1;
        // The caret may reach 2 pixels into the margin on either side, like the text.
        if (x + width > g.dataLeft - 2 && x <= g.dataRight) {
            if (x < g.dataLeft - 2) {
                width += x - g.dataLeft + 2;
                x = g.dataLeft - 2;
            }
            if (x + width > g.dataRight + 2)
                width = g.dataRight - x + 2;
            ShowCaret(QRect(int(x), int(y), int(width), int(height)));
            return;
        }
    }
    DestroyCaret();
}

void CHexEditBase::ShowCaret(const QRect& rect)
{
    if (m_caretExists && rect == m_caretRect)
        return;
    if (m_caretExists)
        viewport()->update(m_caretRect);
    m_caretRect = rect;
    m_caretExists = true;
    // A caret that has just moved is shown at once, then blinks at the platform's rate.
    m_caretBlinkOn = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (flashTime > 0)
        m_caretBlinkTimer.start(flashTime / 2, this);
    else
        m_caretBlinkTimer.stop();
    viewport()->update(m_caretRect);
}

void CHexEditBase::DestroyCaret()
{
    if (!m_caretExists)
        return;
    m_caretExists = false;
    m_caretBlinkTimer.stop();
    viewport()->update(m_caretRect);
}

void CHexEditBase::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_caretBlinkTimer.timerId()) {
        m_caretBlinkOn = !m_caretBlinkOn;
        viewport()->update(m_caretRect);
    } else if (event->timerId() == m_autoScrollTimer.timerId()) {
        AutoScrollTick();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void CHexEditBase::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    RecalcLayout();
    PlaceCaret(m_caretPosition, m_caretHighNibble);
    UpdateScrollBars();
}

void CHexEditBase::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (!m_data.empty())
        PlaceCaret(m_caretPosition, m_caretHighNibble);
    // The selection changes to its active colours.
    viewport()->update();
}

void CHexEditBase::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    DestroyCaret();
    viewport()->update();
}

}  // namespace orvanel
