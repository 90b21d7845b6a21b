#include "content/FileExport.h"

#include "content/FileKind.h"
#include "content/ReplacingFile.h"
#include "content/StoredContent.h"
#include "decode/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace orvanel {

void ExportResult::Add(const ExportResult& other)
{
    saved += other.saved;
    bad += other.bad;
    if (notWritten == 0)
        reason = other.reason;
    notWritten += other.notWritten;
    notReached += other.notReached;
    for (const NotSavedFile& file : other.notSaved) {
        if (notSaved.size() < kNamedFiles)
            notSaved.push_back(file);
    }
}

namespace {

std::string Files(size_t count)
{
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

std::string Why(const NotSavedFile& file, const std::string& folder)
{
    switch (file.cause) {
    case NotSavedCause::BadID:
        return "bad ID" + (file.reason.empty() ? std::string() : " (" + file.reason + ")");
    case NotSavedCause::Unreadable: return "cannot be read from the archive";
    case NotSavedCause::DoesNotDecode: return "does not decode";
    case NotSavedCause::NotWritten: return "could not be written to " + folder + ": " + file.reason;
    }
    return {};
}

} // namespace

std::string ExportSummaryText(const ExportResult& result, const std::string& folder)
{
    if (result.Failed() == 0)
        return {};
    std::string text;
    if (result.bad > 0)
        text = std::string(kExportSummaryMessage) + "\n\n";
    // Files the folder or the disk refused are counted apart, with the system's reason, since
    // what the user must mend is the folder, not the archive.
    if (result.notWritten > 0)
        text +=
            Files(result.notWritten) + " could not be written to " + folder + ": " + result.reason + "\n\n";
    text += Files(result.Failed()) + " not saved:";
    for (const NotSavedFile& file : result.notSaved) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", file.fileID);
        text += "\n" + std::string(id) + ": " + Why(file, folder);
    }
    if (result.Failed() > result.notSaved.size())
        text += "\nand " + std::to_string(result.Failed() - result.notSaved.size()) + " more";
    return text;
}

std::string ExportStatusText(const ExportResult& result, const std::string& folder)
{
    std::string text = "Saved " + Files(result.saved) + " to " + folder;
    if (result.Failed() > 0)
        text += ", " + std::to_string(result.Failed()) + " not saved";
    if (result.notReached > 0)
        text += "; cancelled before " + std::to_string(result.notReached) + " more";
    return text;
}

std::string CExportNames::NameFor(const DATEntry& entry)
{
    const char* extension = ExportExtension(ClassifyFileID(entry.fileID), m_format);
    char name[64];
    std::snprintf(name, sizeof name, "%08X%s", entry.fileID, extension);
    if (m_used.insert(name).second)
        return name;
    std::snprintf(name, sizeof name, "%08X-v%08X%s", entry.fileID, entry.version, extension);
    // Two entries of one ID can carry the same version field; the later ones are numbered.
    for (unsigned copy = 2; !m_used.insert(name).second; ++copy)
        std::snprintf(name, sizeof name, "%08X-v%08X-%u%s", entry.fileID, entry.version, copy, extension);
    return name;
}

