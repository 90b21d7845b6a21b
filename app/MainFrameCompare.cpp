// Compare With: the files of the open archive that are new or changed against an older one.

#include "app/MainFrame.h"

#include "app/DATListView.h"
#include "app/OrvanelDoc.h"
#include "archive/ArchiveCompare.h"
#include "content/CompareText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressDialog>

namespace orvanel {

namespace {

// How often a running comparison lets the window repaint and the progress window react.
constexpr qint64 kEventSliceMs = 15;

// Compares on this thread, handing the event loop a turn every few milliseconds so that the
// window never freezes. Until the progress window shows, the user's input waits; once shown,
// the window-modal progress window keeps it from the main window. Either way nothing can open
// or close an archive while the comparison reads both.
std::optional<ArchiveDifferences> CompareWithProgress(
    const CDATArchive& older, const CDATArchive& current, QWidget* parent, int delayMs)
{
    constexpr int kSteps = 1000;
    QProgressDialog progress(
        QObject::tr("Comparing the archives..."), QObject::tr("Cancel"), 0, kSteps, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(delayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QElapsedTimer clock;
    clock.start();
    qint64 nextSlice = 0; // the first report already gives the event loop its turn
    return CompareArchives(older, current, [&](uint64_t done, uint64_t total) {
        if (clock.elapsed() < nextSlice)
            return true;
        nextSlice = clock.elapsed() + kEventSliceMs;
        progress.setValue(total > 0 ? int(done * kSteps / total) : 0);
        QCoreApplication::processEvents(
            progress.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    });
}

} // namespace

void CMainFrame::OnFileCompareWith()
{
    if (!m_doc.GetArchive())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Compare With"), QString(), tr("DAT Files (*.dat);;All Files (*)"));
    if (!path.isEmpty())
        CompareWith(QFile::encodeName(path).toStdString(), 500);
}

bool CMainFrame::CompareWith(const std::string& oldPath, int progressDelayMs)
{
    const CDATArchive* current = m_doc.GetArchive();
    CDATListView* listView = GetListView();
    if (!current || !listView)
        return false;
    // The older archive is only needed while comparing: the lines list the open archive's files.
    CDATArchive older(oldPath, m_doc.GetPrompts(), m_doc.GetBusy());
    if (!older.BuildCatalogue())
        return false;
    const auto differences = CompareWithProgress(older, *current, this, progressDelayMs);
    if (!differences)
        return false;

    DATEntryList added, changed;
    for (const FileDifference& file : differences->files) {
        if (file.newEntry)
            (file.change == FileChange::Added ? added : changed).push_back(file.newEntry);
    }
    listView->ShowComparison(std::move(added), std::move(changed));
    // The counts stand where the idle text does until the comparison ends.
    const QString idle = m_idleLabel->text();
    m_idleLabel->setText(QString::fromStdString(DifferenceSummary(*differences)));
    connect(
        listView, &CDATListView::ComparisonEnded, m_idleLabel,
        [label = m_idleLabel, idle] { label->setText(idle); }, Qt::SingleShotConnection);
    return true;
}

} // namespace orvanel
