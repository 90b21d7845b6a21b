#pragma once
// The hex editor control: a block of bytes shown as an address column, a column of
// two-digit hex values and a column of characters, with a block caret on one hex digit,
// a selection of a contiguous byte range, vertical scrolling by whole rows and
// horizontal scrolling by pixels. It keeps its own copy of the bytes. It can overwrite
// bytes by typing or pasting unless it is read-only.
//
// Geometry setters only mark the layout stale; the layout is computed at the next paint
// or caret placement, and at once when the control is resized. All figures are in the
// widget's device-independent pixels.

#include "controls/CellGlyphs.h"
#include "controls/HexEditLayout.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QMenu;
class QPainter;

namespace orvanel {

// The MIME type under which the raw bytes of a copy travel: a 32-bit little-endian count
// followed by the bytes. On Windows Qt maps it to the registered clipboard format
// "BinaryData".
inline constexpr const char* kBinaryDataMime = "application/x-qt-windows-mime;value=\"BinaryData\"";

// The colours of a column or of the selection.
struct HexEditColours {
    QColor background;
    QColor text;
};

class CHexEditBase : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CHexEditBase(QWidget* parent = nullptr);
    ~CHexEditBase() override;

    // Mouse clicks are passed on to the parent through the signals below.
    bool NotifyMouse = false;
    // Context-menu requests go to the parent instead of the built-in menu.
    bool ForwardContextMenu = false;

    // Replaces the bytes with a copy of length bytes (none when bytes is null), clears the
    // selection and puts the caret on byte 0. False when the copy cannot be allocated;
    // the control is then left without data.
    bool SetData(const uint8_t* bytes, uint32_t length, bool repaint);
    virtual void SetReadOnly(bool readOnly, bool repaint);
    void SetShowAddress(bool show, bool repaint);
    void SetShowAscii(bool show, bool repaint);
    void SetAddressDigits(uint8_t digits, bool repaint);
    void SetAddressColours(QColor background, QColor text, bool repaint);
    void SetAsciiColours(QColor background, QColor text, bool repaint);
    void SetHexColours(QColor background, QColor text, bool repaint);
    void SetInactiveSelectionColours(QColor background, QColor text, bool repaint);
    void SetActiveSelectionColours(QColor text, QColor background, bool repaint);
    void SetBackgroundColour(QColor colour, bool repaint);
    void SetAddressGap(uint32_t pixels, bool repaint);
    void SetHexAsciiGap(uint32_t pixels, bool repaint);
    // Accepts only a fixed-pitch font; a proportional one is ignored and false returned.
    bool SetFont(const QFont& font, bool repaint);
    QFont GetFont() const { return m_font; }

    void RecalcLayout();
    void UpdateScrollBars();
    void PlaceCaret(uint32_t position, bool highNibble);
    void SetScrollRow(uint32_t row, bool repaint);
    void SetScrollX(uint32_t x, bool repaint);
    void ScrollRowsBy(int64_t rows, bool repaint);
    void ScrollPixelsBy(int64_t pixels, bool repaint);
    void EnsureVisible(uint32_t start, uint32_t end, bool repaint);

    HexHit HitTest(QPoint point) const;
    void MoveCaret(int32_t delta, bool highNibble);
    // Accepted only for a range inside the data; false when refused.
    bool SetSelection(uint32_t start, uint32_t end, bool scroll, bool repaint);
    void SelectAll();
    // The selection as a hex dump; empty without a selection inside the data.
    std::string BuildSelectionText(bool crlf, bool withAddress, bool withCharacters) const;
    // Offers the selection as raw bytes and as its hex dump; false when nothing was put.
    bool CopyToClipboard(bool crlf, bool withAddress, bool withCharacters);
    // Overwrites bytes from a raw-bytes block; false when nothing changed.
    bool PasteFromClipboard();

