#include "app/SelectionExport.h"

#include "app/OrvanelDoc.h"
#include "content/CategoryExport.h"
#include "content/FileExport.h"

#include <QProgressDialog>

#include <functional>
#include <memory>

namespace orvanel {

namespace {

using Progress = std::function<bool(size_t, size_t)>;

// Runs export with the progress dialog when it saves more than kProgressFileCount files.
ExportResult WithProgress(const QString& label, size_t files, QWidget* parent, int progressDelayMs,
    const std::function<ExportResult(const Progress&)>& run)
{
    std::unique_ptr<QProgressDialog> progress;
    if (files > kProgressFileCount) {
        progress = std::make_unique<QProgressDialog>(label, QObject::tr("Cancel"), 0, int(files), parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(progressDelayMs);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
    }
    return run([&](size_t done, size_t) {
        if (!progress)
            return true;
        progress->setValue(int(done));
        return !progress->wasCanceled();
    });
}

ExportResult NoneSaved(size_t files)
{
    ExportResult none;
    none.bad = files;
    return none;
}

} // namespace

ExportResult ExportWithProgress(const COrvanelDoc& doc, const DATEntryList& entries,
    const std::string& folder, QWidget* parent, int progressDelayMs, ExportFormat format)
{
    const CDATArchive* archive = doc.GetArchive();
    if (!archive)
        return NoneSaved(entries.size());
    return WithProgress(QObject::tr("Saving the selected files..."), entries.size(), parent, progressDelayMs,
        [&](const Progress& progress) {
            return SaveStoredFiles(*archive, entries, folder, progress, format);
        });
}

ExportResult ExportAllWithProgress(const COrvanelDoc& doc, const std::string& folder, QWidget* parent,
    ExportFormat format, int progressDelayMs)
{
    const CDATArchive* archive = doc.GetArchive();
    if (!archive)
        return {};
    size_t files = 0;
    for (const auto& [category, list] : archive->CategoryLists())
        files += list.size();
    return WithProgress(QObject::tr("Saving every file of the archive..."), files, parent, progressDelayMs,
        [&](const Progress& progress) { return SaveByCategory(*archive, folder, progress, format); });
}

} // namespace orvanel
