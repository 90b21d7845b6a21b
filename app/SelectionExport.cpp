#include "app/SelectionExport.h"

#include "content/FileExport.h"
#include "app/OrvanelDoc.h"

#include <QProgressDialog>

#include <memory>

namespace orvanel {

ExportResult ExportWithProgress(const COrvanelDoc& doc, const DATEntryList& entries,
    const std::string& folder, QWidget* parent, int progressDelayMs)
{
    std::unique_ptr<QProgressDialog> progress;
    if (entries.size() > kProgressFileCount) {
        progress = std::make_unique<QProgressDialog>(QObject::tr("Saving the selected files..."),
            QObject::tr("Cancel"), 0, int(entries.size()), parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(progressDelayMs);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
    }

    const CDATArchive* archive = doc.GetArchive();
    if (!archive) {
        ExportResult none;
        none.bad = entries.size();
        return none;
    }
    return SaveStoredFiles(*archive, entries, folder, [&](size_t done, size_t) {
        if (!progress)
            return true;
        progress->setValue(int(done));
        return !progress->wasCanceled();
    });
}

} // namespace orvanel
