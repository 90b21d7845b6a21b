// The main window's commands: menus, accelerators, toolbar and status bar.

#include "app/MainFrame.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/OrvanelApp.h"
#include "controls/HexEditBaseView.h"
#include "platform/LockKeys.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace orvanel {

namespace {

const char* const kIdleText = "For Help, press F1";

// Moves the keyboard focus to the next (step 1) or previous (step -1) of the three panes.
void CyclePaneFocus(const std::vector<QWidget*>& panes, int step)
{
    int current = -1;
    const QWidget* focus = QApplication::focusWidget();
    for (size_t i = 0; i < panes.size(); ++i) {
        if (panes[i] && focus && (panes[i] == focus || panes[i]->isAncestorOf(focus)))
            current = int(i);
    }
    const int count = int(panes.size());
    const int next = ((current < 0 ? (step > 0 ? -1 : 0) : current) + step + count) % count;
    if (panes[size_t(next)])
        panes[size_t(next)]->setFocus(Qt::OtherFocusReason);
}

} // namespace

QAction* CMainFrame::AddAction(const QString& text, const QString& statusText, const QString& tip,
    const QKeySequence& key, void (CMainFrame::*handler)())
{
    auto* action = new QAction(text, this);
    action->setStatusTip(statusText);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    if (!key.isEmpty())
        action->setShortcut(key);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    addAction(action);
    return action;
}

void CMainFrame::CreateActions()
{
    m_defaultAction = AddAction(tr("&Default"), tr("Load the default portal.dat pointed to by the registry"),
        tr("Default"), QKeySequence(Qt::CTRL | Qt::Key_D), nullptr);
    connect(m_defaultAction, &QAction::triggered, &m_app, &COrvanelApp::OnFileNew);
    m_defaultAction->setIcon(QIcon(QStringLiteral(":/icons/default.svg")));

    m_openAction = AddAction(tr("&Open..."), tr("Open another client_portal.dat file"), tr("Open"),
        QKeySequence(Qt::CTRL | Qt::Key_O), nullptr);
    connect(m_openAction, &QAction::triggered, &m_app, &COrvanelApp::OnFileOpen);
    m_openAction->setIcon(QIcon(QStringLiteral(":/icons/open.svg")));

    m_saveAction = AddAction(tr("&Save..."), tr("Saves all currently selected files"), tr("Save"),
        QKeySequence(Qt::CTRL | Qt::Key_S), &CMainFrame::OnFileSave);
    m_saveAction->setIcon(QIcon(QStringLiteral(":/icons/save.svg")));
    m_saveAsPNGAction = AddAction(tr("Save As &PNG..."),
        tr("Saves all currently selected files, pictures as PNG with their own transparency"),
        tr("Save As PNG"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &CMainFrame::OnFileSaveAsPNG);
    m_saveCategoryAction =
        AddAction(tr("Save &Category..."), tr("Saves every file of the chosen category line"),
            tr("Save Category"), {}, &CMainFrame::OnFileSaveCategory);
    m_saveAllAction =
        AddAction(tr("Save A&ll..."), tr("Saves every file of the archive into a folder per category line"),
            tr("Save All"), {}, &CMainFrame::OnFileSaveAll);

    m_compareAction = AddAction(tr("Compare &With..."),
        tr("List the files that are new or changed against an older archive"), tr("Compare With"), {},
        &CMainFrame::OnFileCompareWith);

    m_printAction = AddAction(
        tr("&Print..."), tr("Print what the file view shows"), tr("Print"), QKeySequence::Print, nullptr);
    connect(m_printAction, &QAction::triggered, this, [this] {
        if (CDATFileView* fileView = GetFileView())
            fileView->OnFilePrint();
    });
    m_printPreviewAction = AddAction(tr("Print Pre&view..."), tr("Show the pages that Print would print"),
        tr("Print Preview"), {}, nullptr);
    connect(m_printPreviewAction, &QAction::triggered, this, [this] {
        if (CDATFileView* fileView = GetFileView())
            fileView->OnFilePrintPreview();
    });

    m_exitAction = AddAction(tr("E&xit"), tr("Quit the application"), tr("Exit"), {}, nullptr);
    connect(m_exitAction, &QAction::triggered, this, &QWidget::close);

    m_goToIDAction = AddAction(tr("&Go to ID..."), tr("Show the file with a given hexadecimal ID"),
        tr("Go to ID"), QKeySequence(Qt::CTRL | Qt::Key_G), &CMainFrame::OnGoToID);

    m_greyscaleAction = AddAction(
        tr("&Greyscale"), tr("Toggle Grayscale"), tr("Toggle Grayscale"), {}, &CMainFrame::OnViewGreyscale);
    m_greyscaleAction->setCheckable(true);
    m_greyscaleAction->setIcon(QIcon(QStringLiteral(":/icons/greyscale.svg")));
    // In the menu an icon would take the place of the check mark.
    m_greyscaleAction->setIconVisibleInMenu(false);

    m_showAlphaAction =
        AddAction(tr("Sho&w Alpha"), tr("Draw pictures that have their own transparency over a checkerboard"),
            tr("Show Alpha"), {}, nullptr);
    m_showAlphaAction->setCheckable(true);
    connect(m_showAlphaAction, &QAction::toggled, this, [this](bool on) {
        if (CDATFileView* fileView = GetFileView())
            fileView->SetShowAlpha(on);
    });

    m_highContrastAction =
        AddAction(tr("&High Contrast"), tr("Show the bytes in colours that stand out more from their ground"),
            tr("High Contrast"), {}, nullptr);
    m_highContrastAction->setCheckable(true);
    m_highContrastAction->setChecked(
        m_app.GetSettings().value(QString::fromLatin1(kHighContrastSetting), false).toBool());
    connect(m_highContrastAction, &QAction::toggled, this, &CMainFrame::OnViewHighContrast);

    m_aboutAction = AddAction(tr("&About Orvanel..."),
        tr("Display program information, version number and copyright"), tr("About"), {}, nullptr);
    connect(m_aboutAction, &QAction::triggered, &m_app, &COrvanelApp::OnAppAbout);
    m_aboutAction->setIcon(QIcon(QStringLiteral(":/icons/about.svg")));

    m_recentPlaceholder = new QAction(tr("Recent File"), this);
    m_recentPlaceholder->setEnabled(false);
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto* action = new QAction(this);
        connect(action, &QAction::triggered, this, [this, i] { m_app.OnOpenRecentFile(i); });
        m_recentFileActions.push_back(action);
    }

    // F6 and Shift+F6 move between the three panes.
    const auto panes = [this] { return std::vector<QWidget*> {GetListView(), GetHexView(), GetFileView()}; };
    auto* nextPane = AddAction(tr("Next Pane"), {}, {}, QKeySequence(Qt::Key_F6), nullptr);
    connect(nextPane, &QAction::triggered, this, [panes] { CyclePaneFocus(panes(), 1); });
    auto* previousPane =
        AddAction(tr("Previous Pane"), {}, {}, QKeySequence(Qt::SHIFT | Qt::Key_F6), nullptr);
    connect(previousPane, &QAction::triggered, this, [panes] { CyclePaneFocus(panes(), -1); });
}

