#include "app/EntryCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace orvanel {

namespace {

constexpr char16_t kDigits[] = u"0123456789ABCDEF";
// Wider than any pair of digits: a line of them is never broken.
constexpr qreal kWideLine = 10000;

// A text laid out as one unwrapped line from the left, as a cell lays out its text.
struct ShapedLine {
    QList<QGlyphRun> runs;
    qreal height = 0;
    qreal naturalWidth = 0;
};

ShapedLine Shape(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    ShapedLine shaped;
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(kWideLine);
        line.setPosition(QPointF(0, 0));
        shaped.height = line.height();
        shaped.naturalWidth = line.naturalTextWidth();
    }
    layout.endLayout();
    shaped.runs = layout.glyphRuns();
    return shaped;
}

} // namespace

int CDigitGlyphs::DigitIndex(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

void CDigitGlyphs::Prepare(const QFont& font)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 0;
    if (m_prepared && font == m_font && screen == m_screen && dpi == m_dpi)
        return;
    m_prepared = true;
    m_font = font;
    m_screen = screen;
    m_dpi = dpi;
    m_usable = false;
    m_run = QGlyphRun();
    // Lines under, over or through the text are left to the text layout to draw.
    if (font.underline() || font.overline() || font.strikeOut())
        return;

    // Each digit alone: its glyph, the line's height and baseline, and the width a line
    // ending in it needs (its advance, or more where the glyph reaches past it).
    QRawFont rawFont;
    for (int d = 0; d < 16; ++d) {
        const ShapedLine alone = Shape(QString(QChar(kDigits[d])), font);
        if (alone.runs.size() != 1 || alone.runs[0].glyphIndexes().size() != 1)
            return;
        const QGlyphRun& run = alone.runs[0];
        const QPointF place = run.positions()[0];
        if (d == 0) {
            rawFont = run.rawFont();
            m_lineHeight = alone.height;
            m_baseline = place.y();
        } else if (run.rawFont() != rawFont || alone.height != m_lineHeight || place.y() != m_baseline) {
            return;
        }
        if (place.x() != 0)
            return;
        m_glyphs[size_t(d)] = run.glyphIndexes()[0];
        m_endWidth[size_t(d)] = alone.naturalWidth;
    }
    // Every pair: how far the second glyph follows the first, kerning included. Neither
    // glyph may change in the pair, and a line ending in the pair needs that step more than
    // one ending in the second.
    for (int a = 0; a < 16; ++a) {
        for (int b = 0; b < 16; ++b) {
            const ShapedLine pair = Shape(QString(QChar(kDigits[a])) + QChar(kDigits[b]), font);
            if (pair.runs.size() != 1 || pair.runs[0].rawFont() != rawFont)
                return;
            const QList<quint32> glyphs = pair.runs[0].glyphIndexes();
            const QList<QPointF> places = pair.runs[0].positions();
            if (glyphs.size() != 2 || glyphs[0] != m_glyphs[size_t(a)] || glyphs[1] != m_glyphs[size_t(b)]
                || places[0] != QPointF(0, m_baseline) || places[1].y() != m_baseline
                || pair.naturalWidth != places[1].x() + m_endWidth[size_t(b)])
                return;
            m_step[size_t(a)][size_t(b)] = places[1].x();
        }
    }
    // A text of any length is then placed pair by pair, where the font kerns pairs alone and
    // no kerning looks further: checked on longer texts, which such a font would place
    // differently.
    m_usable = true;
    for (const QString& text : {QStringLiteral("0123456789ABCDEF"), QStringLiteral("FEDCBA9876543210"),
             QStringLiteral("AAAAAAAA"), QStringLiteral("0A0A0A0A"), QStringLiteral("F7F7A4A4")}) {
        const ShapedLine shaped = Shape(text, font);
        Place(text);
        const bool same = shaped.runs.size() == 1 && shaped.runs[0].rawFont() == rawFont
            && shaped.runs[0].glyphIndexes() == QList<quint32>(m_runGlyphs.begin(), m_runGlyphs.end())
            && shaped.runs[0].positions() == QList<QPointF>(m_runPositions.begin(), m_runPositions.end())
            && shaped.naturalWidth == Width(text);
        if (!same) {
            m_usable = false;
            return;
        }
    }
    m_run.setRawFont(rawFont);
}