    std::span<const uint8_t> GetData() const { return m_data; }
    bool IsReadOnly() const { return m_readOnly; }
    const HexEditGeometry& GetGeometry() const { return m_layout.Geometry(); }
    uint32_t GetScrollRow() const { return m_scrollRow; }
    uint32_t GetScrollX() const { return m_scrollX; }
    uint32_t GetCaretPosition() const { return m_caretPosition; }
    bool IsCaretOnHighNibble() const { return m_caretHighNibble; }
    bool HasSelection() const { return m_selStart != kNoPosition && m_selEnd != kNoPosition; }
    uint32_t GetSelectionStart() const { return m_selStart; }
    uint32_t GetSelectionEnd() const { return m_selEnd; }
    // The caret block in client pixels; empty while no caret exists.
    QRect GetCaretRect() const { return m_caretExists ? m_caretRect : QRect(); }
    bool IsAutoScrolling() const { return m_autoScrolling; }
    int GetAutoScrollDirection() const { return m_autoScrollDirection; }
    uint16_t GetAutoScrollDelay() const { return m_autoScrollDelay; }
    // Rows formatted for painting since construction: a paint formats only visible rows.
    uint64_t GetFormattedRowCount() const { return m_formattedRows; }

signals:
    // Sent after the control's own handling when NotifyMouse is set; point in client
    // (viewport) coordinates.
    void leftButtonPressed(QPoint point, Qt::KeyboardModifiers modifiers);
    void leftButtonReleased(QPoint point, Qt::KeyboardModifiers modifiers);
    void leftButtonDoubleClicked(QPoint point, Qt::KeyboardModifiers modifiers);
    // A context-menu request passed on (ForwardContextMenu and NotifyMouse set).
    void contextMenuRequested(QPoint globalPoint);
    // At least one byte was changed by typing or pasting.
    void changed();

protected:
    // Lets a derived control add items to the built-in context menu before it is shown.
    virtual void OnContextMenuExtend(QMenu* menu);

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    uint32_t BytesPerRow() const { return m_configuredBytesPerRow ? m_configuredBytesPerRow : 1; }
    void Repaint(bool repaint);
    void Relayout(bool repaint);
    // Runs RecalcLayout when a setter marked the layout stale or the viewport has another
    // size than the layout was made for.
    void EnsureLayout();
    void SetColours(HexEditColours& colours, QColor background, QColor text, bool repaint);
    void DestroyCaret();
    void ShowCaret(const QRect& rect);
    bool ShiftHeld() const;
    bool HandleKey(const QKeyEvent* event);
    bool TypeHexDigit(const QString& text);
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void StartAutoScroll(QPoint point, int direction, uint16_t delay);
    void StopAutoScroll();
    void DragTo(QPoint point);
    void ShowContextMenu(QPoint globalPoint);
    bool ClipboardHasBinaryData() const;
    void AutoScrollTick();
    void PaintRow(QPainter& painter, uint64_t row, int top, int baseline, const QRect& clip);

    std::vector<uint8_t> m_data;
    CHexEditLayout m_layout;
    QSize m_laidOutSize; // the viewport size of the last layout
    uint32_t m_configuredBytesPerRow = 16;
    uint32_t m_addressDigits = 8;
    uint32_t m_selStart = kNoPosition;
    uint32_t m_selEnd = kNoPosition;
    uint32_t m_caretPosition = 0;
    uint32_t m_scrollRow = 0;
    uint32_t m_scrollX = 0;
    uint32_t m_dragAnchor = kNoPosition;
    uint32_t m_dragCurrent = kNoPosition;
    uint32_t m_addressGap = 5;
    uint32_t m_hexAsciiGap = 5;
    uint32_t m_margin = 5;
    bool m_needsLayout = true;
    bool m_caretExists = false;
    bool m_caretHighNibble = true;
    bool m_showAddress = false;
    bool m_showAscii = false;
    bool m_readOnly = false;

    HexEditColours m_addressColours {{90, 0, 0}, {255, 0, 0}};
    HexEditColours m_asciiColours {{0, 20, 0}, {0, 255, 0}};
    HexEditColours m_hexColours {{180, 210, 190}, {0, 0, 255}};
    QColor m_background {210, 210, 210};       // everything outside the columns
    HexEditColours m_inactiveSelectionColours; // while another widget has the focus
    HexEditColours m_activeSelectionColours;
    QString m_copyText = QStringLiteral("Copy");
    QString m_pasteText = QStringLiteral("Paste");
    QFont m_font;
    QFont m_paintFont; // m_font fitted to whole-pixel character cells by RecalcLayout

    // The caret: a block over one hex digit, blinking while it exists.
    QRect m_caretRect;
    bool m_caretBlinkOn = false;
    QBasicTimer m_caretBlinkTimer;

    // Mouse drag and auto-scroll.
    QRect m_dragThreshold;
    QPoint m_lastMousePoint;
    int m_autoScrollDirection = 0;
    uint16_t m_autoScrollDelay = 0;
    uint16_t m_autoScrollCountdown = 0;
    bool m_autoScrolling = false;
    QBasicTimer m_autoScrollTimer;

    // Modifiers of the key event being handled; Shift selection reads them.
    Qt::KeyboardModifiers m_keyModifiers;
    bool m_inKeyEvent = false;

    // Reused row buffers for painting, so a paint allocates nothing per row.
    QString m_addressLine;
    QString m_hexLine;
    QString m_charLine;
    CCellGlyphs m_cellGlyphs; // the paint font's glyphs, so that rows are drawn unshaped
    uint64_t m_formattedRows = 0;
};

} // namespace orvanel
