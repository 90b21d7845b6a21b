#include "app/OrvanelDoc.h"

#include "app/DATFileView.h"
#include "app/DATListView.h"
#include "app/MainFrame.h"
#include "app/OrvanelApp.h"
#include "archive/FileMapping.h"
#include "archive/RegistrySource.h"
#include "content/FileText.h"
#include "controls/HexEditBase.h"
#include "controls/HexEditBaseView.h"
#include "decode/SoundRecord.h"
#include "decode/TextureDecoder.h"

#include <QStatusBar>

#include <new>

namespace orvanel {

COrvanelDoc::COrvanelDoc(IRegistrySource& registry, IUserPrompts& prompts, IBusyIndicator& busy)
    : m_installInfo(registry), m_defaultArchivePath(m_installInfo.clientPortalPath.empty()
                                       ? std::string()
                                       : registry.HostPath(m_installInfo.clientPortalPath)),
      m_prompts(prompts), m_busy(busy)
{
}

COrvanelDoc::~COrvanelDoc()
{
    DestroyArchive();
}

bool COrvanelDoc::OnNewDocument()
{
    m_pathName.clear();
    ClearViews();
    if (m_app)
        m_app->OpenDocumentFile(QString::fromLocal8Bit(m_defaultArchivePath.c_str()));
    // Without an installed game the open request fails without a message box; the status
    // bar says why the window is empty.
    if (m_defaultArchivePath.empty() && m_frame)
        m_frame->statusBar()->showMessage(QString::fromLatin1(kNoGameFoundMessage));
    return true;
}

bool COrvanelDoc::OnOpenDocument(const std::string& path)
{
    if (!CanOpenForReading(path)) {
        m_prompts.Report(MessageKind::Error, "Cannot open the file " + path + ".");
        return false;
    }
    ClearViews();
    const bool ok = OpenArchive(path);
    if (ok)
        RefreshFileList();
    return ok;
}

bool COrvanelDoc::OpenArchive(const std::string& path)
{
    DestroyArchive();
    SetTitle(kUntitledTitle);
    try {
        m_archive = std::make_unique<CDATArchive>(path, m_prompts, m_busy);
    } catch (const std::bad_alloc&) {
        m_archive.reset();
    }
    if (!m_archive)
        return false;
    return m_archive->BuildCatalogue();
}

void COrvanelDoc::DestroyArchive()
{
    m_archive.reset();
}

void COrvanelDoc::ShowFile(const DATEntry* entry)
{
    std::optional<DATFileBytes> bytes;
    if (m_archive && entry)
        bytes = m_archive->ReadFile(*entry);
    const std::span<const uint8_t> shown =
        bytes ? std::span<const uint8_t>(*bytes) : std::span<const uint8_t>();

    if (CHexEditBaseView* hexView = m_frame ? m_frame->GetHexView() : nullptr) {
        CHexEditBase& hex = hexView->GetHexEdit();
        const uint32_t length = bytes && entry ? entry->size : 0;
        hex.SetData(bytes ? shown.data() : nullptr, length, true);
        hex.SetScrollX(0, false);
        hex.SetScrollRow(0, false);
    }
    if (CDATFileView* fileView = m_frame ? m_frame->GetFileView() : nullptr)
        fileView->ShowFile(shown, entry);
}

void COrvanelDoc::ClearViews()
{
    if (!m_frame)
        return;
    if (CDATListView* listView = m_frame->GetListView())
        listView->ClearList();
    if (CHexEditBaseView* hexView = m_frame->GetHexView())
        hexView->GetHexEdit().SetData(nullptr, 0, true);
    if (CDATFileView* fileView = m_frame->GetFileView())
        fileView->ShowFile({}, nullptr);
}

void COrvanelDoc::RefreshFileList()
{
    if (CDATListView* listView = m_frame ? m_frame->GetListView() : nullptr)
        listView->RefreshList();
}

bool COrvanelDoc::GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text) const
{
    text.clear();
    return m_archive && orvanel::GetRawText(bytes, entry, text);
}

bool COrvanelDoc::GetRecordText(
    std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text) const
{
    text.clear();
    return m_archive && orvanel::GetRecordText(bytes, entry, text);
}

bool COrvanelDoc::DecodeImage(std::span<const uint8_t> bytes, const DATEntry& entry, CDibImage& colour,
    CDibImage& grey, float& displayScale, uint32_t& noteKind, uint32_t& noteFileID) const
{
    if (!m_archive)
        return false;
    return orvanel::DecodeImage(*m_archive, bytes, entry, colour, grey, displayScale, noteKind, noteFileID);
}

void COrvanelDoc::LoadSound(std::span<const uint8_t> bytes, const DATEntry& entry, CWaveSound& sound) const
{
    if (m_archive)
        LoadSoundRecord(bytes, entry, sound);
}

void COrvanelDoc::SetTitle(const std::string& title)
{
    m_title = title == kUntitledTitle ? std::string(kNoFileLoadedTitle) : title;
    if (m_frame)
        m_frame->OnTitleChanged();
}

} // namespace orvanel