namespace {

// What one stored file becomes before it is named: decided (and, for pictures, sounds and
// texts, converted), then written into a file without a name. Raw files are read while they
// are written.
struct PreparedFile {
    const DATEntry* entry = nullptr;
    bool bad = false;
    NotSavedFile why;         // when bad
    bool outOfMemory = false; // converting it ran out of memory
    StoredContent content;
    // Once written: the outcome, the file to name when saved, the reason when not written.
    bool written = false;
    ExportOutcome outcome = ExportOutcome::Bad;
    std::unique_ptr<CReplacingFile> file;
    std::string reason;
};

// Why a file whose ID check did not pass is bad.
void BadID(PreparedFile& file, StoredIDCheck check, uint32_t storedWord)
{
    char reason[48];
    if (check == StoredIDCheck::TooShort)
        std::snprintf(reason, sizeof reason, "too short to hold one");
    else
        std::snprintf(reason, sizeof reason, "its first word is %08X", storedWord);
    file.bad = true;
    file.why.cause = NotSavedCause::BadID;
    file.why.reason = reason;
}

void PrepareContent(const CDATArchive& archive, PreparedFile& file, ExportFormat format)
{
    if (!file.entry) {
        file.bad = true;
        return;
    }
    const DATEntry& entry = *file.entry;
    file.why.fileID = entry.fileID;
    file.content.kind = ClassifyFileID(entry.fileID);
    if (file.content.kind == FileKind::Raw)
        return;
    const auto bytes = archive.ReadFile(entry);
    if (!bytes) {
        file.bad = true;
        file.why.cause = NotSavedCause::Unreadable;
        return;
    }
    uint32_t storedWord = 0;
    if (const StoredIDCheck check = CheckStoredID(*bytes, entry, storedWord);
        check != StoredIDCheck::Matches) {
        BadID(file, check, storedWord);
        return;
    }
    std::string reason;
    if (!DecodeStoredContent(archive, *bytes, entry, file.content, reason, format)) {
        file.bad = true;
        file.why.cause = NotSavedCause::DoesNotDecode;
        file.why.reason = reason;
        return;
    }
    // A PNG file is made here, on the converting thread, so that the writing thread has only
    // its bytes to write.
    if (!EncodeContent(file.content, format)) {
        file.bad = true;
        file.why.cause = NotSavedCause::DoesNotDecode;
        file.why.reason = "its picture cannot be encoded";
    }
}

// Converts one file; running out of memory on the way (a huge text record, say) fails that
// file alone (see Write).
void Prepare(const CDATArchive& archive, PreparedFile& file, ExportFormat format)
{
    try {
        PrepareContent(archive, file, format);
    } catch (const std::bad_alloc&) {
        file.outOfMemory = true;
    }
}

// Writes a prepared file into a new file of the folder (prepared.file), which the caller then
// names. Bad for a raw file whose stored bytes fail their check or cannot be read; NotWritten
// (with prepared.reason) when the folder or the disk refuses the file. namelessOnly as for
// CReplacingFile::Create.
ExportOutcome WritePrepared(const CDATArchive& archive, PreparedFile& prepared, COutputFolder& folder,
    ExportFormat format, bool namelessOnly)
{
    if (prepared.bad)
        return ExportOutcome::Bad;
    auto file = std::make_unique<CReplacingFile>(folder);
    if (prepared.content.kind == FileKind::Raw) {
        // The first piece decides the ID check; the file is made only for one that passes.
        bool bad = false, created = false;
        // Raw files of any size stream from the mapping in bounded pieces.
        const bool read = StreamDATFile(archive.Data(), *prepared.entry, [&](std::span<const uint8_t> piece) {
            if (!created) {
                uint32_t storedWord = 0;
                if (const StoredIDCheck check = CheckStoredID(piece, *prepared.entry, storedWord);
                    check != StoredIDCheck::Matches) {
                    BadID(prepared, check, storedWord);
                    bad = true;
                    return false;
                }
                created = true;
                if (!file->Create(namelessOnly))
                    return false;
            }
            return piece.empty() || file->Stream().Write(piece.data(), piece.size(), 1) == 1;
        });
        if (bad || !created || (!read && !file->Stream().Error())) {
            // The archive failed, not the folder.
            if (!bad)
                prepared.why.cause = NotSavedCause::Unreadable;
            return ExportOutcome::Bad;
        }
    } else if (file->Create(namelessOnly) && !WriteContent(prepared.content, file->Stream(), format)
        && !file->Stream().Error()) {
        // Content that could not be written whole is never named as if it were.
        prepared.reason = "Input/output error";
        return ExportOutcome::NotWritten;
    }
    if (file->Stream().Error() || !file->Reason().empty()) {
        prepared.reason = file->Reason().empty() ? std::string("Input/output error") : file->Reason();
        return ExportOutcome::NotWritten;
    }
    prepared.file = std::move(file);
    return ExportOutcome::Saved;
}

// WritePrepared into prepared's outcome, with running out of memory, while converting the
// file or writing it, made that file's failure: it is not written, for the system's reason.
void Write(const CDATArchive& archive, PreparedFile& prepared, COutputFolder& folder, ExportFormat format,
    bool namelessOnly = false)
{
    prepared.written = true;
    try {
        if (!prepared.outOfMemory) {
            prepared.outcome = WritePrepared(archive, prepared, folder, format, namelessOnly);
            return;
        }
    } catch (const std::bad_alloc&) {
        prepared.file.reset();
    }
    prepared.reason = std::generic_category().message(ENOMEM);
    prepared.outcome = ExportOutcome::NotWritten;
}

// Converts one file and, with ahead, writes it at once, only ever into a file without a name:
// such files are invisible until named and vanish with the process, so any thread may write
// them in any order, and only the naming follows the list's order. Otherwise the thread that
// names the files writes it.
void Prepare(
    const CDATArchive& archive, PreparedFile& file, COutputFolder& folder, bool ahead, ExportFormat format)
{
    Prepare(archive, file, format);
    if (ahead)
        Write(archive, file, folder, format, true);
}

// Counts one file; why names a file not saved (its reason is the system's when not written).
void Count(ExportResult& result, ExportOutcome outcome, NotSavedFile why)
{
    switch (outcome) {
    case ExportOutcome::Saved: ++result.saved; return;
    case ExportOutcome::Bad: ++result.bad; break;
    case ExportOutcome::NotWritten:
        if (result.notWritten++ == 0)
            result.reason = why.reason;
        why.cause = NotSavedCause::NotWritten;
        break;
    }
    if (result.notSaved.size() < ExportResult::kNamedFiles)
        result.notSaved.push_back(std::move(why));
}

// The file ID a name of the export begins with.
uint32_t IDOfName(const std::string& name)
{
    return uint32_t(std::strtoul(name.substr(0, 8).c_str(), nullptr, 16));
}

// Files written but not yet named. They are named together: when any of them replaces an
// older file, everything written is first put on the disk with one flush of the file
// system, so that no name is ever left empty or truncated by a power cut, without a flush
// between every two writes (a flush per file costs far more than one for all of them).
class CPendingNames {
public:
    explicit CPendingNames(COutputFolder& folder) : m_folder(folder) { }
    // At most this many files stay open unnamed at once, well below the usual limit of
    // 1,024 open files.
    static constexpr size_t kBatch = 400;

