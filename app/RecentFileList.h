#pragma once
// The recent-file list: the last archives opened, most recent first, kept in the settings
// store under "Recent File List" as File1, File2, ...

#include <QFontMetrics>
#include <QSettings>
#include <QStringList>

namespace orvanel {

inline constexpr int kRecentFileCount = 4;

// The menu text of entry index (from 0): its number from 1 as the mnemonic, then the path,
// shortened in the middle when it is wider than a menu should be, its ampersands kept.
QString RecentFileMenuText(int index, const QString& path, const QFontMetrics& metrics);

class CRecentFileList {
public:
    explicit CRecentFileList(QSettings& settings, int size = kRecentFileCount);

    // Puts path first, dropping an older entry of the same path and the entry past the end;
    // false when path was first already, and nothing is written.
    bool Add(const QString& path);
    void Remove(int index);
    const QStringList& Paths() const { return m_paths; }

private:
    void Write();

    QSettings& m_settings;
    int m_size;
    QStringList m_paths;
};

} // namespace orvanel