void CMainFrame::CreateMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->addAction(m_defaultAction);
    m_fileMenu->addAction(m_openAction);
    m_fileMenu->addAction(m_saveAction);
    m_fileMenu->addAction(m_saveAsPNGAction);
    m_fileMenu->addAction(m_saveCategoryAction);
    m_fileMenu->addAction(m_saveAllAction);
    m_fileMenu->addAction(m_compareAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_printAction);
    m_fileMenu->addAction(m_printPreviewAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_recentPlaceholder);
    for (QAction* action : m_recentFileActions)
        m_fileMenu->addAction(action);
    m_recentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_exitAction);

    QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    editMenu->addAction(m_goToIDAction);

    QMenu* viewMenu = menuBar()->addMenu(tr("&View"));
    // Filled once the toolbar and the status bar exist.
    viewMenu->setObjectName(QStringLiteral("viewMenu"));

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    helpMenu->addAction(m_aboutAction);
}

void CMainFrame::CreateToolBar()
{
    m_toolBar = addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->addAction(m_defaultAction);
    m_toolBar->addAction(m_openAction);
    m_toolBar->addAction(m_saveAction);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_greyscaleAction);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_aboutAction);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    // Hover texts hide the idle text while they are shown.
    m_idleLabel = new QLabel(tr(kIdleText), bar);
    bar->addWidget(m_idleLabel, 1);
    for (QLabel** label : {&m_capLabel, &m_numLabel, &m_scrlLabel}) {
        *label = new QLabel(bar);
        (*label)->setFrameShape(QFrame::Panel);
        (*label)->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(*label);
    }
    m_capLabel->setText(QStringLiteral("CAP"));
    m_numLabel->setText(QStringLiteral("NUM"));
    m_scrlLabel->setText(QStringLiteral("SCRL"));
    UpdateLockKeyIndicators();
    const bool known = ReadLockKeys().known;
    // Indicators that could never light are not shown at all.
    for (QLabel* label : {m_capLabel, m_numLabel, m_scrlLabel})
        label->setVisible(known);
    if (known) {
        // The keys can change while another program has the focus, so they are polled.
        auto* lockKeyTimer = new QTimer(this);
        connect(lockKeyTimer, &QTimer::timeout, this, &CMainFrame::UpdateLockKeyIndicators);
        lockKeyTimer->start(250);
    }

    QMenu* viewMenu = menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu"));
    QAction* toolbarAction = m_toolBar->toggleViewAction();
    toolbarAction->setText(tr("&Toolbar"));
    toolbarAction->setStatusTip(tr("Show or hide the toolbar"));
    auto* statusBarAction = new QAction(tr("&Status Bar"), this);
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    statusBarAction->setStatusTip(tr("Show or hide the status bar"));
    connect(statusBarAction, &QAction::toggled, bar, &QWidget::setVisible);
    viewMenu->addAction(toolbarAction);
    viewMenu->addAction(statusBarAction);
    viewMenu->addSeparator();
    viewMenu->addAction(m_greyscaleAction);
    viewMenu->addAction(m_showAlphaAction);
    viewMenu->addAction(m_highContrastAction);
}

void CMainFrame::UpdateRecentFileMenu(const QStringList& paths)
{
    m_recentPlaceholder->setVisible(paths.isEmpty());
    for (size_t i = 0; i < m_recentFileActions.size(); ++i) {
        QAction* action = m_recentFileActions[i];
        const bool used = int(i) < paths.size();
        action->setVisible(used);
        if (used) {
            action->setText(RecentFileMenuText(int(i), paths[int(i)], m_fileMenu->fontMetrics()));
            action->setStatusTip(paths[int(i)]);
        }
    }
}

void CMainFrame::UpdateLockKeyIndicators()
{
    // An indicator is greyed while its key is off.
    const LockKeyState state = ReadLockKeys();
    m_capLabel->setEnabled(state.known && state.capsLock);
    m_numLabel->setEnabled(state.known && state.numLock);
    m_scrlLabel->setEnabled(state.known && state.scrollLock);
}

} // namespace orvanel
