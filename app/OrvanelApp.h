#pragma once
// The application object: starts the program, keeps the recent-file list in the settings
// store, owns the one document and its frame, and handles the commands that open an archive
// (Default, Open, a recent file, a dropped file) and the About command.

#include "app/RecentFileList.h"
#include "archive/Platform.h"
#include "archive/RegistrySource.h"

#include <QObject>
#include <QSettings>
#include <QStringList>

#include <memory>

namespace orvanel {

class CMainFrame;
class COrvanelDoc;

inline constexpr const char* kCompanyName = "Glintware";
inline constexpr const char* kApplicationName = "Orvanel";

class COrvanelApp : public QObject {
    Q_OBJECT

public:
    // Messages go to prompts and long steps show busy; the recent-file list lives in
    // settings; the installation is looked up in registry. All must outlive the object.
    COrvanelApp(IUserPrompts& prompts, IBusyIndicator& busy, QSettings& settings,
        std::unique_ptr<IRegistrySource> registry);
    ~COrvanelApp() override;

    // Creates the document and the frame, opens the archive named by the first argument or,
    // without one, the default archive, and shows the window. False when the archive named
    // on the command line could not be opened: the program then ends.
    bool InitInstance(const QStringList& arguments);

    // Empties the views, discards the open archive and opens path; the title becomes path
    // exactly as given. Null (and "No File Loaded") when it fails.
    COrvanelDoc* OpenDocumentFile(const QString& path);

    void OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnAppAbout();

    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    COrvanelDoc* GetDocument() const { return m_doc.get(); }
    const CRecentFileList& GetRecentFileList() const { return m_recentFiles; }
    QSettings& GetSettings() const { return m_settings; }

private:
    IUserPrompts& m_prompts;
    IBusyIndicator& m_busy;
    QSettings& m_settings;
    CRecentFileList m_recentFiles;
    std::unique_ptr<IRegistrySource> m_registry;
    // The frame borrows the document, so it goes first.
    std::unique_ptr<COrvanelDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace orvanel