    bool Full() const { return m_files.size() >= kBatch; }
    // A file that will replace an older one starts on its way to the disk at once, while the
    // next files are converted and written, so the batch's one flush before its renames has
    // little left to wait for.
    void Add(std::unique_ptr<CReplacingFile> file, std::string name)
    {
        const bool replacing = m_folder.Holds(name);
        if (replacing) {
            file->StartWriteback();
            m_replacing = true;
        }
        m_files.push_back({std::move(file), std::move(name), replacing});
    }
    void NameAll(ExportResult& result)
    {
        // Without the one flush, each replacing file flushes its own data before its rename.
        const bool synced = m_replacing && SyncFolderFileSystem(m_folder);
        for (auto& [file, name, replacing] : m_files) {
            std::string reason;
            // An old entry is held to be let go elsewhere only where one was found; a name
            // made meanwhile is still replaced safely, within the rename.
            const bool named = file->Commit(name, reason, !synced, replacing ? &m_replaced : nullptr);
            Count(result, named ? ExportOutcome::Saved : ExportOutcome::NotWritten,
                {IDOfName(name), NotSavedCause::NotWritten, reason});
        }
        m_files.clear();
        m_replacing = false;
    }
    // Names what is left and waits until the old files replaced are let go.
    void Finish(ExportResult& result)
    {
        NameAll(result);
        m_replaced.Finish();
    }

private:
    COutputFolder& m_folder;
    CReplacedEntries m_replaced;
    struct Pending {
        std::unique_ptr<CReplacingFile> file;
        std::string name;
        bool replacing; // an entry had the name when the file was written
    };
    std::vector<Pending> m_files;
    bool m_replacing = false;
};

// Hands out the entries' files in order, converted and, where the folder takes files without
// a name, already written (see Prepare). With ahead, threads of their own (one for each core
// beside the namer's, at least one) work a few files ahead, each taking the next file not yet
// taken. A namer that finds its next file not ready does the next one itself instead of
// waiting, so that every core converts and writes while the namer's thread names the files.
class CPreparer {
public:
    CPreparer(const CDATArchive& archive, const DATEntryList& entries, COutputFolder& folder, bool ahead,
        ExportFormat format)
        : m_archive(archive), m_entries(entries), m_folder(folder), m_format(format)
    {
        if (!ahead || entries.size() < 2)
            return;
        m_writeAhead = folder.TakesNamelessFiles();
        const size_t cores = std::max<size_t>(std::thread::hardware_concurrency(), 2);
        const size_t threads = std::min(cores - 1, kMostThreads);
        // Room for a file being converted on each thread, the writer's included, and as many
        // ready beside them.
        m_slots.resize(2 * (threads + 1));
        m_threads.reserve(threads);
        for (size_t t = 0; t < threads; ++t) {
            try {
                m_threads.push_back(StartHelperThread([this] { Run(); }));
            } catch (const std::system_error&) {
                break; // fewer helpers, or none: the writer converts the rest itself
            }
        }
    }
    ~CPreparer() { Stop(); }

