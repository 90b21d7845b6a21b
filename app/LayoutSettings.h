#pragma once
// The window layout kept between runs in the settings store, beside the recent-file list:
// window geometry and state, the splitters' pane sizes, the last folder saved into, and the
// thumbnail gallery's size and whether it is shown.

#include <QByteArray>
#include <QList>
#include <QString>

class QMainWindow;
class QSettings;
class QSplitter;

namespace orvanel {

class CLayoutSettings {
public:
    static constexpr int kDefaultThumbnailSize = 96;
    static constexpr int kMinThumbnailSize = 32;
    static constexpr int kMaxThumbnailSize = 256;

    explicit CLayoutSettings(QSettings& settings);

    void SaveWindow(const QMainWindow& window, const QList<const QSplitter*>& splitters);
    // Restores geometry and state; false when none was kept.
    bool RestoreWindow(QMainWindow& window);
    // Restores the pane sizes of each splitter that has some kept; false when none had.
    bool RestoreSplitters(const QList<QSplitter*>& splitters);

    QString LastSaveFolder() const;
    void SetLastSaveFolder(const QString& folder);
    // Clamped to the gallery's limits.
    int ThumbnailSize() const;
    void SetThumbnailSize(int size);
    bool ThumbnailsShown() const;
    void SetThumbnailsShown(bool shown);

private:
    QSettings& m_settings;
};

} // namespace orvanel
