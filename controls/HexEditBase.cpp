#include "controls/HexEditBase.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPalette>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>
#include <new>

namespace orvanel {

CHexEditBase::CHexEditBase(QWidget* parent) : QAbstractScrollArea(parent)
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
    verticalScrollBar()->installEventFilter(this);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &CHexEditBase::OnVerticalAction);
    connect(
        horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, &CHexEditBase::OnHorizontalAction);
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

void CHexEditBase::SetColours(HexEditColours& colours, QColor background, QColor text, bool repaint)
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

// A gap moves the columns, so the layout is stale and the caret follows its digit.
void CHexEditBase::SetAddressGap(uint32_t pixels, bool repaint)
{
    m_addressGap = pixels;
    Relayout(repaint);
}

void CHexEditBase::SetHexAsciiGap(uint32_t pixels, bool repaint)
{
    m_hexAsciiGap = pixels;
    Relayout(repaint);
}

namespace {

// Whether every character the control draws in its font has one advance: the digits, the
// letters and the space. The font's own fixed-pitch flag is not trusted, since some
// monospaced fonts do not set it.
bool HasFixedPitchGlyphs(const QFont& font)
{
    static const QString kDrawn =
        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ");
    QFont measured = font;
    measured.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetricsF metrics(measured);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
    return advance > 0 && std::all_of(kDrawn.begin(), kDrawn.end(), [&](QChar c) {
        return metrics.horizontalAdvance(c) == advance;
    });
}

} // namespace

bool CHexEditBase::SetFont(const QFont& font, bool repaint)
{
    if (!HasFixedPitchGlyphs(font))
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
    // Text is drawn a row at a time and must stay in whole-pixel character cells: with
    // full hinting the advance is whole, and where the platform still gives a fraction,
    // letter spacing takes it out.
    m_paintFont = m_font;
    m_paintFont.setHintingPreference(QFont::PreferFullHinting);
    const qreal advance = QFontMetricsF(m_paintFont).horizontalAdvance(QLatin1Char('0'));
    const int cell = std::max(qRound(advance), 1);
    if (advance != cell)
        m_paintFont.setLetterSpacing(QFont::AbsoluteSpacing, cell - advance);

    m_laidOutSize = viewport()->size();
    HexEditLayoutInput input;
    input.charWidth = static_cast<uint32_t>(cell);
    input.lineHeight = static_cast<uint32_t>(std::max(QFontMetrics(m_paintFont).height(), 1));
    input.clientWidth = m_laidOutSize.width();
    input.clientHeight = m_laidOutSize.height();
    input.margin = m_margin;
    input.bytesPerRow = m_configuredBytesPerRow;
    input.addressDigits = m_addressDigits;
    input.addressGap = m_addressGap;
    input.hexAsciiGap = m_hexAsciiGap;
    input.showAddress = m_showAddress;
    input.showAscii = m_showAscii;
    input.dataLength = m_data.size();
    m_layout.Compute(input);
    m_scrollRow = std::min(m_scrollRow, m_layout.Geometry().maxScrollRow);
    m_scrollX = std::min(m_scrollX, m_layout.Geometry().maxScrollX);

    // The scroll bars follow once the current event is done: showing or hiding one resizes
    // the client area, which must not happen in the middle of a layout.
    QMetaObject::invokeMethod(this, &CHexEditBase::UpdateScrollBars, Qt::QueuedConnection);
}

void CHexEditBase::EnsureLayout()
{
    if (m_needsLayout || viewport()->size() != m_laidOutSize)
        RecalcLayout();
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
    EnsureLayout();
    const HexRect caret =
        hasFocus() ? m_layout.CaretRect(position, highNibble, m_scrollRow, m_scrollX) : HexRect();
    if (caret.width > 0)
        ShowCaret(QRect(caret.left, caret.top, caret.width, caret.height));
    else
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

// A scroll bar that appears or goes away resizes the viewport but not the control: the
// rows and columns are laid out again for the new viewport at once.
bool CHexEditBase::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize && viewport()->size() != m_laidOutSize) {
        RecalcLayout();
        PlaceCaret(m_caretPosition, m_caretHighNibble);
    }
    return QAbstractScrollArea::viewportEvent(event);
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

} // namespace orvanel
