#pragma once
// Writes a file so that nothing is lost on failure: the content goes to a temporary file
// beside the target, which replaces the target only once it has been written completely.
// A failed or abandoned write removes the temporary and leaves any existing target as it was.

#include <string>

namespace orvanel {

class CReplacingFile {
public:
    explicit CReplacingFile(std::string target);
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // Creates the empty temporary file; false when the folder cannot take it.
    bool Create();
    // Where the content is to be written until Commit.
    const std::string& TempPath() const { return m_temp; }
    // Moves the temporary over the target; false (temporary removed) when that fails.
    bool Commit();

private:
    void Discard();

    std::string m_target;
    std::string m_temp;
};

// Removes the temporary file of a write under way, if any. Safe to call from a signal
// handler, so that an interrupted export leaves nothing behind.
void RemovePendingReplacingFile();

} // namespace orvanel
