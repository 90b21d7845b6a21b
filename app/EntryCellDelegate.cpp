#include "app/EntryCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace orvanel {

void CEntryCellDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Only a plain cell of one line of text that fits is drawn here; a cell with the focus
    // frame, an icon, a check box, wrapped or elided text, or right-to-left text is left to
    // the style.
    const bool plain = opt.features == QStyleOptionViewItem::HasDisplay && !opt.text.isEmpty()
        && !(opt.state & (QStyle::State_HasFocus | QStyle::State_Editing))
        && opt.direction == Qt::LeftToRight;
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
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(opt.direction);
    textOption.setAlignment(QStyle::visualAlignment(opt.direction, opt.displayAlignment));
    QTextLayout layout(opt.text, opt.font);
    layout.setTextOption(textOption);
    // The glyphs shaped to measure the line are kept for drawing it.
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    bool fits = line.isValid();
    if (fits) {
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
        fits = line.naturalTextWidth() <= textRect.width() && !layout.createLine().isValid();
    }
    layout.endLayout();
    if (!fits) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    painter->save();
    painter->setClipRegion(painter->hasClipping() ? painter->clipRegion() & opt.rect : QRegion(opt.rect));
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const Qt::Alignment vertical = opt.displayAlignment & Qt::AlignVertical_Mask;
    const QRect placed =
        QStyle::alignedRect(opt.direction, vertical, QSize(textRect.width(), int(line.height())), textRect);
    layout.draw(painter, QPointF(textRect.x(), placed.y()));
    painter->restore();
}

} // namespace orvanel
