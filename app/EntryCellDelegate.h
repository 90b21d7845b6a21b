#pragma once
// Paints the archive list's cells as the standard delegate does under the program's style,
// but lays out each cell's text once. The style's own item drawing measures and shapes the
// same text several times per cell (for the check, icon and text rectangles, for eliding and
// for drawing); with a screenful of short one-line texts that is most of a repaint's work.
// The cells' own characters, hexadecimal digits, are shaped once per font and placed from
// then on without shaping, pair by pair, where the font lays them out that way.

#include <QFont>
#include <QGlyphRun>
#include <QStyledItemDelegate>

#include <array>
#include <vector>

class QScreen;

namespace orvanel {

// The glyphs of the hexadecimal digits as a text layout places them in one font.
class CDigitGlyphs {
public:
    // Shapes the digits in font, alone and in every pair; nothing to do when done already.
    // About 300 short layouts, once per font and resolution: a layout without a device
    // takes the primary screen's, which may change while the program runs.
    void Prepare(const QFont& font);
    // Whether text is made of the digits only, in a font that places them pair by pair (each
    // glyph after the one before by an amount that depends on the two alone).
    bool CanPlace(const QString& text) const;
    // For text that CanPlace: its width, its line's height, and drawing it with the line's
    // top left at topLeft, glyph for glyph as its text layout would.
    qreal Width(const QString& text) const;
    qreal LineHeight() const { return m_lineHeight; }
    void Draw(QPainter& painter, QPointF topLeft, const QString& text);

private:
    static int DigitIndex(QChar c);
    // Fills the run's glyphs and places for text.
    void Place(const QString& text);

    QFont m_font;
    const QScreen* m_screen = nullptr;
    qreal m_dpi = 0;
    bool m_prepared = false;
    bool m_usable = false;
    std::array<quint32, 16> m_glyphs {};
    // How far a digit's glyph follows the one before, by the two digits (kerning included).
    std::array<std::array<qreal, 16>, 16> m_step {};
    std::array<qreal, 16> m_endWidth {}; // the width a line ending in the digit needs
    qreal m_lineHeight = 0;
    qreal m_baseline = 0;
    // Reused between cells, so that drawing one allocates nothing.
    std::vector<quint32> m_runGlyphs;
    std::vector<QPointF> m_runPositions;
    QGlyphRun m_run;
};

class CEntryCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable CDigitGlyphs m_digits;
};

} // namespace orvanel
