#include "app/EntryTableModel.h"

#include <cstdio>

namespace orvanel {

void CEntryTableModel::SetEntries(const DATEntryList* entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

const DATEntry* CEntryTableModel::EntryAt(int row) const
{
    if (!m_entries || row < 0 || size_t(row) >= m_entries->size())
        return nullptr;
    return (*m_entries)[size_t(row)];
}

QString CEntryTableModel::CellText(int row, int column) const
{
    const DATEntry* entry = EntryAt(row);
    if (!entry)
        return {};
    char text[16];
    switch (column) {
    case ColumnID:
        std::snprintf(text, sizeof text, "%08X", entry->fileID);
        break;
    case ColumnVersion:
        std::snprintf(text, sizeof text, "%08X", entry->version);
        break;
    case ColumnOffset:
        std::snprintf(text, sizeof text, "%08X", entry->offset);
        break;
    case ColumnBytes:
        std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(entry->size));
        break;
    default:
        return {};
    }
    return QString::fromLatin1(text);
}

int CEntryTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_entries)
        return 0;
    return int(m_entries->size());
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