bool CDigitGlyphs::CanPlace(const QString& text) const
{
    return m_usable && !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return DigitIndex(c) >= 0; });
}

qreal CDigitGlyphs::Width(const QString& text) const
{
    qreal width = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        width += m_step[size_t(DigitIndex(text[i]))][size_t(DigitIndex(text[i + 1]))];
    return width + m_endWidth[size_t(DigitIndex(text.back()))];
}

void CDigitGlyphs::Place(const QString& text)
{
    m_runGlyphs.clear();
    m_runPositions.clear();
    qreal x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const size_t d = size_t(DigitIndex(text[i]));
        if (i > 0)
            x += m_step[size_t(DigitIndex(text[i - 1]))][d];
        m_runGlyphs.push_back(m_glyphs[d]);
        m_runPositions.emplace_back(x, m_baseline);
    }
}

void CDigitGlyphs::Draw(QPainter& painter, QPointF topLeft, const QString& text)
{
    Place(text);
    m_run.setRawData(m_runGlyphs.data(), m_runPositions.data(), int(m_runGlyphs.size()));
    painter.drawGlyphRun(topLeft, m_run);
}

void CEntryCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Only a plain cell of one line of text that fits is drawn here, with its focus frame if
    // it has one; a cell with an icon, a check box, wrapped or elided text, or right-to-left
    // text is left to the style.
    const bool plain = opt.features == QStyleOptionViewItem::HasDisplay && !opt.text.isEmpty()
        && !(opt.state & QStyle::State_Editing) && opt.direction == Qt::LeftToRight;
    if (!plain) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();

    // The text as the style lays it out: inside the cell less the focus frame's margin, one
    // unwrapped line, placed by the cell's alignment.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
    const Qt::Alignment alignment = QStyle::visualAlignment(opt.direction, opt.displayAlignment);
    m_digits.Prepare(opt.font);
    const bool digits = (alignment & (Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute)) == Qt::AlignLeft
        && m_digits.CanPlace(opt.text);
    std::optional<QTextLayout> layout;
    qreal lineHeight = 0;
    bool fits = false;
    if (digits) {
        lineHeight = m_digits.LineHeight();
        fits = m_digits.Width(opt.text) <= textRect.width();
    } else {
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(opt.direction);
        textOption.setAlignment(alignment);
        layout.emplace(opt.text, opt.font);
        layout->setTextOption(textOption);
        // The glyphs shaped to measure the line are kept for drawing it.
        layout->setCacheEnabled(true);
        layout->beginLayout();
        QTextLine line = layout->createLine();
        fits = line.isValid();
        if (fits) {
            line.setLineWidth(textRect.width());
            line.setPosition(QPointF(0, 0));
            lineHeight = line.height();
            fits = line.naturalTextWidth() <= textRect.width() && !layout->createLine().isValid();
        }
        layout->endLayout();
    }
    if (!fits) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    painter->save();
    painter->setClipRect(opt.rect, Qt::IntersectClip); // a painter without a clip takes the rectangle
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const Qt::Alignment vertical = opt.displayAlignment & Qt::AlignVertical_Mask;
    const QRect placed =
        QStyle::alignedRect(opt.direction, vertical, QSize(textRect.width(), int(lineHeight)), textRect);
    const QPointF topLeft(textRect.x(), placed.y());
    if (digits)
        m_digits.Draw(*painter, topLeft, opt.text);
    else
        layout->draw(painter, topLeft);
    if (opt.state & QStyle::State_HasFocus) {
        // The frame as the style draws an item's: around the focus rectangle, on the colour
        // of the cell's ground.
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(opt);
        frame.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup frameGroup =
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        frame.backgroundColor = opt.palette.color(
            frameGroup, opt.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, widget);
    }
    painter->restore();
}

} // namespace orvanel
