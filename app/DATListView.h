#pragma once
// The left pane: a drop-down list of the archive's categories above a table of the chosen
// category's files. Moving the table's selection mark to another file shows it.

#include "archive/DATArchive.h"
#include "content/FileExport.h"

#include <QList>
#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QMenu;
class QTableView;

namespace orvanel {

class CEntryTableModel;
class CGalleryView;
class COrvanelDoc;

class CDATListView : public QWidget {
    Q_OBJECT

public:
    CDATListView(COrvanelDoc& doc, QWidget* parent = nullptr);
    ~CDATListView() override;

    void ClearList();
    // Fills the category selector from the document's archive and shows the first category.
    void RefreshList();
    void OnCategoryChanged();
    // Hands the file at the selection mark to the document if it is not the one shown.
    bool ShowSelectedFile();
    // Exports the selected rows into folder, pictures in format; none when nothing is selected.
    std::optional<ExportResult> SaveSelectedFiles(
        const std::string& folder, ExportFormat format = ExportFormat::BMP);
    // Exports every file of the chosen selector line, the filter notwithstanding; none when
    // the line has no files.
    std::optional<ExportResult> SaveLineFiles(const std::string& folder, ExportFormat format);
    // The files of the chosen selector line, all of them whatever the filter shows.
    DATEntryList LineEntries() const;
    // Chooses the first category line holding fileID and selects its first row with it.
    bool GoToID(uint32_t fileID);
    // Puts the files a comparison found new and changed, as two lines, at the top of the
    // category selector and shows the first. Clearing the list ends the comparison.
    void ShowComparison(DATEntryList added, DATEntryList changed);
    void EndComparison();

    // The filter typed above the list (Find, Escape) and the sort by header clicks.
    void FocusFilter();
    void ClearFilter();
    void SortByColumn(int column);
    // "N of M files" while a filter narrows the list, otherwise empty.
    QString FilterStatus() const;
    // The entries of the selected rows, in the order shown.
    DATEntryList SelectedEntries() const;
    // Copies the selected rows' IDs, one per line.
    void CopySelectedIDs() const;
    void SetContextMenuActions(QList<QAction*> actions) { m_contextActions = std::move(actions); }

    // Thumbnails instead of the table, for the lines of pictures.
    void SetThumbnails(bool on);
    bool IsGalleryShown() const;
    CGalleryView& GetGallery() { return *m_gallery; }

    QComboBox& GetCategorySelector() { return *m_selector; }
    QLineEdit& GetFilterField() { return *m_filterField; }
    QTableView& GetFileList() { return *m_fileList; }
    CEntryTableModel& GetModel() { return *m_model; }

signals:
    // The comparison's lines have gone.
    void ComparisonEnded();
    void filterStatusChanged(const QString& status);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fills the table from the selector's chosen line and shows the file at row.
    void ShowLine(int row);
    // Fits each column to its header and its widest text, then stretches the Bytes column.
    void FitColumns();
    void StretchBytesColumn();
    void SelectRow(int row);
    // Rebuilds the rows through change, keeping the file at the mark selected if still shown.
    template <typename Change>
    void ChangeRows(Change change);
    void OnFilterEdited(const QString& text);
    // The row showing the line's entry at index; clears the filter when it hides it.
    int RowOfIndex(size_t index);
    void ShowContextMenu(QPoint globalPoint);
    // Shows the gallery or the table, as the line and the Thumbnails command ask.
    void UpdateGalleryShown();
    void SetGalleryArchive(const CDATArchive* archive);
    void SetUpFinding();
    bool eventFilter(QObject* watched, QEvent* event) override;

    COrvanelDoc& m_doc;
    // The list behind each line of the selector, borrowed from the archive's catalogue.
    std::vector<const DATEntryList*> m_lineLists;
    // The lists of the comparison's lines, held while the selector shows them.
    std::array<DATEntryList, 2> m_comparisonLists;
    bool m_comparing = false;
    std::string m_currentEntryKey;
    int m_bytesColumnWidth = 0; // what the Bytes column needs, before it is stretched
    // The entry last handed to the document, marked again when the filter shows it again.
    const DATEntry* m_shownEntry = nullptr;
    QComboBox* m_selector;
    QLineEdit* m_filterField;
    QTableView* m_fileList;
    QList<QAction*> m_contextActions;
    CGalleryView* m_gallery = nullptr;
    bool m_thumbnails = false;
    CEntryTableModel* m_model;
};

} // namespace orvanel
