// The comparison's two lines at the top of the archive list's category selector.

#include "app/DATListView.h"

#include "app/EntryTableModel.h"

#include <QComboBox>

namespace orvanel {

void CDATListView::ShowComparison(DATEntryList added, DATEntryList changed)
{
    EndComparison();
    m_comparisonLists = {std::move(added), std::move(changed)};
    const QString texts[] = {tr("New files (%1)"), tr("Changed files (%1)")};
    {
        const QSignalBlocker blocker(m_selector);
        for (int line = 0; line < 2; ++line) {
            m_selector->insertItem(line, texts[line].arg(m_comparisonLists[size_t(line)].size()));
            m_lineLists.insert(m_lineLists.begin() + line, &m_comparisonLists[size_t(line)]);
        }
        m_selector->setCurrentIndex(0);
    }
    m_comparing = true;
    ShowLine(0);
}

void CDATListView::EndComparison()
{
    if (!m_comparing)
        return;
    m_comparing = false;
    const int chosen = m_selector->currentIndex();
    // The table lets go of the lists before they are emptied.
    if (chosen < 2)
        m_model->SetEntries(nullptr);
    {
        const QSignalBlocker blocker(m_selector);
        for (int line = 0; line < 2 && m_selector->count() > 0 && !m_lineLists.empty(); ++line) {
            m_selector->removeItem(0);
            m_lineLists.erase(m_lineLists.begin());
        }
        if (chosen >= 2)
            m_selector->setCurrentIndex(chosen - 2);
    }
    m_comparisonLists = {};
    emit ComparisonEnded();
}

} // namespace orvanel
