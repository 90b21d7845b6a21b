#include "app/GalleryView.h"

#include "app/EntryTableModel.h"
#include "app/LayoutSettings.h"
#include "app/ThumbnailLoader.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

namespace orvanel {

constexpr int kCellMargin = 4;

// Draws one cell: the thumbnail centred in its square, or a frame while it is being made, and
// the ID under it.
class CThumbnailDelegate : public QStyledItemDelegate {
public:
    explicit CThumbnailDelegate(CGalleryView& gallery) : QStyledItemDelegate(&gallery), m_gallery(gallery) { }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        const int edge = m_gallery.m_edge;
        return QSize(edge + 2 * kCellMargin, edge + option.fontMetrics.height() + 3 * kCellMargin);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int edge = m_gallery.m_edge;
        const QRect cell = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        if (selected)
            painter->fillRect(cell, palette.brush(QPalette::Highlight));
        const QRect square(cell.left() + (cell.width() - edge) / 2, cell.top() + kCellMargin, edge, edge);
        if (const auto pixels = m_gallery.ThumbnailOf(index.row())) {
            const QImage image(reinterpret_cast<const uchar*>(pixels->argb.data()), int(pixels->width),
                int(pixels->height), int(pixels->width * 4), QImage::Format_RGB32);
            const QPoint at(square.left() + (edge - int(pixels->width)) / 2,
                square.top() + (edge - int(pixels->height)) / 2);
            painter->drawImage(at, image);
        } else {
            painter->setPen(palette.color(QPalette::Mid));
            painter->drawRect(square.adjusted(0, 0, -1, -1));
        }
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect text(
            cell.left(), square.bottom() + kCellMargin, cell.width(), option.fontMetrics.height());
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop, index.data().toString());
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DotLine));
            painter->drawRect(cell.adjusted(0, 0, -1, -1));
        }
    }

private:
    CGalleryView& m_gallery;
};

CGalleryView::CGalleryView(CEntryTableModel& model, QWidget* parent)
    : QListView(parent), m_model(model), m_loader(new CThumbnailLoader(this))
{
    // A wrapping list of cells of one size: the view never measures rows it does not show.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new CThumbnailDelegate(*this));
    setModel(&model);
    connect(m_loader, &CThumbnailLoader::thumbnailReady, this, &CGalleryView::OnThumbnailReady);
    // A new category or filter asks for its own screen.
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { m_requested = {-1, -1}; });
}

CGalleryView::~CGalleryView()
{
    m_loader->SetArchive(nullptr);
}

void CGalleryView::SetArchive(const CDATArchive* archive)
{
    m_loader->SetArchive(archive);
    m_cache.Clear();
    m_failed.clear();
    m_requested = {-1, -1};
}

void CGalleryView::SetThumbnailSize(int edge)
{
    edge = std::clamp(edge, CLayoutSettings::kMinThumbnailSize, CLayoutSettings::kMaxThumbnailSize);
    if (edge == m_edge)
        return;
    m_edge = edge;
    m_requested = {-1, -1};
    // The cells change size: the view lays them out again.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    scheduleDelayedItemsLayout();
    viewport()->update();
    emit thumbnailSizeChanged(edge);
}

std::shared_ptr<const ThumbnailPixels> CGalleryView::ThumbnailOf(int row)
{
    const DATEntry* entry = m_model.EntryAt(row);
    return entry ? m_cache.Find(ThumbnailKey::Of(*entry, uint32_t(m_edge))) : nullptr;
}

std::pair<int, int> CGalleryView::VisibleRows() const
{
    // Cells all have one size and fill lines from the left, so the rows on screen follow
    // from the scroll position without asking the layout about each cell.
    const int count = m_model.rowCount();
    if (count == 0 || !isVisible())
        return {-1, -1};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QSize cell = itemDelegate()->sizeHint(option, m_model.index(0, 0)) + QSize(spacing(), spacing());
    const QRect area = viewport()->rect();
    const int perLine = std::max(1, area.width() / std::max(1, cell.width()));
    const int firstLine = verticalScrollBar()->value() / std::max(1, cell.height());
    const int lines = area.height() / std::max(1, cell.height()) + 2;
    const int first = std::min(count - 1, firstLine * perLine);
    const int last = std::min(count - 1, first + lines * perLine - 1);
    return {first, last};
}

void CGalleryView::RequestVisible()
{
    const auto [first, last] = VisibleRows();
    if (first < 0 || (first == m_requested.first && last == m_requested.second))
        return;
    m_requested = {first, last};
    const int count = m_model.rowCount();
    const int ahead = std::min(count - 1, last + (last - first + 1));
    std::deque<DATEntry> wanted;
    for (int row = first; row <= ahead; ++row) {
        const DATEntry* entry = m_model.EntryAt(row);
        if (!entry)
            continue;
        const ThumbnailKey key = ThumbnailKey::Of(*entry, uint32_t(m_edge));
        if (!m_cache.Contains(key) && !m_failed.count(key))
            wanted.push_back(*entry);
    }
    m_loader->Request(std::move(wanted), uint32_t(m_edge));
}

void CGalleryView::OnThumbnailReady(ThumbnailKey key, std::shared_ptr<const ThumbnailPixels> pixels)
{
    if (key.edge != uint32_t(m_edge))
        return;
    if (!pixels) {
        m_failed.emplace(key, true);
        return;
    }
    m_cache.Insert(key, std::move(pixels));
    viewport()->update();
}

void CGalleryView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    RequestVisible();
}

void CGalleryView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QListView::wheelEvent(event);
        return;
    }
    event->accept();
    m_wheelDelta += event->angleDelta().y();
    const int steps = m_wheelDelta / QWheelEvent::DefaultDeltasPerStep;
    m_wheelDelta -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0)
        SetThumbnailSize(m_edge + 16 * steps);
}

} // namespace orvanel
