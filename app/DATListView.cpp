#include "app/DATListView.h"

#include "app/EntryCellDelegate.h"
#include "app/EntryTableModel.h"
#include "app/GalleryView.h"
#include "app/OrvanelDoc.h"
#include "app/SelectionExport.h"
#include "archive/DATFileRecord.h"
#include "content/FileExport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QResizeEvent>
#include <QStringListModel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace orvanel {

namespace {

// Fills the drop-down list with the catalogue's lines and remembers the list behind each.
// The lines reach the drop-down list together, in AddLines.
class CComboCategorySelector final : public ICategorySelector {
public:
    CComboCategorySelector(QComboBox& combo, std::vector<const DATEntryList*>& lists)
        : m_combo(combo), m_lists(lists)
    {
    }
    void AddLines()
    {
        // Into an empty list of strings, all the lines are one change of the model.
        auto* strings = qobject_cast<QStringListModel*>(m_combo.model());
        if (strings && m_combo.count() == 0)
            strings->setStringList(m_pending);
        else
            m_combo.addItems(m_pending);
        m_pending.clear();
    }
    void RemoveAllLines() override
    {
        m_pending.clear();
        if (m_combo.count() > 0)
            m_combo.clear();
        m_lists.clear();
    }
    int AppendLine(const std::string& text) override
    {
        m_pending.append(QString::fromLatin1(text.c_str()));
        m_lists.push_back(nullptr);
        return m_combo.count() + int(m_pending.size()) - 1;
    }
    void SetLineData(int index, const DATEntryList* list) override
    {
        if (index >= 0 && size_t(index) < m_lists.size())
            m_lists[size_t(index)] = list;
    }

private:
    QComboBox& m_combo;
    std::vector<const DATEntryList*>& m_lists;
    QStringList m_pending;
};

// The file table's keys: Home and End go to the first and last row (not the first and last
// column), and moving with Ctrl selects the row it reaches, so that the file shown is
// always the one selected.
class CFileTable final : public QTableView {
public:
    using QTableView::QTableView;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const int rows = model() ? model()->rowCount() : 0;
        if ((action == MoveHome || action == MoveEnd) && rows > 0)
            return model()->index(action == MoveHome ? 0 : rows - 1, 0);
        return QTableView::moveCursor(action, modifiers);
    }

    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event) const override
    {
        if (event && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            const Qt::KeyboardModifiers held = key->modifiers();
            if ((held & Qt::ControlModifier) && !(held & Qt::ShiftModifier) && key->key() != Qt::Key_Space)
                return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
        }
        return QTableView::selectionCommand(index, event);
    }
};

// The width a cell of the view needs for text, padding and focus frame included.
int CellWidth(const QAbstractItemView& view, const QString& text)
{
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    return view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view).width();
}

// The column header. Its labels never change, but every new list resets the header and with
// it Qt's measure of each label, which lays the label's text out again: the measures are kept
// here for as long as the label, its sort arrow, the font and the style stay the same.
class CColumnHeader final : public QHeaderView {
public:
    // Clickable, as the table's own header is: a click on a label selects its column.
    explicit CColumnHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
    {
        setSectionsClickable(true);
    }

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override
    {
        if (logicalIndex < 0 || logicalIndex >= kMostMeasured)
            return QHeaderView::sectionSizeFromContents(logicalIndex);
        const QString label =
            model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
        const bool arrow = isSortIndicatorShown() && sortIndicatorSection() == logicalIndex;
        if (m_measured.size() <= logicalIndex)
            m_measured.resize(logicalIndex + 1);
        Measure& measure = m_measured[logicalIndex];
        if (!measure.size.isValid() || measure.label != label || measure.arrow != arrow)
            measure = {label, arrow, QHeaderView::sectionSizeFromContents(logicalIndex)};
        return measure.size;
    }
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            m_measured.clear();
        QHeaderView::changeEvent(event);
    }

private:
    static constexpr int kMostMeasured = 64;
    struct Measure {
        QString label;
        bool arrow = false;
        QSize size; // invalid until measured
    };
    mutable QList<Measure> m_measured;
};

} // namespace

CDATListView::CDATListView(COrvanelDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_selector(new QComboBox(this)), m_filterField(new QLineEdit(this)),
      m_fileList(new CFileTable(this)), m_model(new CEntryTableModel(this))
{
    m_selector->setEditable(false);
    // Its lines are plain texts, replaced all together on every open: a list of strings takes
    // them in one change, where the standard model makes and removes an item for each line.
    m_selector->setModel(new QStringListModel(m_selector));
    m_selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_selector->setMinimumContentsLength(1);

    m_fileList->setHorizontalHeader(new CColumnHeader(m_fileList));
    m_fileList->setModel(m_model);
    m_fileList->setItemDelegate(new CEntryCellDelegate(m_fileList));
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
    // Without highlighted sections the header draws nothing of the selection; a selection of
    // its own, which never changes, spares it a repaint whenever other rows are selected.
    columns->setSelectionModel(new QItemSelectionModel(m_model, columns));
    FitColumns();

    connect(m_selector, &QComboBox::currentIndexChanged, this, [this] { OnCategoryChanged(); });
    // A row made current while none is selected (the list taking the focus after the filter
    // hid the marked file, say) is selected too: the file shown is always one Save writes.
    connect(m_fileList->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) {
            QItemSelectionModel* selection = m_fileList->selectionModel();
            if (current.isValid() && !selection->hasSelection())
                selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            ShowSelectedFile();
        });
    connect(m_fileList, &QAbstractItemView::pressed, this, [this] { ShowSelectedFile(); });
    // Ctrl+Click or Ctrl+Space can take the shown row out of a selection; the mark then moves
    // to the first selected row, so that Save never writes files other than the one shown.
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QItemSelectionModel* selection = m_fileList->selectionModel();
        const QModelIndexList rows = selection->selectedRows();
        if (!rows.isEmpty() && !selection->isRowSelected(selection->currentIndex().row()))
            selection->setCurrentIndex(
                *std::min_element(rows.begin(), rows.end()), QItemSelectionModel::NoUpdate);
    });
    setFocusProxy(m_fileList);
    SetUpFinding();
}

