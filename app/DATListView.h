#pragma once
// The left pane: a drop-down list of the archive's categories above a table of the chosen
// category's files. Moving the table's selection mark to another file shows it.

#include "archive/DATArchive.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QComboBox;
class QTableView;

namespace orvanel {

class CEntryTableModel;
class COrvanelDoc;

class CDATListView : public QWidget
{
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
    // Exports the selected rows into folder and tells the user once if any was not saved.
    void SaveSelectedFiles(const std::string& folder);
    // Chooses the first category line holding fileID and selects its first row with it.
    bool GoToID(uint32_t fileID);
    // Puts the files a comparison found new and changed, as two lines, at the top of the
    // category selector and shows the first. Clearing the list ends the comparison.
    void ShowComparison(DATEntryList added, DATEntryList changed);
    void EndComparison();

    QComboBox& GetCategorySelector() { return *m_selector; }
    QTableView& GetFileList() { return *m_fileList; }
    CEntryTableModel& GetModel() { return *m_model; }

signals:
    // The comparison's lines have gone.
    void ComparisonEnded();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fills the table from the selector's chosen line and shows the file at row.
    void ShowLine(int row);
    // Fits each column to its header and its widest text, then stretches the Bytes column.
    void FitColumns();
    void StretchBytesColumn();
    void SelectRow(int row);

    COrvanelDoc& m_doc;
    // The list behind each line of the selector, borrowed from the archive's catalogue.
    std::vector<const DATEntryList*> m_lineLists;
    // The lists of the comparison's lines, held while the selector shows them.
    std::array<DATEntryList, 2> m_comparisonLists;
    bool m_comparing = false;
    std::string m_currentEntryKey;
    int m_bytesColumnWidth = 0; // what the Bytes column needs, before it is stretched
    QComboBox* m_selector;
    QTableView* m_fileList;
    CEntryTableModel* m_model;
};

} // namespace orvanel
