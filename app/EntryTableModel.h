#pragma once
// The rows of the archive list: one per entry of the chosen list that the filter lets
// through, in the order sorted by, its cells (ID, version, offset, bytes) formatted only when
// the view asks for them. The model stores no rows, only the filter's index array.

#include "app/EntryFilter.h"
#include "archive/DATArchive.h"

#include <QAbstractTableModel>

namespace orvanel {

class CEntryTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ColumnID, ColumnVersion, ColumnOffset, ColumnBytes, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // The list is borrowed from the archive's catalogue; null shows nothing.
    void SetEntries(const DATEntryList* entries);
    const DATEntryList* GetEntries() const { return m_filter.GetEntries(); }
    // The rows shown: the filter typed and the column sorted by.
    void SetFilterText(const QString& text);
    void SetSort(SortKey key, SortOrder order);
    const CEntryFilter& GetFilter() const { return m_filter; }
    // The entry of a row; null outside the list.
    const DATEntry* EntryAt(int row) const;
    // The text of a cell; empty outside the list.
    QString CellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    CEntryFilter m_filter;
};

} // namespace orvanel
