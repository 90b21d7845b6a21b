// Finding files in the archive list: the filter field above it, sorting by a header click,
// and the list's context menu.

#include "app/DATListView.h"

#include "app/EntryTableModel.h"
#include "app/GalleryView.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>

#include <cstdio>

namespace orvanel {

void CDATListView::SetUpFinding()
{
    m_filterField->setPlaceholderText(tr("Filter: ID digits, >size, <size"));
    m_filterField->setClearButtonEnabled(true);
    m_filterField->setToolTip(tr("Shows the files whose ID contains these hexadecimal digits "
                                 "(0x allowed) and whose size meets >N, <N, >=N, <=N or =N"));
    connect(m_filterField, &QLineEdit::textChanged, this, &CDATListView::OnFilterEdited);
    // Escape in the field or the list clears the filter; Return or Down in the field goes
    // to the rows.
    m_filterField->installEventFilter(this);
    m_fileList->installEventFilter(this);

    QHeaderView* header = m_fileList->horizontalHeader();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &CDATListView::SortByColumn);

    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QWidget::customContextMenuRequested, this,
        [this](QPoint point) { ShowContextMenu(m_fileList->viewport()->mapToGlobal(point)); });

    // The gallery shows the same rows and shares the table's selection, so selecting there
    // shows the file and Save saves its selection.
    m_gallery = new CGalleryView(*m_model, this);
    m_gallery->setSelectionModel(m_fileList->selectionModel());
    m_gallery->hide();
    connect(m_gallery, &QAbstractItemView::pressed, this, [this] { ShowSelectedFile(); });
    m_gallery->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_gallery, &QWidget::customContextMenuRequested, this,
        [this](QPoint point) { ShowContextMenu(m_gallery->viewport()->mapToGlobal(point)); });
    m_gallery->installEventFilter(this);
}

void CDATListView::SetGalleryArchive(const CDATArchive* archive)
{
    m_gallery->SetArchive(archive);
}

void CDATListView::SetThumbnails(bool on)
{
    m_thumbnails = on;
    UpdateGalleryShown();
}

bool CDATListView::IsGalleryShown() const
{
    return !m_gallery->isHidden();
}

void CDATListView::UpdateGalleryShown()
{
    // Only lines of pictures (textures and colour tables) have thumbnails.
    const DATEntryList* entries = m_model->GetEntries();
    const DATEntry* first = entries && !entries->empty() ? entries->front() : nullptr;
    const uint32_t category = first ? first->fileID >> 24 : 0;
    const bool gallery = m_thumbnails && (category == 0x04 || category == 0x06);
    if (gallery == IsGalleryShown())
        return;
    const bool hadFocus = hasFocus() || isAncestorOf(QApplication::focusWidget());
    QAbstractItemView* shown = gallery ? static_cast<QAbstractItemView*>(m_gallery) : m_fileList;
    m_gallery->setVisible(gallery);
    m_fileList->setVisible(!gallery);
    setFocusProxy(shown);
    if (hadFocus)
        shown->setFocus(Qt::OtherFocusReason);
    if (shown->currentIndex().isValid())
        shown->scrollTo(shown->currentIndex());
}

bool CDATListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress
        || (watched != m_filterField && watched != m_fileList && watched != m_gallery))
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape && !m_filterField->text().isEmpty()) {
        ClearFilter();
        return true;
    }
    if (watched == m_filterField && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down)) {
        // The rows shown: the gallery's when it stands in the list's place.
        (IsGalleryShown() ? static_cast<QWidget*>(m_gallery) : m_fileList)->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

template <typename Change>
void CDATListView::ChangeRows(Change change)
{
    const DATEntry* marked = m_model->EntryAt(m_fileList->selectionModel()->currentIndex().row());
    if (!marked)
        marked = m_shownEntry;
    change();
    const int64_t row = marked ? m_model->GetFilter().RowOfEntry(marked) : -1;
    if (row >= 0) {
        // The file shown stays marked; its key is unchanged, so it is not read again.
        SelectRow(int(row));
    }
    emit filterStatusChanged(FilterStatus());
}

void CDATListView::OnFilterEdited(const QString& text)
{
    ChangeRows([&] { m_model->SetFilterText(text); });
}

void CDATListView::FocusFilter()
{
    m_filterField->setFocus(Qt::ShortcutFocusReason);
    m_filterField->selectAll();
}

void CDATListView::ClearFilter()
{
    m_filterField->clear();
}

int CDATListView::RowOfIndex(size_t index)
{
    int64_t row = m_model->GetFilter().RowOfIndex(index);
    if (row < 0) {
        // The file asked for is hidden by the filter: show every file again.
        ClearFilter();
        row = m_model->GetFilter().RowOfIndex(index);
    }
    return int(row);
}

void CDATListView::SortByColumn(int column)
{
    if (column < 0 || column >= CEntryTableModel::ColumnCount)
        return;
    const CEntryFilter& filter = m_model->GetFilter();
    const auto key = static_cast<SortKey>(column);
    const SortOrder order = NextSortOrder(filter.GetSortKey(), filter.GetSortOrder(), key);
    ChangeRows([&] { m_model->SetSort(key, order); });
    QHeaderView* header = m_fileList->horizontalHeader();
    header->setSortIndicatorShown(order != SortOrder::Catalogue);
    if (order != SortOrder::Catalogue)
        header->setSortIndicator(
            column, order == SortOrder::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (m_fileList->selectionModel()->currentIndex().isValid())
        m_fileList->scrollTo(m_fileList->selectionModel()->currentIndex());
}

QString CDATListView::FilterStatus() const
{
    const CEntryFilter& filter = m_model->GetFilter();
    if (filter.GetQuery().IsEmpty() || !filter.GetEntries())
        return {};
    return tr("%1 of %2 files").arg(filter.RowCount()).arg(filter.TotalCount());
}

DATEntryList CDATListView::SelectedEntries() const
{
    QModelIndexList rows = m_fileList->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    DATEntryList entries;
    entries.reserve(size_t(rows.size()));
    for (const QModelIndex& index : rows) {
        if (const DATEntry* entry = m_model->EntryAt(index.row()))
            entries.push_back(entry);
    }
    return entries;
}

void CDATListView::CopySelectedIDs() const
{
    QString text;
    for (const DATEntry* entry : SelectedEntries()) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X\n", entry->fileID);
        text += QLatin1String(id);
    }
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text.trimmed());
}

void CDATListView::ShowContextMenu(QPoint globalPoint)
{
    QMenu menu(this);
    menu.addActions(m_contextActions);
    menu.exec(globalPoint);
}

} // namespace orvanel
