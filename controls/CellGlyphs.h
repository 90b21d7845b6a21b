#pragma once
// Text in fixed-pitch cells drawn straight from the font's glyphs: the glyph of each printable
// ASCII character is looked up once per font, so that drawing a row places glyphs in their
// cells without shaping the text again. The glyphs and their places are those the painter
// would give the same text in the same font, so the drawing looks the same.

#include <QFont>
#include <QGlyphRun>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <vector>

class QChar;
class QPainter;

namespace orvanel {

class CCellGlyphs {
public:
    // Prepares font, as a painter resolved it for a device of dpi dots per inch, with cells of
    // cellWidth pixels; nothing to do when it is prepared already.
    void Prepare(const QFont& font, int dpi, int cellWidth);
    // Draws count characters from text, one per cell, the first cell's origin at origin on the
    // baseline. Characters outside printable ASCII, or a font without a glyph for every one
    // of them, are drawn as text with the painter's font (which must be the prepared one).
    void Draw(QPainter& painter, QPointF origin, const QChar* text, qsizetype count);

private:
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kLast = 0x7E;

    QFont m_font;
    int m_dpi = 0;
    int m_cellWidth = 0;
    bool m_prepared = false;
    bool m_usable = false;
    QRawFont m_rawFont;
    std::array<quint32, kLast - kFirst + 1> m_glyphs {};
    // Reused between rows, so that drawing one allocates nothing.
    std::vector<quint32> m_runGlyphs;
    std::vector<QPointF> m_runPositions;
    QGlyphRun m_run;
};

} // namespace orvanel