CDATListView::~CDATListView() = default;

void CDATListView::ClearList()
{
    EndComparison();
    // Opening an archive empties the list more than once on its way; what is empty already is
    // left alone, so that it is not reset and repainted again.
    if (m_model->GetEntries())
        m_model->SetEntries(nullptr);
    SetGalleryArchive(nullptr);
    if (m_selector->count() > 0) {
        const QSignalBlocker blocker(m_selector);
        m_selector->clear();
    }
    m_lineLists.clear();
    m_currentEntryKey.clear();
    m_shownEntry = nullptr;
}

void CDATListView::RefreshList()
{
    ClearList();
    SetGalleryArchive(m_doc.GetArchive());
    if (const CDATArchive* archive = m_doc.GetArchive()) {
        const QSignalBlocker blocker(m_selector);
        CComboCategorySelector selector(*m_selector, m_lineLists);
        archive->FillCategoryList(selector);
        selector.AddLines();
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
    m_fileList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_fileList->scrollTo(index);
    if (IsGalleryShown())
        m_gallery->scrollTo(index);
}

void CDATListView::FitColumns()
{
    // Every cell of a column has the same number of characters except the byte counts, which
    // fit the archive's largest size; each place is taken as wide as the widest digit. Live
    // entries only have the versions 00020000 and 00030000, which need no letters.
    const QFontMetrics metrics = m_fileList->fontMetrics();
    const auto widest = [&metrics](std::string_view digits, int places) {
        QChar wide = QLatin1Char(digits.front());
        for (const char d : digits) {
            if (metrics.horizontalAdvance(QLatin1Char(d)) > metrics.horizontalAdvance(wide))
                wide = QLatin1Char(d);
        }
        return QString(places, wide);
    };
    const CDATArchive* archive = m_doc.GetArchive();
    const int sizePlaces = int(std::to_string(archive ? archive->LargestFileSize() : 0).size());
    QHeaderView* header = m_fileList->horizontalHeader();
    for (int c = 0; c < CEntryTableModel::ColumnCount; ++c) {
        const QString text = c == CEntryTableModel::ColumnBytes ? widest("0123456789", sizePlaces)
            : c == CEntryTableModel::ColumnVersion              ? widest("0123456789", 8)
                                                                : widest("0123456789ABCDEF", 8);
        // A grid line takes one pixel of every cell.
        const int grid = m_fileList->showGrid() ? 1 : 0;
        const int width = std::max(CellWidth(*m_fileList, text) + grid, header->sectionSizeHint(c));
        // The Bytes column is sized once, stretched: resizing it twice would draw the list
        // again.
        if (c == CEntryTableModel::ColumnBytes)
            m_bytesColumnWidth = width;
        else
            header->resizeSection(c, width);
    }
    StretchBytesColumn();
}

void CDATListView::StretchBytesColumn()
{
    // The Bytes column takes what the others leave of the table's width, less a vertical
    // scroll bar when the rows need one, so a horizontal bar only appears when the pane is
    // narrower than the texts.
    QHeaderView* header = m_fileList->horizontalHeader();
    const int last = CEntryTableModel::ColumnBytes;
    int others = 0;
    for (int c = 0; c < last; ++c)
        others += header->sectionSize(c);
    const int frame = 2 * m_fileList->frameWidth();
    const int rowsHeight = m_model->rowCount() * m_fileList->verticalHeader()->defaultSectionSize();
    const bool barShown = rowsHeight > m_fileList->height() - frame - header->height();
    const int bar =
        barShown ? m_fileList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_fileList) : 0;
    header->resizeSection(last, std::max(m_bytesColumnWidth, m_fileList->width() - frame - bar - others));
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

std::optional<ExportResult> CDATListView::SaveSelectedFiles(const std::string& folder, ExportFormat format)
{
    const DATEntryList entries = SelectedEntries();
    if (entries.empty())
        return std::nullopt;
    return ExportWithProgress(m_doc, entries, folder, this, kProgressDelayMs, format);
}

DATEntryList CDATListView::LineEntries() const
{
    const int line = m_selector->currentIndex();
    if (line < 0 || size_t(line) >= m_lineLists.size() || !m_lineLists[size_t(line)])
        return {};
    return *m_lineLists[size_t(line)];
}

std::optional<ExportResult> CDATListView::SaveLineFiles(const std::string& folder, ExportFormat format)
{
    const DATEntryList entries = LineEntries();
    if (entries.empty())
        return std::nullopt;
    return ExportWithProgress(m_doc, entries, folder, this, kProgressDelayMs, format);
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
    StretchBytesColumn();
}

} // namespace orvanel