    // The next file in order.
    std::unique_ptr<PreparedFile> Next()
    {
        if (m_threads.empty()) {
            auto file = std::make_unique<PreparedFile>();
            file->entry = m_entries[m_taken++];
            Prepare(m_archive, *file, m_folder, m_writeAhead, m_format);
            return file;
        }
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (auto& slot = m_slots[m_taken % m_slots.size()]) {
                auto file = std::move(slot);
                ++m_taken;
                m_changed.notify_all();
                return file;
            }
            if (CanTake())
                ConvertNext(lock);
            else
                m_changed.wait(lock);
        }
    }

    void Stop()
    {
        if (m_threads.empty())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
        m_threads.clear();
    }

private:
    static constexpr size_t kMostThreads = 4;

    // Whether a file is left to convert and its slot has been emptied by the writer.
    bool CanTake() const { return m_next < m_entries.size() && m_next < m_taken + m_slots.size(); }

    // Converts the next file not yet taken, with the lock let go meanwhile, into its slot.
    void ConvertNext(std::unique_lock<std::mutex>& lock)
    {
        const size_t index = m_next++;
        lock.unlock();
        auto file = std::make_unique<PreparedFile>();
        file->entry = m_entries[index];
        Prepare(m_archive, *file, m_folder, m_writeAhead, m_format);
        lock.lock();
        m_slots[index % m_slots.size()] = std::move(file);
        m_changed.notify_all();
    }

    void Run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stop || m_next == m_entries.size() || CanTake(); });
            if (m_stop || m_next == m_entries.size())
                return;
            ConvertNext(lock);
        }
    }

    const CDATArchive& m_archive;
    const DATEntryList& m_entries;
    COutputFolder& m_folder;
    const ExportFormat m_format;
    // Files are written as they are converted, on any thread (see Prepare).
    bool m_writeAhead = false;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    // The files being converted or ready, each at its place in the list modulo the count.
    std::vector<std::unique_ptr<PreparedFile>> m_slots;
    size_t m_taken = 0; // handed to the writer
    size_t m_next = 0;  // taken for converting
    bool m_stop = false;
};

} // namespace

ExportOutcome SaveStoredFile(const CDATArchive* archive, const DATEntry* entry, COutputFolder& folder,
    const std::string& name, std::string& reason, ExportFormat format)
{
    if (!archive || !entry)
        return ExportOutcome::Bad;
    PreparedFile prepared;
    prepared.entry = entry;
    Prepare(*archive, prepared, format);
    Write(*archive, prepared, folder, format);
    if (prepared.outcome == ExportOutcome::NotWritten)
        reason = prepared.reason;
    if (prepared.outcome != ExportOutcome::Saved)
        return prepared.outcome;
    return prepared.file->Commit(name, reason) ? ExportOutcome::Saved : ExportOutcome::NotWritten;
}

ExportOutcome SaveStoredFile(
    const CDATArchive* archive, const DATEntry* entry, const std::string& folderPath, ExportFormat format)
{
    if (!entry)
        return ExportOutcome::Bad;
    COutputFolder folder(folderPath);
    std::string reason;
    return SaveStoredFile(archive, entry, folder, CExportNames(format).NameFor(*entry), reason, format);
}

ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries,
    const std::string& folderPath, const std::function<bool(size_t, size_t)>& progress, ExportFormat format)
{
    COutputFolder folder(folderPath);
    return SaveStoredFiles(archive, entries, folder, progress, true, format);
}

ExportResult SaveStoredFiles(const CDATArchive& archive, const DATEntryList& entries, COutputFolder& folder,
    const std::function<bool(size_t, size_t)>& progress, bool overlapped, ExportFormat format)
{
    ExportResult result;
    CExportNames names(format);
    CPendingNames pending(folder);
    CPreparer preparer(archive, entries, folder, overlapped, format);
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto prepared = preparer.Next();
        if (!prepared->written)
            Write(archive, *prepared, folder, format);
        const std::string name = prepared->entry ? names.NameFor(*prepared->entry) : std::string();
        if (prepared->outcome == ExportOutcome::Saved) {
            pending.Add(std::move(prepared->file), name);
        } else {
            NotSavedFile why = prepared->why;
            if (prepared->outcome == ExportOutcome::NotWritten)
                why.reason = prepared->reason;
            Count(result, prepared->outcome, std::move(why));
        }
        if (pending.Full())
            pending.NameAll(result);
        if (progress && !progress(i + 1, entries.size())) {
            result.notReached = entries.size() - (i + 1);
            break;
        }
    }
    preparer.Stop();
    pending.Finish(result);
    return result;
}

} // namespace orvanel
