#include "app/ViewingCommands.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/GalleryView.h"
#include "app/MainFrame.h"
#include "app/ShortcutsWindow.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

namespace orvanel {

namespace {

QMenu* FindMenu(CMainFrame& frame, const char* name)
{
    return frame.menuBar()->findChild<QMenu*>(QLatin1String(name));
}

} // namespace

CViewingCommands::CViewingCommands(CMainFrame& frame, QSettings& settings)
    : QObject(&frame), m_frame(frame), m_layout(settings)
{
    CreateMenus();
    CreateContextMenus();

    m_filterStatus = new QLabel(frame.statusBar());
    m_filterStatus->hide();
    frame.statusBar()->insertPermanentWidget(1, m_filterStatus);
    if (CDATListView* list = frame.GetListView()) {
        connect(list, &CDATListView::filterStatusChanged, this, [this](const QString& status) {
            m_filterStatus->setText(status);
            m_filterStatus->setVisible(!status.isEmpty());
        });
    }

    // The folder chooser starts in the folder last saved into.
    frame.SetFolderChooser([this](QWidget* parent, const QString& caption) {
        return QFileDialog::getExistingDirectory(parent, caption, m_layout.LastSaveFolder(),
            QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    });
    m_layout.RestoreWindow(frame);
}

CViewingCommands::~CViewingCommands() = default;

QAction* CViewingCommands::Add(
    const QString& name, const QString& text, const QString& statusText, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, &m_frame);
    action->setObjectName(name);
    action->setStatusTip(statusText);
    action->setShortcuts(keys);
    m_frame.addAction(action);
    return action;
}

void CViewingCommands::CreateMenus()
{
    m_find = Add(QStringLiteral("findAction"), tr("&Find..."),
        tr("Narrow the file list to IDs containing some digits, or to sizes, as you type"),
        {QKeySequence(Qt::CTRL | Qt::Key_F)});
    connect(m_find, &QAction::triggered, this, [this] {
        if (CDATListView* list = m_frame.GetListView())
            list->FocusFilter();
    });
    if (QMenu* edit = FindMenu(m_frame, "editMenu"))
        edit->insertAction(edit->actions().value(0), m_find);

    const auto onPicture = [this](void (CDATFileView::*command)()) {
        return [this, command] {
            if (CDATFileView* view = m_frame.GetFileView())
                (view->*command)();
        };
    };
    m_zoomIn = Add(QStringLiteral("zoomInAction"), tr("Zoom &In"), tr("Draw the picture larger"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(m_zoomIn, &QAction::triggered, this, onPicture(&CDATFileView::ZoomIn));
    m_zoomOut = Add(QStringLiteral("zoomOutAction"), tr("Zoom &Out"), tr("Draw the picture smaller"),
        {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    connect(m_zoomOut, &QAction::triggered, this, onPicture(&CDATFileView::ZoomOut));
    m_actualSize = Add(QStringLiteral("actualSizeAction"), tr("&Actual Size"),
        tr("Draw the picture one screen pixel per pixel"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
    connect(m_actualSize, &QAction::triggered, this, onPicture(&CDATFileView::ActualSize));
    m_fitToPane = Add(QStringLiteral("fitToPaneAction"), tr("&Fit to Pane"),
        tr("Draw each picture as large as the pane holds it"), {});
    connect(m_fitToPane, &QAction::triggered, this, onPicture(&CDATFileView::FitToPane));
    m_pixelGrid = Add(QStringLiteral("pixelGridAction"), tr("Pixel G&rid"),
        tr("Outline each pixel of a picture drawn at 800% or more"), {});
    m_pixelGrid->setCheckable(true);
    connect(m_pixelGrid, &QAction::toggled, this, [this](bool shown) {
        if (CDATFileView* view = m_frame.GetFileView())
            view->SetPixelGrid(shown);
    });
    m_thumbnails = Add(QStringLiteral("thumbnailsAction"), tr("T&humbnails"),
        tr("Show the textures and colour tables as a grid of thumbnails"),
        {QKeySequence(Qt::CTRL | Qt::Key_T)});
    m_thumbnails->setCheckable(true);
    if (CDATListView* list = m_frame.GetListView()) {
        CGalleryView& gallery = list->GetGallery();
        gallery.SetThumbnailSize(m_layout.ThumbnailSize());
        connect(&gallery, &CGalleryView::thumbnailSizeChanged, this,
            [this](int edge) { m_layout.SetThumbnailSize(edge); });
        connect(m_thumbnails, &QAction::toggled, this, [this, list](bool on) {
            list->SetThumbnails(on);
            m_layout.SetThumbnailsShown(on);
        });
        m_thumbnails->setChecked(m_layout.ThumbnailsShown());
    }
    if (QMenu* view = FindMenu(m_frame, "viewMenu")) {
        view->addSeparator();
        view->addAction(m_thumbnails);
        view->addSeparator();
        view->addActions({m_zoomIn, m_zoomOut, m_actualSize, m_fitToPane, m_pixelGrid});
    }

    m_shortcutsAction = Add(QStringLiteral("shortcutsAction"), tr("&Shortcuts"),
        tr("List every command, its keys and the mouse actions"), {QKeySequence(QKeySequence::HelpContents)});
    connect(m_shortcutsAction, &QAction::triggered, this, &CViewingCommands::OnShowShortcuts);
    if (QMenu* help = FindMenu(m_frame, "helpMenu"))
        help->insertAction(help->actions().value(0), m_shortcutsAction);
}

void CViewingCommands::CreateContextMenus()
{
    if (CDATListView* list = m_frame.GetListView()) {
        auto* save = new QAction(tr("&Save Selected..."), this);
        connect(save, &QAction::triggered, &m_frame, &CMainFrame::OnFileSave);
        auto* copyID = new QAction(tr("&Copy ID"), this);
        connect(copyID, &QAction::triggered, list, &CDATListView::CopySelectedIDs);
        auto* goTo = new QAction(tr("&Go to ID..."), this);
        connect(goTo, &QAction::triggered, &m_frame, &CMainFrame::OnGoToID);
        list->SetContextMenuActions({save, copyID, goTo});
    }
    if (CDATFileView* view = m_frame.GetFileView())
        view->SetContextMenuActions({m_zoomIn, m_zoomOut, m_actualSize, m_fitToPane});
    if (CHexEditBaseView* hexView = m_frame.GetHexView()) {
        CHexEditBase* hex = &hexView->GetHexEdit();
        connect(hex, &CHexEditBase::contextMenuRequested, this, [hex](QPoint globalPoint) {
            QMenu menu(hex);
            QAction* copy =
                menu.addAction(tr("&Copy"), hex, [hex] { hex->CopyToClipboard(true, true, true); });
            copy->setEnabled(hex->HasSelection());
            QAction* all = menu.addAction(tr("Select &All"), hex, &CHexEditBase::SelectAll);
            all->setEnabled(!hex->GetData().empty());
            menu.exec(globalPoint);
        });
    }
}

void CViewingCommands::OnShowShortcuts()
{
    if (!m_shortcuts)
        m_shortcuts = new CShortcutsWindow(&m_frame);
    m_shortcuts->Fill(*m_frame.menuBar(), m_frame.actions());
    m_shortcuts->show();
    m_shortcuts->raise();
    m_shortcuts->activateWindow();
}

void CViewingCommands::RestorePaneSizes()
{
    auto* outer = qobject_cast<QSplitter*>(m_frame.centralWidget());
    auto* inner = outer ? qobject_cast<QSplitter*>(outer->widget(1)) : nullptr;
    if (outer && inner)
        m_layout.RestoreSplitters({outer, inner});
}

void CViewingCommands::SaveLayout()
{
    auto* outer = qobject_cast<QSplitter*>(m_frame.centralWidget());
    auto* inner = outer ? qobject_cast<QSplitter*>(outer->widget(1)) : nullptr;
    QList<const QSplitter*> splitters;
    if (outer && inner)
        splitters = {outer, inner};
    m_layout.SaveWindow(m_frame, splitters);
}

} // namespace orvanel
