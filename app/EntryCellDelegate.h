#pragma once
// Paints the archive list's cells as the standard delegate does under the program's style,
// but lays out each cell's text once. The style's own item drawing measures and shapes the
// same text several times per cell (for the check, icon and text rectangles, for eliding and
// for drawing); with a screenful of short one-line texts that is most of a repaint's work.

#include <QStyledItemDelegate>

namespace orvanel {

class CEntryCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace orvanel
