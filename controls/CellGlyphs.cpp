#include "controls/CellGlyphs.h"

#include <QPainter>
#include <QString>

#include <algorithm>

namespace orvanel {

void CCellGlyphs::Prepare(const QFont& font, int dpi, int cellWidth)
{
    if (m_prepared && dpi == m_dpi && cellWidth == m_cellWidth && font == m_font)
        return;
    m_prepared = true;
    m_font = font;
    m_dpi = dpi;
    m_cellWidth = cellWidth;
    // The painter draws these characters with the font's own engine, the first of its
    // families; a character missing there would come from another family, so then every
    // row is drawn as text.
    m_rawFont = QRawFont::fromFont(font);
    QString printable;
    for (char16_t c = kFirst; c <= kLast; ++c)
        printable.append(QChar(c));
    const QList<quint32> glyphs =
        m_rawFont.isValid() ? m_rawFont.glyphIndexesForString(printable) : QList<quint32>();
    m_usable = glyphs.size() == qsizetype(m_glyphs.size())
        && std::all_of(glyphs.begin() + 1, glyphs.end(), [](quint32 glyph) { return glyph != 0; });
    if (m_usable)
        std::copy(glyphs.begin(), glyphs.end(), m_glyphs.begin());
    m_run = QGlyphRun();
    m_run.setRawFont(m_rawFont);
}

void CCellGlyphs::Draw(QPainter& painter, QPointF origin, const QChar* text, qsizetype count)
{
    const bool printable = std::all_of(
        text, text + count, [](QChar c) { return c.unicode() >= kFirst && c.unicode() <= kLast; });
    if (!m_usable || !printable) {
        painter.drawText(origin, QString(text, count));
        return;
    }
    m_runGlyphs.clear();
    m_runPositions.clear();
    for (qsizetype i = 0; i < count; ++i) {
        // A space leaves its cell empty.
        if (text[i].unicode() == u' ')
            continue;
        m_runGlyphs.push_back(m_glyphs[text[i].unicode() - kFirst]);
        m_runPositions.emplace_back(qreal(i) * m_cellWidth, 0.0);
    }
    if (m_runGlyphs.empty())
        return;
    m_run.setRawData(m_runGlyphs.data(), m_runPositions.data(), int(m_runGlyphs.size()));
    painter.drawGlyphRun(origin, m_run);
}

} // namespace orvanel
