#include "tools/cli/TerminalPrompts.h"

#include "archive/DATReader.h"
#include "archive/FileMapping.h"

#include <cstdio>

namespace orvanel::cli {

void CTerminalPrompts::Inform(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    // On a terminal there is room to say why the archive could not be opened.
    if (text == kUnableToLoadMessage) {
        if (const std::string reason = LastMapFailureReason(); !reason.empty())
            std::fprintf(stderr, "%s\n", reason.c_str());
    }
}

bool CTerminalPrompts::AskYesNo(const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", text.c_str(),
        m_answerYes ? "Answered Yes (--force)." : "Answered No (use --force to answer Yes).");
    return m_answerYes;
}

} // namespace orvanel::cli
