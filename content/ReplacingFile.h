#pragma once
// One exported file written so that nothing is lost on failure: the content goes into a file
// without a name in the export folder, which takes the target's name only once it has been
// written completely. A failed or abandoned write leaves the folder as it was.

#include "decode/OutputFile.h"

#include <string>

namespace orvanel {

class CReplacingFile {
public:
    explicit CReplacingFile(COutputFolder& folder) : m_file(folder) { }

    // Creates the file; false (Reason set) when the folder refuses it. namelessOnly as for
    // COutputFile::Create.
    bool Create(bool namelessOnly = false) { return m_file.Create(namelessOnly); }
    // Where the content is written until Commit.
    CByteStream& Stream() { return m_file; }
    const std::string& Reason() const { return m_file.Reason(); }
    // Puts the data written so far on the disk.
    bool Sync() { return m_file.Sync(); }
    // Starts putting the data on the disk without waiting.
    void StartWriteback() { m_file.StartWriteback(); }
    // Names the file, replacing any entry of that name. False, with the system's reason,
    // when a write or the naming failed; the file is then gone and the old entry untouched.
    // With replaced, the old entry is let go there.
    bool Commit(const std::string& name, std::string& reason, bool syncReplaced = true,
        CReplacedEntries* replaced = nullptr);

private:
    COutputFile m_file;
};

} // namespace orvanel
