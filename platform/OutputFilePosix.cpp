// Output files on POSIX systems. A file is made nameless with O_TMPFILE and linked into the
// folder when complete, so that even a killed process leaves nothing behind; where the file
// system cannot make nameless files it is created under a random hidden name with O_EXCL and
// O_NOFOLLOW, kept open until the rename, and recorded where a signal handler can remove it.

#include "decode/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanel {

namespace {

// Named temporaries under way, reachable from a signal handler without allocating. A slot is
// free (0), being filled (1) or holds a name to remove (2).
// More than an export keeps unnamed at once.
constexpr int kSlotCount = 512;
constexpr size_t kTempNameSize = 32;
struct PendingSlot {
    std::atomic<int> state {0};
    int folder = -1;
    char name[kTempNameSize] = {};
};
PendingSlot g_slots[kSlotCount];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Blocks the interrupt signals for the lifetime of the object, so that a handler never sees
// a temporary that exists but is not yet recorded, or recorded but already renamed.
class CSignalBlock {
public:
    CSignalBlock()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : kInterruptSignals)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &m_previous);
    }
    ~CSignalBlock() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    CSignalBlock(const CSignalBlock&) = delete;
    CSignalBlock& operator=(const CSignalBlock&) = delete;

private:
    sigset_t m_previous;
};

// Records a temporary's name before it is made, and it is forgotten only once the name is
// gone (renamed or removed): whenever the cleanup runs, even late, as a runtime that delays
// signals may run it, it finds every temporary that can exist. Removing a name not made yet,
// or already gone, does no harm.
int RecordPending(int folder, const char* name)
{
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = 0;
        if (g_slots[i].state.compare_exchange_strong(expected, 1)) {
            g_slots[i].folder = folder;
            std::strncpy(g_slots[i].name, name, kTempNameSize - 1);
            g_slots[i].state.store(2);
            return i;
        }
    }
    return -1;
}

void ForgetPending(int slot)
{
    if (slot >= 0)
        g_slots[slot].state.store(0);
}

// ".orvanel-" and 16 random hexadecimal digits: nobody can plant a file under the name first.
std::string RandomTempName()
{
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) != sizeof bits) {
        static std::atomic<uint64_t> counter {0};
        bits = (uint64_t(::getpid()) << 32) ^ uint64_t(::time(nullptr))
            ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    }
    char name[kTempNameSize];
    std::snprintf(name, sizeof name, ".orvanel-%016llx", static_cast<unsigned long long>(bits));
    return name;
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

struct sigaction g_startDisposition[NSIG];
std::atomic<bool> g_startLooked[NSIG];

extern "C" void RemoveAndDie(int signal)
{
    RemovePendingOutputFiles();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

COutputFolder::COutputFolder(const std::string& path, bool nameless) : m_path(path), m_nameless(nameless)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        m_reason = ErrorText(errno);
    m_handle = fd;
}

COutputFolder::COutputFolder(const COutputFolder& parent, const std::string& name, bool& made)
    : m_path(parent.m_path + (parent.m_path.ends_with('/') ? "" : "/") + name), m_nameless(parent.m_nameless)
{
    made = false;
    if (!parent.IsOpen()) {
        m_reason = parent.m_reason;
        return;
    }
    // One name beside the others, never a path through other folders.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        m_reason = name + ": " + ErrorText(EINVAL);
        return;
    }
    const int folder = int(parent.m_handle);
    // The reason names the sub-folder, since messages name the folder the user chose.
    if (::mkdirat(folder, name.c_str(), 0777) == 0)
        made = true;
    else if (errno != EEXIST) {
        m_reason = name + ": " + ErrorText(errno);
        return;
    }
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A link in the folder's place, or a file: the name is taken by something else.
        m_reason = name + ": " + ErrorText(errno == ELOOP ? ENOTDIR : errno);
        return;
    }
    m_handle = fd;
}

COutputFolder::~COutputFolder()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

