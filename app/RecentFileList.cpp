#include "app/RecentFileList.h"

namespace orvanel {

namespace {

const char* const kSection = "Recent File List";

QString EntryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

QString RecentFileMenuText(int index, const QString& path, const QFontMetrics& metrics)
{
    // About 40 average characters keep the start of the path and the whole file name.
    const QString shown = metrics.elidedText(path, Qt::ElideMiddle, 40 * metrics.averageCharWidth());
    QString escaped = shown;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(escaped);
}

CRecentFileList::CRecentFileList(QSettings& settings, int size) : m_settings(settings), m_size(size)
{
    m_settings.beginGroup(kSection);
    for (int i = 0; i < m_size; ++i) {
        const QString path = m_settings.value(EntryKey(i)).toString();
        if (!path.isEmpty())
            m_paths.append(path);
    }
    m_settings.endGroup();
}

bool CRecentFileList::Add(const QString& path)
{
    if (!m_paths.isEmpty() && m_paths.front() == path)
        return false;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > m_size)
        m_paths.removeLast();
    Write();
    return true;
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= m_paths.size())
        return;
    m_paths.removeAt(index);
    Write();
}

void CRecentFileList::Write()
{
    m_settings.beginGroup(kSection);
    for (int i = 0; i < m_size; ++i) {
        if (i < m_paths.size())
            m_settings.setValue(EntryKey(i), m_paths[i]);
        else
            m_settings.remove(EntryKey(i));
    }
    m_settings.endGroup();
    m_settings.sync();
}

} // namespace orvanel
