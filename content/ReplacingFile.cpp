#include "content/ReplacingFile.h"

namespace orvanel {

bool CReplacingFile::Commit(
    const std::string& name, std::string& reason, bool syncReplaced, CReplacedEntries* replaced)
{
    if (!m_file.Error() && m_file.Publish(name, syncReplaced, replaced))
        return true;
    reason = m_file.Reason().empty() ? std::string("Input/output error") : m_file.Reason();
    return false;
}

} // namespace orvanel
