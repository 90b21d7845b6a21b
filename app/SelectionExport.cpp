#include "app/SelectionExport.h"

#include "app/OrvanelDoc.h"

#include <QProgressDialog>

#include <memory>

namespace orvanel {

size_t ExportWithProgress(const COrvanelDoc& doc, const DATEntryList& entries,
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

    size_t failed = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (progress && progress->wasCanceled())
            break;
        if (!doc.SaveFile(entries[i], folder))
            ++failed;
        if (progress)
            progress->setValue(int(i + 1));
    }
    return failed;
}

} // namespace orvanel
