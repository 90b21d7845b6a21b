#pragma once
// The main window's commands for finding and looking at files: Find, the zoom commands, the
// Shortcuts window, the panes' context menus, the filter's status text, and the layout kept
// between runs.

#include "app/LayoutSettings.h"

#include <QObject>

class QAction;
class QLabel;
class QSettings;

namespace orvanel {

class CMainFrame;
class CShortcutsWindow;

class CViewingCommands : public QObject {
    Q_OBJECT

public:
    // Adds the commands to the frame's menus and restores its window geometry.
    CViewingCommands(CMainFrame& frame, QSettings& settings);
    ~CViewingCommands() override;

    // At the first show, once the splitters have their size.
    void RestorePaneSizes();
    void SaveLayout();
    void OnSaveFolderChosen(const QString& folder) { m_layout.SetLastSaveFolder(folder); }
    CLayoutSettings& GetLayout() { return m_layout; }

    void OnShowShortcuts();
    CShortcutsWindow* GetShortcutsWindow() const { return m_shortcuts; }
    QLabel& GetFilterStatus() const { return *m_filterStatus; }

private:
    QAction* Add(
        const QString& name, const QString& text, const QString& statusText, const QList<QKeySequence>& keys);
    void CreateMenus();
    void CreateContextMenus();

    CMainFrame& m_frame;
    CLayoutSettings m_layout;
    QLabel* m_filterStatus = nullptr;
    CShortcutsWindow* m_shortcuts = nullptr;
    QAction* m_find = nullptr;
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    QAction* m_actualSize = nullptr;
    QAction* m_fitToPane = nullptr;
    QAction* m_pixelGrid = nullptr;
    QAction* m_shortcutsAction = nullptr;
    QAction* m_thumbnails = nullptr;
};

} // namespace orvanel
