#pragma once
// The recent-file list: the last archives opened, most recent first, kept in the settings
// store under "Recent File List" as File1, File2, ...

#include <QSettings>
#include <QStringList>

namespace orvanel {

inline constexpr int kRecentFileCount = 4;

class CRecentFileList {
public:
    explicit CRecentFileList(QSettings& settings, int size = kRecentFileCount);

    // Puts path first, dropping an older entry of the same path and the entry past the end.
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Paths() const { return m_paths; }

private:
    void Write();

    QSettings& m_settings;
    int m_size;
    QStringList m_paths;
};

} // namespace orvanel
