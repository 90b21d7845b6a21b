#include "app/DATListView.h"

#include "app/EntryTableModel.h"
#include "app/GalleryView.h"
#include "app/OrvanelDoc.h"
#include "app/SelectionExport.h"
#include "app/FileExport.h"
#include "archive/DATFileRecord.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QResizeEvent>
#include <QTableView>

#include <algorithm>
#include <cstdio>

namespace orvanel {

namespace {

// Fills the drop-down list with the catalogue's lines and remembers the list behind each.
class CComboCategorySelector final : public ICategorySelector {
public:
    CComboCategorySelector(QComboBox& combo, std::vector<const DATEntryList*>& lists)
        : m_combo(combo)
        , m_lists(lists)
    {
    }
    void RemoveAllLines() override
    {
        m_combo.clear();
        m_lists.clear();
    }
    int AppendLine(const std::string& text) override
    {
        m_combo.addItem(QString::fromLatin1(text.c_str()));
        m_lists.push_back(nullptr);
        return m_combo.count() - 1;
    }
    void SetLineData(int index, const DATEntryList* list) override
    {
        if (index >= 0 && size_t(index) < m_lists.size())
            m_lists[size_t(index)] = list;
    }

private:
    QComboBox& m_combo;
    std::vector<const DATEntryList*>& m_lists;
};

// Width of the widest of the given characters, repeated count times.
int DigitsWidth(const QFontMetrics& metrics, const char* digits, int count)
{
    int widest = 0;
    for (const char* c = digits; *c; ++c)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(*c)));
    return widest * count;
}

} // namespace

CDATListView::CDATListView(COrvanelDoc& doc, QWidget* parent)
    : QWidget(parent)
    , m_doc(doc)
    , m_selector(new QComboBox(this))
    , m_filterField(new QLineEdit(this))
    , m_fileList(new QTableView(this))
    , m_model(new CEntryTableModel(this))
{
    m_selector->setEditable(false);
    m_selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_selector->setMinimumContentsLength(1);

    m_fileList->setModel(m_model);
    m_fileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileList->setShowGrid(true);
    m_fileList->setWordWrap(false);
    m_fileList->setTabKeyNavigation(false);
    m_fileList->setCornerButtonEnabled(false);
    // Rows of one fixed height, so the view never measures rows it does not show.
    QHeaderView* rows = m_fileList->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_fileList->fontMetrics().height() + 4);
    QHeaderView* columns = m_fileList->horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    for (int c = 0; c < CEntryTableModel::ColumnCount; ++c)
        columns->resizeSection(c, 10);

    connect(m_selector, &QComboBox::currentIndexChanged, this, [this] { OnCategoryChanged(); });
    connect(m_fileList->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this] { ShowSelectedFile(); });
    connect(m_fileList, &QAbstractItemView::pressed, this, [this] { ShowSelectedFile(); });
    setFocusProxy(m_fileList);
    SetUpFinding();
}

CDATListView::~CDATListView() = default;

void CDATListView::ClearList()
{
    m_model->SetEntries(nullptr);
    SetGalleryArchive(nullptr);
    {
        const QSignalBlocker blocker(m_selector);
        m_selector->clear();
    }
    m_lineLists.clear();
    m_currentEntryKey.clear();
    m_shownEntry = nullptr;
    update();
}

void CDATListView::RefreshList()
{
    ClearList();
    SetGalleryArchive(m_doc.GetArchive());
    if (const CDATArchive* archive = m_doc.GetArchive()) {
        const QSignalBlocker blocker(m_selector);
        CComboCategorySelector selector(*m_selector, m_lineLists);
        archive->FillCategoryList(selector);
        if (m_selector->count() > 0)
            m_selector->setCurrentIndex(0);
    }
    OnCategoryChanged();
}

void CDATListView::OnCategoryChanged()
{
    ShowLine(0);
}

