#include "app/EntryTableModel.h"

#include <cstdio>

namespace orvanel {

void CEntryTableModel::SetEntries(const DATEntryList* entries)
{
    beginResetModel();
    m_filter.SetEntries(entries);
    endResetModel();
}

void CEntryTableModel::SetFilterText(const QString& text)
{
    beginResetModel();
    m_filter.SetQuery(text.toStdString());
    endResetModel();
}

void CEntryTableModel::SetSort(SortKey key, SortOrder order)
{
    beginResetModel();
    m_filter.SetSort(key, order);
    endResetModel();
}

const DATEntry* CEntryTableModel::EntryAt(int row) const
{
    return row < 0 ? nullptr : m_filter.EntryAt(size_t(row));
}

QString CEntryTableModel::CellText(int row, int column) const
{
    const DATEntry* entry = EntryAt(row);
    if (!entry)
        return {};
    char text[16];
    switch (column) {
    case ColumnID: std::snprintf(text, sizeof text, "%08X", entry->fileID); break;
    case ColumnVersion: std::snprintf(text, sizeof text, "%08X", entry->version); break;
    case ColumnOffset: std::snprintf(text, sizeof text, "%08X", entry->offset); break;
    case ColumnBytes: std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(entry->size)); break;
    default: return {};
    }
    return QString::fromLatin1(text);
}

int CEntryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_filter.RowCount());
}

int CEntryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CEntryTableModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole)
        return CellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant CEntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kHeaders[ColumnCount] = {"ID", "Version", "Offset", "Bytes"};
    if (section < 0 || section >= ColumnCount)
        return {};
    return QString::fromLatin1(kHeaders[section]);
}

} // namespace orvanel
