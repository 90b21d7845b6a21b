#pragma once
// Writing files into a folder that others may be changing at the same time. The folder is
// opened once, and every name inside it is resolved relative to that one handle. A file is
// written through the one handle made when it was created: it has no name while it is being
// written (or a random hidden one where the system cannot make nameless files), gets its
// name only once complete, and replaces an older file of that name in one step, never
// following a link planted in the folder. One implementation per platform, in platform/.

#include "decode/ByteStream.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanel {

class COutputFolder {
public:
    // Opens the folder at path. nameless false makes every file take the random-name road,
    // as on a system without nameless files.
    explicit COutputFolder(const std::string& path, bool nameless = true);
    // Opens the sub-folder name of parent, making it first where there is none (made tells).
    // A link or anything else that is not a folder in its place is refused, not followed, so
    // that nothing is written outside parent through an entry someone else put there. name is
    // one entry's name: a path, "." or ".." is refused too.
    COutputFolder(const COutputFolder& parent, const std::string& name, bool& made);
    ~COutputFolder();
    COutputFolder(const COutputFolder&) = delete;
    COutputFolder& operator=(const COutputFolder&) = delete;

    bool IsOpen() const { return m_handle >= 0; }
    // Why the folder could not be opened, in the system's words ("Permission denied").
    const std::string& Reason() const { return m_reason; }
    const std::string& Path() const { return m_path; }
    intptr_t Handle() const { return m_handle; }
    bool Nameless() const { return m_nameless; }
    // True when the folder holds an entry of that name (of any type, links not followed).
    bool Holds(const std::string& name) const;
    // True when files without a name can be made here (nameless, and the system can).
    bool TakesNamelessFiles() const;
    // Removes the sub-folder name when it is empty; false when it is not, or is gone.
    bool RemoveEmptyFolder(const std::string& name) const;

private:
    std::string m_path;
    std::string m_reason;
    intptr_t m_handle = -1;
    bool m_nameless = true;
};

// The old entries that published files replaced. The system frees an entry's storage when the
// last handle to it goes, and that can cost more than writing the new file (some file systems
// discard the freed blocks at once); held here, the old entries are let go on a few threads
// of their own while the writing goes on, rather than one by one inside each rename.
class CReplacedEntries {
public:
    CReplacedEntries() = default;
    ~CReplacedEntries() { Finish(); }
    CReplacedEntries(const CReplacedEntries&) = delete;
    CReplacedEntries& operator=(const CReplacedEntries&) = delete;

    // Takes over the handle of a replaced entry. Waits while many are still held, so that
    // they never use up the process's open files.
    void Add(intptr_t handle);
    // Returns once every entry has been let go.
    void Finish();

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_work; // handles to let go, or finishing
    std::condition_variable m_room; // fewer handles held
    std::vector<intptr_t> m_handles;
    std::vector<std::thread> m_threads;
    bool m_finishing = false;
    bool m_waitingForRoom = false;
};

// One file under way in an output folder. Destroying it before Publish removes it.
class COutputFile final : public CByteStream {
public:
    explicit COutputFile(COutputFolder& folder);
    ~COutputFile() override;
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // Creates the empty file; false (Reason set) when the folder refuses it. With
    // namelessOnly, a folder that cannot take a file without a name refuses it too: a named
    // temporary is only made on the thread that takes the interrupts, which it blocks meanwhile.
    bool Create(bool namelessOnly = false);
    // Puts the data written so far on the disk.
    bool Sync();
    // Starts putting the data written so far on the disk without waiting for it, so that a
    // later Sync has little left to wait for. Where the system cannot, does nothing.
    void StartWriteback();
    // Gives the complete file its name in the folder, replacing whatever entry had that name.
    // A file that replaces another has its data put on the disk first, so that a power cut
    // can never leave the name empty or truncated. With syncReplaced false the caller has
    // already done so (Sync, or one flush of the whole file system). With replaced, the old
    // entry is handed to it to be let go. False with Reason set.
    bool Publish(const std::string& name, bool syncReplaced = true, CReplacedEntries* replaced = nullptr);
    // The system's reason for the first failure of this file.
    const std::string& Reason() const { return m_reason; }

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Flush() override { return !m_failed; }
    bool Eof() const override { return false; }
    bool Error() const override { return m_failed; }

private:
    void Fail(int error);
    void Discard();

    COutputFolder& m_folder;
    intptr_t m_handle = -1;
    int m_slot = -1; // the pending-name slot of a named temporary, or -1
    std::string m_tempName;
    std::string m_reason;
    bool m_failed = false;
};

// Removes the named temporaries of every write under way. Safe in a signal handler.
void RemovePendingOutputFiles();

// For each of interrupt, termination and hang-up that was not ignored when the program
// started, installs a handler that removes the pending temporaries and then ends the process
// by that signal. A signal ignored at start (nohup) stays ignored.
void InstallInterruptCleanup();

// Puts everything written to the file system that holds the folder on its disk.
bool SyncFolderFileSystem(const COutputFolder& folder);

// Starts a helper thread that never handles interrupt, termination or hang-up, so that they
// reach the thread that writes, which knows its temporaries: the helper starts with them
// blocked, leaving no moment in which one could be handled on it while the writing goes on.
std::thread StartHelperThread(std::function<void()> run);

// Whether the signal was ignored when the program started (looked up before any handler of
// ours replaced it).
bool SignalIgnoredAtStart(int signal);

} // namespace orvanel