void CDATListView::ShowLine(int row)
{
    const int line = m_selector->currentIndex();
    const DATEntryList* entries =
        line >= 0 && size_t(line) < m_lineLists.size() ? m_lineLists[size_t(line)] : nullptr;
    m_model->SetEntries(entries);
    UpdateGalleryShown();
    if (row >= 0 && row < m_model->rowCount())
        SelectRow(row);
    FitColumns();
    ShowSelectedFile();
    emit filterStatusChanged(FilterStatus());
}

void CDATListView::SelectRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    m_fileList->selectionModel()->setCurrentIndex(index,
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_fileList->scrollTo(index);
    if (IsGalleryShown())
        m_gallery->scrollTo(index);
}

void CDATListView::FitColumns()
{
    // Every cell of a column has the same number of characters except the byte counts, so a
    // column fits its widest possible text; the byte counts fit the largest size's digits.
    const QFontMetrics cells = m_fileList->fontMetrics();
    QHeaderView* header = m_fileList->horizontalHeader();
    const QFontMetrics headerMetrics = header->fontMetrics();
    uint32_t largest = 0;
    if (const DATEntryList* entries = m_model->GetEntries()) {
        for (const DATEntry* entry : *entries)
            largest = std::max(largest, entry ? entry->size : 0u);
    }
    const int sizeDigits = int(std::to_string(largest).size());
    const QStyle* style = m_fileList->style();
    const int cellPadding = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_fileList) + 1) + 2;
    const int titlePadding = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 2;
    for (int c = 0; c < CEntryTableModel::ColumnCount; ++c) {
        const int content = c == CEntryTableModel::ColumnBytes ? DigitsWidth(cells, "0123456789", sizeDigits)
                                                               : DigitsWidth(cells, "0123456789ABCDEF", 8);
        const int title = headerMetrics.horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString());
        header->resizeSection(c, std::max(content + cellPadding, title + titlePadding));
    }
}

bool CDATListView::ShowSelectedFile()
{
    const int mark = m_fileList->selectionModel()->currentIndex().row();
    if (mark < 0)
        return false;
    const DATEntry* entry = m_model->EntryAt(mark);
    if (!entry)
        return false;
    std::string key = MakeEntryKey(*entry);
    if (key == m_currentEntryKey)
        return false;
    m_doc.ShowFile(entry);
    m_currentEntryKey = std::move(key);
    m_shownEntry = entry;
    return true;
}

void CDATListView::SaveSelectedFiles(const std::string& folder)
{
    const DATEntryList entries = SelectedEntries();
    if (entries.empty())
        return;
    if (ExportWithProgress(m_doc, entries, folder, this) > 0)
        m_doc.GetPrompts().Inform(kExportSummaryMessage);
}

bool CDATListView::GoToID(uint32_t fileID)
{
    const auto byID = [](const DATEntry* entry, uint32_t id) { return entry->fileID < id; };
    for (size_t line = 0; line < m_lineLists.size(); ++line) {
        const DATEntryList* list = m_lineLists[line];
        if (!list)
            continue;
        const auto found = std::lower_bound(list->begin(), list->end(), fileID, byID);
        if (found == list->end() || (*found)->fileID != fileID)
            continue;
        const size_t index = size_t(found - list->begin());
        if (m_selector->currentIndex() == int(line)) {
            SelectRow(RowOfIndex(index));
        } else {
            // The line's first row is not shown on the way to the row asked for.
            const QSignalBlocker blocker(m_selector);
            m_selector->setCurrentIndex(int(line));
            m_model->SetEntries(list);
            ShowLine(RowOfIndex(index));
        }
        return true;
    }
    return false;
}

void CDATListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = event->size().width();
    const int h = event->size().height();
    const int s = m_selector->sizeHint().height();
    m_selector->setGeometry(0, 0, w, s);
    const int f = m_filterField->sizeHint().height();
    m_filterField->setGeometry(0, s + 3, w, f);
    const int top = s + 3 + f + 3;
    m_fileList->setGeometry(0, top, w, std::max(0, h - top));
    m_gallery->setGeometry(m_fileList->geometry());
}

} // namespace orvanel