bool COutputFolder::Holds(const std::string& name) const
{
    struct stat st;
    return m_handle >= 0 && ::fstatat(int(m_handle), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool COutputFolder::RemoveEmptyFolder(const std::string& name) const
{
    return m_handle >= 0 && ::unlinkat(int(m_handle), name.c_str(), AT_REMOVEDIR) == 0;
}

bool COutputFolder::TakesNamelessFiles() const
{
    if (m_handle < 0 || !m_nameless)
        return false;
    const int fd = ::openat(int(m_handle), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

COutputFile::COutputFile(COutputFolder& folder) : m_folder(folder)
{
}

COutputFile::~COutputFile()
{
    Discard();
}

void COutputFile::Fail(int error)
{
    if (!m_failed)
        m_reason = ErrorText(error);
    m_failed = true;
}

bool COutputFile::Create(bool namelessOnly)
{
    Discard();
    m_failed = false;
    m_reason.clear();
    if (!m_folder.IsOpen()) {
        m_reason = m_folder.Reason();
        m_failed = true;
        return false;
    }
    const int folder = int(m_folder.Handle());
    if (namelessOnly && !m_folder.Nameless()) {
        Fail(EOPNOTSUPP);
        return false;
    }
    if (m_folder.Nameless()) {
        const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            return true;
        }
        // Only a file system without nameless files takes the named road; any other refusal
        // (no permission, no space) is the answer.
        if (namelessOnly || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
            Fail(errno);
            return false;
        }
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = RandomTempName();
        CSignalBlock blocked;
        // Recorded before it is made (see RecordPending).
        const int slot = RecordPending(folder, name.c_str());
        if (slot < 0) {
            // Unrecorded, an interrupt could not remove it: refuse rather than risk leaving it.
            Fail(EMFILE);
            return false;
        }
        const int fd =
            ::openat(folder, name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int error = errno;
            ForgetPending(slot);
            if (error == EEXIST)
                continue;
            Fail(error);
            return false;
        }
        m_slot = slot;
        m_handle = fd;
        m_tempName = name;
        return true;
    }
    Fail(EEXIST);
    return false;
}

bool COutputFile::Sync()
{
    if (m_handle < 0 || m_failed)
        return false;
    if (::fdatasync(int(m_handle)) != 0) {
        Fail(errno);
        return false;
    }
    return true;
}

void COutputFile::StartWriteback()
{
#ifdef SYNC_FILE_RANGE_WRITE
    if (m_handle >= 0 && !m_failed)
        ::sync_file_range(int(m_handle), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

namespace {

// A handle to the entry a name held before a file replaced it: a path handle, which opens
// nothing (no device or pipe planted in the folder is ever opened) but keeps the entry alive.
class CHeldEntry {
public:
    CHeldEntry(int folder, const std::string& name)
        : m_fd(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)), m_error(m_fd < 0 ? errno : 0)
    {
    }
    ~CHeldEntry()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CHeldEntry(const CHeldEntry&) = delete;
    CHeldEntry& operator=(const CHeldEntry&) = delete;

    bool Held() const { return m_fd >= 0; }
    bool Absent() const { return m_error == ENOENT; }
    void HandTo(CReplacedEntries& replaced)
    {
        replaced.Add(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
    int m_error;
};

} // namespace

bool COutputFile::Publish(const std::string& name, bool syncReplaced, CReplacedEntries* replaced)
{
    if (m_handle < 0 || m_failed)
        return false;
    const int folder = int(m_folder.Handle());
    std::optional<CHeldEntry> old;
    bool replacing = false;
    if (replaced) {
        old.emplace(folder, name);
        replacing = old->Held() || (!old->Absent() && m_folder.Holds(name));
    } else if (!m_tempName.empty()) {
        replacing = m_folder.Holds(name);
    }
    // A nameless file not known to replace anything is linked in under its name at once: the
    // link fails when the name is taken, and the file then replaces the entry as below.
    if (replacing && syncReplaced && !Sync())
        return false;

    if (m_tempName.empty()) {
        // A nameless file: link it in under its own name when that is free, else under a
        // random name that is then renamed over the old entry.
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", int(m_handle));
        if (!replacing) {
            if (::linkat(AT_FDCWD, self, folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                Discard();
                return true;
            }
            if (errno != EEXIST) {
                Fail(errno);
                return false;
            }
            // Someone made the name meanwhile: it is replaced like any older file.
            if (syncReplaced && !Sync())
                return false;
        }
        for (int attempt = 0; attempt < 16 && m_tempName.empty(); ++attempt) {
            const std::string temp = RandomTempName();
            CSignalBlock blocked;
            const int slot = RecordPending(folder, temp.c_str());
            if (slot < 0) {
                Fail(EMFILE);
                return false;
            }
            if (::linkat(AT_FDCWD, self, folder, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                m_tempName = temp;
                m_slot = slot;
                continue;
            }
            const int error = errno;
            ForgetPending(slot);
            if (error != EEXIST) {
                Fail(error);
                return false;
            }
        }
        if (m_tempName.empty()) {
            Fail(EEXIST);
            return false;
        }
    }

    CSignalBlock blocked;
    if (::renameat(folder, m_tempName.c_str(), folder, name.c_str()) != 0) {
        Fail(errno);
        return false; // the destructor removes the temporary
    }
    ForgetPending(m_slot);
    m_slot = -1;
    m_tempName.clear();
    Discard();
    if (old && old->Held())
        old->HandTo(*replaced);
    return true;
}

void COutputFile::Discard()
{
    if (!m_tempName.empty()) {
        CSignalBlock blocked;
        ::unlinkat(int(m_folder.Handle()), m_tempName.c_str(), 0);
        ForgetPending(m_slot);
        m_slot = -1;
        m_tempName.clear();
    }
    if (m_handle >= 0) {
        ::close(int(m_handle));
        m_handle = -1;
    }
}

size_t COutputFile::Read(void*, size_t, size_t)
{
    return 0; // written only
}

size_t COutputFile::Write(const void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0)
        return 0;
    if (m_handle < 0 || !buffer || m_failed) {
        m_failed = true;
        return 0;
    }
    const auto* from = static_cast<const uint8_t*>(buffer);
    const size_t total = size * count;
    size_t done = 0;
    while (done < total) {
        const ssize_t n = ::write(int(m_handle), from + done, total - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(n < 0 ? errno : ENOSPC);
            return done / size;
        }
        done += size_t(n);
    }
    return count;
}

bool COutputFile::Seek(int64_t offset, int origin)
{
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (m_handle < 0 || origin < kSeekStart || origin > kSeekEnd)
        return false;
    return ::lseek(int(m_handle), off_t(offset), kWhence[origin]) >= 0;
}

int64_t COutputFile::Tell() const
{
    return m_handle < 0 ? -1 : int64_t(::lseek(int(m_handle), 0, SEEK_CUR));
}

int64_t COutputFile::Size() const
{
    struct stat st;
    return m_handle >= 0 && ::fstat(int(m_handle), &st) == 0 ? int64_t(st.st_size) : -1;
}

void RemovePendingOutputFiles()
{
    for (PendingSlot& slot : g_slots) {
        int expected = 2;
        if (slot.state.compare_exchange_strong(expected, 0))
            ::unlinkat(slot.folder, slot.name, 0);
    }
}

std::thread StartHelperThread(std::function<void()> run)
{
    // A new thread starts with the signal mask of the thread that makes it.
    CSignalBlock blocked;
    return std::thread(std::move(run));
}

bool SignalIgnoredAtStart(int signal)
{
    if (signal <= 0 || signal >= NSIG)
        return false;
    if (!g_startLooked[signal].exchange(true))
        ::sigaction(signal, nullptr, &g_startDisposition[signal]);
    return !(g_startDisposition[signal].sa_flags & SA_SIGINFO)
        && g_startDisposition[signal].sa_handler == SIG_IGN;
}

void InstallInterruptCleanup()
{
    for (int signal : kInterruptSignals) {
        if (SignalIgnoredAtStart(signal))
            continue;
        struct sigaction action { };
        action.sa_handler = RemoveAndDie;
        sigemptyset(&action.sa_mask);
        for (int other : kInterruptSignals)
            sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace orvanel

namespace orvanel {

bool SyncFolderFileSystem(const COutputFolder& folder)
{
    return folder.IsOpen() && ::syncfs(int(folder.Handle())) == 0;
}

} // namespace orvanel
