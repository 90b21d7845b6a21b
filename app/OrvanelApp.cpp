#include "app/OrvanelApp.h"

#include "about/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/OrvanelDoc.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>

#include <optional>

namespace orvanel {

COrvanelApp::COrvanelApp(IUserPrompts& prompts, IBusyIndicator& busy, QSettings& settings,
    std::unique_ptr<IRegistrySource> registry)
    : m_prompts(prompts), m_busy(busy), m_settings(settings), m_recentFiles(settings),
      m_registry(std::move(registry))
{
}

COrvanelApp::~COrvanelApp()
{
    // The views borrow the archive's lists: empty them before the document goes.
    if (m_doc)
        m_doc->ClearViews();
    m_frame.reset();
    m_doc.reset();
}

bool COrvanelApp::InitInstance(const QStringList& arguments)
{
    QApplication::setOrganizationName(kCompanyName);
    QApplication::setApplicationName(kApplicationName);

    m_doc = std::make_unique<COrvanelDoc>(*m_registry, m_prompts, m_busy);
    m_doc->SetApp(this);
    m_frame = std::make_unique<CMainFrame>(*this, *m_doc);
    m_doc->SetFrame(m_frame.get());
    m_frame->UpdateRecentFileMenu(m_recentFiles.Paths());

    if (arguments.isEmpty())
        m_doc->OnNewDocument();
    else if (!OpenDocumentFile(arguments.front()))
        return false;

    m_frame->show();
    m_frame->repaint();
    return true;
}

COrvanelDoc* COrvanelApp::OpenDocumentFile(const QString& path)
{
    if (!m_doc)
        return nullptr;
    std::optional<CMainFrame::CCommandStatesHeld> held;
    if (m_frame)
        held.emplace(*m_frame);
    m_doc->ClearViews();
    m_doc->DestroyArchive();
    m_doc->SetPathName({});
    m_doc->SetTitle(kUntitledTitle);

    // An empty path (no game installed) fails without a message. The archive already open
    // is opened again rather than kept, so the title always has an archive behind it.
    if (path.isEmpty())
        return nullptr;
    const std::string localPath = QFile::encodeName(path).toStdString();
    if (!m_doc->OnOpenDocument(localPath)) {
        m_doc->SetTitle(kUntitledTitle);
        return nullptr;
    }
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    m_doc->SetPathName(QFile::encodeName(fullPath).toStdString());
    const bool recentChanged = m_recentFiles.Add(fullPath);
    if (m_frame) {
        if (recentChanged)
            m_frame->UpdateRecentFileMenu(m_recentFiles.Paths());
        // A word about a failed Default no longer applies.
        m_frame->statusBar()->clearMessage();
    }
    m_doc->SetTitle(localPath);
    return m_doc.get();
}

void COrvanelApp::OnFileNew()
{
    if (m_doc)
        m_doc->OnNewDocument();
}

void COrvanelApp::OnFileOpen()
{
    const QString path = QFileDialog::getOpenFileName(m_frame.get(), QString(),
        QStringLiteral("client_portal.dat"), QStringLiteral("Tarnwick DAT File (*.dat);;All Files (*)"));
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void COrvanelApp::OnOpenRecentFile(int index)
{
    const QStringList& paths = m_recentFiles.Paths();
    if (index < 0 || index >= paths.size())
        return;
    const QString path = paths[index];
    if (!OpenDocumentFile(path)) {
        // The list may have changed meanwhile: drop the entry by its path.
        const int now = m_recentFiles.Paths().indexOf(path);
        m_recentFiles.Remove(now);
        if (m_frame)
            m_frame->UpdateRecentFileMenu(m_recentFiles.Paths());
    }
}

void COrvanelApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

} // namespace orvanel
