#include "app/LayoutSettings.h"

#include <QMainWindow>
#include <QSettings>
#include <QSplitter>

#include <algorithm>

namespace orvanel {

namespace {

const char* const kGeometry = "Layout/Geometry";
const char* const kState = "Layout/State";
const char* const kSplitter = "Layout/Splitter%1";
const char* const kSaveFolder = "Layout/SaveFolder";
const char* const kThumbnailSize = "Layout/ThumbnailSize";
const char* const kThumbnails = "Layout/Thumbnails";

} // namespace

CLayoutSettings::CLayoutSettings(QSettings& settings) : m_settings(settings)
{
}

void CLayoutSettings::SaveWindow(const QMainWindow& window, const QList<const QSplitter*>& splitters)
{
    m_settings.setValue(kGeometry, window.saveGeometry());
    m_settings.setValue(kState, window.saveState());
    for (int i = 0; i < splitters.size(); ++i)
        m_settings.setValue(QString::fromLatin1(kSplitter).arg(i), splitters[i]->saveState());
}

bool CLayoutSettings::RestoreWindow(QMainWindow& window)
{
    const QByteArray geometry = m_settings.value(kGeometry).toByteArray();
    if (geometry.isEmpty() || !window.restoreGeometry(geometry))
        return false;
    window.restoreState(m_settings.value(kState).toByteArray());
    return true;
}

bool CLayoutSettings::RestoreSplitters(const QList<QSplitter*>& splitters)
{
    bool restored = false;
    for (int i = 0; i < splitters.size(); ++i) {
        QSplitter& splitter = *splitters[i];
        const QByteArray state = m_settings.value(QString::fromLatin1(kSplitter).arg(i)).toByteArray();
        if (state.isEmpty())
            continue;
        const QByteArray initial = splitter.saveState();
        const Qt::Orientation orientation = splitter.orientation();
        if (!splitter.restoreState(state))
            continue;
        // The splitter takes a damaged state as far as it reads: a cut-off one turns it on its
        // side, or leaves no pane open and no handle to drag, hiding the window's content for
        // good. Such a state is undone, and the panes keep their initial sizes.
        const QList<int> sizes = splitter.sizes();
        if (splitter.orientation() != orientation || splitter.handleWidth() <= 0
            || std::none_of(sizes.begin(), sizes.end(), [](int size) { return size > 0; })) {
            splitter.restoreState(initial);
            continue;
        }
        restored = true;
    }
    return restored;
}

QString CLayoutSettings::LastSaveFolder() const
{
    return m_settings.value(kSaveFolder).toString();
}

void CLayoutSettings::SetLastSaveFolder(const QString& folder)
{
    m_settings.setValue(kSaveFolder, folder);
}

int CLayoutSettings::ThumbnailSize() const
{
    const int size = m_settings.value(kThumbnailSize, kDefaultThumbnailSize).toInt();
    return std::clamp(size, kMinThumbnailSize, kMaxThumbnailSize);
}

void CLayoutSettings::SetThumbnailSize(int size)
{
    m_settings.setValue(kThumbnailSize, std::clamp(size, kMinThumbnailSize, kMaxThumbnailSize));
}

bool CLayoutSettings::ThumbnailsShown() const
{
    return m_settings.value(kThumbnails, false).toBool();
}

void CLayoutSettings::SetThumbnailsShown(bool shown)
{
    m_settings.setValue(kThumbnails, shown);
}

} // namespace orvanel
