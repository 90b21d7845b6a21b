#pragma once
// The one document: the open archive, the installation paths found at start, the title and
// path shown in the caption. The views reach the archive through it: it opens and discards
// archives, shows one stored file in the hex editor and the file view, saves one stored
// file, and forwards to the decoders and text builders.

#include "archive/DATArchive.h"
#include "archive/InstallLocator.h"
#include "decode/DibImage.h"
#include "decode/WaveSound.h"

#include <memory>
#include <span>
#include <string>

namespace orvanel {

class COrvanelApp;
class CMainFrame;
class IRegistrySource;

inline constexpr const char* kUntitledTitle = "Untitled";
inline constexpr const char* kNoFileLoadedTitle = "No File Loaded";
inline constexpr const char* kNoGameFoundMessage = "No installed game found (see orvanel-cli locate)";

class COrvanelDoc {
public:
    // Reads the installation paths from registry once; messages of the archives go to prompts
    // and long steps show busy.
    COrvanelDoc(IRegistrySource& registry, IUserPrompts& prompts, IBusyIndicator& busy);
    ~COrvanelDoc();
    COrvanelDoc(const COrvanelDoc&) = delete;
    COrvanelDoc& operator=(const COrvanelDoc&) = delete;

    void SetApp(COrvanelApp* app) { m_app = app; }
    void SetFrame(CMainFrame* frame) { m_frame = frame; }

    // The Default command and start-up: opens the default archive path.
    bool OnNewDocument();
    // Opens the archive at path and shows its first list; false when the file cannot be
    // opened or is not a usable archive.
    bool OnOpenDocument(const std::string& path);

    bool OpenArchive(const std::string& path);
    // Destroys the open archive (the views must have been emptied first).
    void DestroyArchive();
    void ShowFile(const DATEntry* entry);
    void ClearViews();
    void RefreshFileList();

    bool GetRawText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text) const;
    bool GetRecordText(std::span<const uint8_t> bytes, const DATEntry* entry, std::string& text) const;
    bool DecodeImage(std::span<const uint8_t> bytes, const DATEntry& entry, CDibImage& colour,
        CDibImage& grey, float& displayScale, uint32_t& noteKind, uint32_t& noteFileID) const;
    void LoadSound(std::span<const uint8_t> bytes, const DATEntry& entry, CWaveSound& sound) const;

    const CDATArchive* GetArchive() const { return m_archive.get(); }
    // "Untitled" is shown as "No File Loaded"; any other text as it is.
    void SetTitle(const std::string& title);
    const std::string& GetTitle() const { return m_title; }
    void SetPathName(const std::string& path) { m_pathName = path; }
    const std::string& GetPathName() const { return m_pathName; }
    IUserPrompts& GetPrompts() const { return m_prompts; }
    IBusyIndicator& GetBusy() const { return m_busy; }

private:
    DATInstallInfo m_installInfo;
    // The client portal archive of the installed game as a path of this system; empty when
    // the game is not installed.
    std::string m_defaultArchivePath;
    std::unique_ptr<CDATArchive> m_archive;
    std::string m_title = kNoFileLoadedTitle;
    std::string m_pathName;
    IUserPrompts& m_prompts;
    IBusyIndicator& m_busy;
    COrvanelApp* m_app = nullptr;
    CMainFrame* m_frame = nullptr;
};

} // namespace orvanel
