#pragma once

#include "archive/Platform.h"

namespace orvanel::cli {

// Messages go to stderr; questions are printed there too and answered with a fixed
// answer, since the tool never waits for a person.
class CTerminalPrompts final : public IUserPrompts {
public:
    explicit CTerminalPrompts(bool answerYes) : m_answerYes(answerYes) { }
    void Inform(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;

private:
    bool m_answerYes;
};

} // namespace orvanel::cli
