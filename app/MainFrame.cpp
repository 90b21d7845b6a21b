#include "app/MainFrame.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/EntryTableModel.h"
#include "app/HexColours.h"
#include "app/OrvanelApp.h"
#include "app/OrvanelDoc.h"
#include "app/SelectionExport.h"
#include "app/ViewingCommands.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QUrl>

#include <algorithm>
#include <cstdio>

namespace orvanel {

namespace {

QString ChooseFolder(QWidget* parent, const QString& caption)
{
    return QFileDialog::getExistingDirectory(
        parent, caption, QString(), QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
}

// The first local file among dropped URLs, or an empty text.
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

CMainFrame::CMainFrame(COrvanelApp& app, COrvanelDoc& doc)
    : m_app(app), m_doc(doc), m_chooseFolder(ChooseFolder)
{
    setAcceptDrops(true);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreatePanes();
    ConfigureHexEditor();
    if (CDATListView* listView = GetListView()) {
        connect(listView->GetFileList().selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::UpdateCommandStates);
        connect(
            &listView->GetModel(), &QAbstractItemModel::modelReset, this, &CMainFrame::UpdateCommandStates);
    }
    resize(1024, 720);
    m_viewing = std::make_unique<CViewingCommands>(*this, m_app.GetSettings());
    OnTitleChanged();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreatePanes()
{
    m_outerSplitter = new QSplitter(Qt::Horizontal, this);
    m_outerSplitter->setChildrenCollapsible(false);
    auto* listView = new CDATListView(m_doc, m_outerSplitter);
    m_innerSplitter = new QSplitter(Qt::Vertical, m_outerSplitter);
    m_innerSplitter->setChildrenCollapsible(false);
    new CHexEditBaseView(m_innerSplitter);
    new CDATFileView(m_doc, m_innerSplitter);

    // The left pane and the hex editor keep their initial size; the file view takes the rest.
    listView->resize(300, 100);
    m_outerSplitter->setStretchFactor(0, 0);
    m_outerSplitter->setStretchFactor(1, 1);
    m_innerSplitter->setStretchFactor(0, 0);
    m_innerSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_outerSplitter);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_panesSized)
        return;
    // The initial sizes only hold once the splitters know their own size.
    m_panesSized = true;
    const int width = m_outerSplitter->width();
    const int height = m_innerSplitter->height();
    m_outerSplitter->setSizes({300, std::max(100, width - 300)});
    m_innerSplitter->setSizes({300, std::max(100, height - 300)});
    m_viewing->RestorePaneSizes();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_viewing->SaveLayout();
    QMainWindow::closeEvent(event);
}

void CMainFrame::ConfigureHexEditor()
{
    CHexEditBaseView* hexView = GetHexView();
    if (!hexView)
        return;
    CHexEditBase& hex = hexView->GetHexEdit();
    hex.NotifyMouse = true;
    hex.ForwardContextMenu = true;
    hex.SetReadOnly(true, true);
    hex.SetShowAddress(true, true);
    hex.SetShowAscii(true, true);
    hex.SetAddressDigits(4, true);
    ApplyHexColours();
    hex.SetAddressGap(20, true);
    hex.SetHexAsciiGap(20, true);
    hex.SetData(nullptr, 0, true);
}

void CMainFrame::ApplyHexColours()
{
    CHexEditBaseView* hexView = GetHexView();
    if (!hexView)
        return;
    CHexEditBase& hex = hexView->GetHexEdit();
    const HexColourScheme scheme = ChooseHexColours(palette(), m_highContrastAction->isChecked());
    hex.SetAddressColours(scheme.background, scheme.address, true);
    hex.SetHexColours(scheme.background, scheme.hex, true);
    hex.SetAsciiColours(scheme.background, scheme.ascii, true);
    hex.SetBackgroundColour(scheme.background, true);
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    const QColor paper = palette().color(QPalette::Active, QPalette::HighlightedText);
    hex.SetInactiveSelectionColours(highlight, paper, true);
    hex.SetActiveSelectionColours(paper, highlight, true);
}

void CMainFrame::OnViewHighContrast()
{
    m_app.GetSettings().setValue(
        QString::fromLatin1(kHighContrastSetting), m_highContrastAction->isChecked());
    ApplyHexColours();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The desktop may switch between light and dark while the program runs.
    if (event->type() == QEvent::PaletteChange && m_highContrastAction)
        ApplyHexColours();
}

CDATListView* CMainFrame::GetListView() const
{
    return m_outerSplitter ? qobject_cast<CDATListView*>(m_outerSplitter->widget(0)) : nullptr;
}

CHexEditBaseView* CMainFrame::GetHexView() const
{
    return m_innerSplitter ? qobject_cast<CHexEditBaseView*>(m_innerSplitter->widget(0)) : nullptr;
}

CDATFileView* CMainFrame::GetFileView() const
{
    return m_innerSplitter ? qobject_cast<CDATFileView*>(m_innerSplitter->widget(1)) : nullptr;
}

void CMainFrame::OnTitleChanged()
{
    setWindowTitle(QStringLiteral("%1 - %2").arg(
        QString::fromLatin1(kApplicationName), QString::fromLocal8Bit(m_doc.GetTitle().c_str())));
    // Every open and close of an archive sets the title.
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates()
{
    if (m_commandStatesHeld > 0)
        return;
    const bool open = m_doc.GetArchive() != nullptr;
    CDATListView* listView = GetListView();
    const bool selected = open && listView && listView->GetFileList().selectionModel()->hasSelection();
    m_saveAction->setEnabled(selected);
    m_saveAsPNGAction->setEnabled(selected);
    m_saveCategoryAction->setEnabled(open && listView && !listView->LineEntries().empty());
    m_saveAllAction->setEnabled(open);
    m_goToIDAction->setEnabled(open);
}

void CMainFrame::SaveInto(
    const char* caption, const std::function<std::optional<ExportResult>(const std::string&)>& save)
{
    const QString folder = m_chooseFolder(this, QString::fromLatin1(caption));
    if (folder.isEmpty())
        return;
    m_viewing->OnSaveFolderChosen(folder);
    const std::string path = QFile::encodeName(folder).toStdString();
    const std::optional<ExportResult> result = save(path);
    if (!result)
        return;
    const std::string shownFolder = folder.toStdString();
    statusBar()->showMessage(QString::fromStdString(ExportStatusText(*result, shownFolder)));
    const std::string summary = ExportSummaryText(*result, shownFolder);
    if (!summary.empty())
        m_doc.GetPrompts().Report(MessageKind::Warning, summary);
}

void CMainFrame::RememberExportFormat(ExportFormat format)
{
    m_app.GetSettings().setValue(QString::fromLatin1(kExportFormatSetting),
        format == ExportFormat::PNG ? QStringLiteral("png") : QStringLiteral("bmp"));
}

ExportFormat CMainFrame::RememberedExportFormat() const
{
    return m_app.GetSettings().value(QString::fromLatin1(kExportFormatSetting)).toString()
            == QStringLiteral("png")
        ? ExportFormat::PNG
        : ExportFormat::BMP;
}

void CMainFrame::OnFileSave()
{
    RememberExportFormat(ExportFormat::BMP);
    SaveInto(kSaveFolderCaption, [this](const std::string& folder) {
        CDATListView* listView = GetListView();
        return listView ? listView->SaveSelectedFiles(folder, ExportFormat::BMP) : std::nullopt;
    });
}

void CMainFrame::OnFileSaveAsPNG()
{
    RememberExportFormat(ExportFormat::PNG);
    SaveInto(kSaveFolderCaption, [this](const std::string& folder) {
        CDATListView* listView = GetListView();
        return listView ? listView->SaveSelectedFiles(folder, ExportFormat::PNG) : std::nullopt;
    });
}

void CMainFrame::OnFileSaveCategory()
{
    const ExportFormat format = RememberedExportFormat();
    SaveInto(kSaveCategoryCaption, [this, format](const std::string& folder) {
        CDATListView* listView = GetListView();
        return listView ? listView->SaveLineFiles(folder, format) : std::nullopt;
    });
}

void CMainFrame::OnFileSaveAll()
{
    const ExportFormat format = RememberedExportFormat();
    SaveInto(kSaveAllCaption, [this, format](const std::string& folder) -> std::optional<ExportResult> {
        if (!m_doc.GetArchive())
            return std::nullopt;
        return ExportAllWithProgress(m_doc, folder, this, format);
    });
}

void CMainFrame::OnViewGreyscale()
{
    CDATFileView* fileView = GetFileView();
    if (!fileView)
        return;
    fileView->SetGreyscale(!fileView->IsGreyscale());
    m_greyscaleAction->setChecked(fileView->IsGreyscale());
}

void CMainFrame::OnGoToID()
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, tr("Go to ID"), tr("File ID (hexadecimal):"), QLineEdit::Normal, QString(), &ok)
                             .trimmed();
    if (!ok || text.isEmpty())
        return;
    QString digits = text;
    if (digits.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        digits.remove(0, 2);
    bool valid = false;
    const uint32_t fileID = digits.toUInt(&valid, 16);
    if (!valid) {
        m_doc.GetPrompts().Report(
            MessageKind::Warning, "\"" + text.toStdString() + "\" is not a hexadecimal file ID.");
        return;
    }
    GoToID(fileID);
}

bool CMainFrame::GoToID(uint32_t fileID)
{
    CDATListView* listView = GetListView();
    if (listView && listView->GoToID(fileID))
        return true;
    char message[64];
    std::snprintf(message, sizeof message, "No file has the ID %08X.", fileID);
    m_doc.GetPrompts().Report(MessageKind::Warning, message);
    return false;
}

// A dropped archive is only read: the drop is always a copy, so that no source deletes
// the file it offered as a move.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (DroppedFile(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event)
{
    if (!(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty() || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_app.OpenDocumentFile(path);
}

} // namespace orvanel
