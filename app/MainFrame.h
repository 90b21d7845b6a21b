#pragma once
// The main window: menus, toolbar, status bar and three panes in two splitters: the archive
// list on the left, the hex editor top right and the file view bottom right. Its caption is
// "Orvanel - " and the document's title.

#include <QMainWindow>
#include <QStringList>

#include "content/FileExport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace orvanel {

class CDATFileView;
class CDATListView;
class CHexEditBaseView;
class CViewingCommands;
class COrvanelApp;
class COrvanelDoc;

// Asks the user for a folder; an empty result means cancelled.
using FolderChooser = std::function<QString(QWidget* parent, const QString& caption)>;

// The settings key that remembers the View menu's High Contrast choice.
inline constexpr const char* kHighContrastSetting = "High Contrast";

// The settings key that remembers the format pictures were last saved in ("bmp" or "png"),
// which Save Category and Save All write in.
inline constexpr const char* kExportFormatSetting = "Export Format";

inline constexpr const char* kSaveFolderCaption =
    "Choose the directory where you want to save the selected files.";
inline constexpr const char* kSaveCategoryCaption =
    "Choose the directory where you want to save the files of the chosen category.";
inline constexpr const char* kSaveAllCaption =
    "Choose the directory where you want to save every file of the archive, by category.";

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(COrvanelApp& app, COrvanelDoc& doc);
    ~CMainFrame() override;

    // The panes; null when a cell holds something else.
    CDATListView* GetListView() const;
    CHexEditBaseView* GetHexView() const;
    CDATFileView* GetFileView() const;

    void OnTitleChanged();
    void UpdateRecentFileMenu(const QStringList& paths);

    // Save (pictures as BMP) and Save As PNG: the folder chooser, then the export of the
    // selected files. Each remembers its format for the two commands below.
    void OnFileSave();
    void OnFileSaveAsPNG();
    // Save Category: every file of the chosen selector line. Save All: every file of the
    // archive into sub-folders named by their lines. Both in the format last saved in.
    void OnFileSaveCategory();
    void OnFileSaveAll();
    // The format Save Category and Save All write pictures in.
    ExportFormat RememberedExportFormat() const;
    void OnViewGreyscale();
    // Compare With: chooses an older archive and compares the open one with it.
    void OnFileCompareWith();
    // Lists the files of the open archive that are new or changed against the archive at
    // oldPath, and shows the counts in the status bar. False when there is nothing to compare,
    // the older archive cannot be opened, or the user cancelled.
    bool CompareWith(const std::string& oldPath, int progressDelayMs = 500);
    void OnGoToID();
    // Save needs selected rows of an open archive, Go to ID an open archive.
    void UpdateCommandStates();
    // While one is alive, the commands keep their states; the last to go updates them once.
    // Reopening an archive clears and refills the views, which would otherwise switch the
    // commands (and redraw their tool buttons) off and on again.
    class CCommandStatesHeld {
    public:
        explicit CCommandStatesHeld(CMainFrame& frame) : m_frame(frame) { ++m_frame.m_commandStatesHeld; }
        ~CCommandStatesHeld()
        {
            if (--m_frame.m_commandStatesHeld == 0)
                m_frame.UpdateCommandStates();
        }
        CCommandStatesHeld(const CCommandStatesHeld&) = delete;
        CCommandStatesHeld& operator=(const CCommandStatesHeld&) = delete;

    private:
        CMainFrame& m_frame;
    };
    // Shows the first file with this ID; tells the user when no file has it.
    bool GoToID(uint32_t fileID);

    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    QAction* GetGreyscaleAction() const { return m_greyscaleAction; }
    QAction* GetSaveAction() const { return m_saveAction; }
    QAction* GetSaveAsPNGAction() const { return m_saveAsPNGAction; }
    QAction* GetSaveCategoryAction() const { return m_saveCategoryAction; }
    QAction* GetSaveAllAction() const { return m_saveAllAction; }
    QAction* GetGoToIDAction() const { return m_goToIDAction; }
    QAction* GetPrintAction() const { return m_printAction; }
    QAction* GetHighContrastAction() const { return m_highContrastAction; }
    QAction* GetShowAlphaAction() const { return m_showAlphaAction; }
    QLabel* GetIdleLabel() const { return m_idleLabel; }
    const std::vector<QAction*>& GetRecentFileActions() const { return m_recentFileActions; }
    CViewingCommands& GetViewingCommands() const { return *m_viewing; }

protected:
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreatePanes();
    void ConfigureHexEditor();
    void ApplyHexColours();
    // Asks for a folder with caption, then runs save into it and tells the user the result:
    // the status bar's line, and the summary in a message when files were not saved.
    void SaveInto(
        const char* caption, const std::function<std::optional<ExportResult>(const std::string&)>& save);
    void RememberExportFormat(ExportFormat format);
    void OnViewHighContrast();
    void UpdateLockKeyIndicators();
    QAction* AddAction(const QString& text, const QString& statusText, const QString& tip,
        const QKeySequence& key, void (CMainFrame::*handler)());

    COrvanelApp& m_app;
    COrvanelDoc& m_doc;
    FolderChooser m_chooseFolder;

    int m_commandStatesHeld = 0;
    QToolBar* m_toolBar = nullptr;
    QSplitter* m_outerSplitter = nullptr;
    QSplitter* m_innerSplitter = nullptr;
    bool m_panesSized = false;
    QLabel* m_idleLabel = nullptr;
    QLabel* m_capLabel = nullptr;
    QLabel* m_numLabel = nullptr;
    QLabel* m_scrlLabel = nullptr;

    QAction* m_defaultAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsPNGAction = nullptr;
    QAction* m_saveCategoryAction = nullptr;
    QAction* m_saveAllAction = nullptr;
    QAction* m_compareAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_printPreviewAction = nullptr;
    QAction* m_goToIDAction = nullptr;
    QAction* m_greyscaleAction = nullptr;
    QAction* m_highContrastAction = nullptr;
    QAction* m_showAlphaAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_recentPlaceholder = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::vector<QAction*> m_recentFileActions;
    QMenu* m_fileMenu = nullptr;
    std::unique_ptr<CViewingCommands> m_viewing;
};

} // namespace orvanel
