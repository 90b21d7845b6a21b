#pragma once
// Records what the core tells and asks the user, and answers questions with a preset answer.

#include "archive/Platform.h"

#include <string>
#include <vector>

namespace orvanel::fixture {

class CFakePrompts final : public IUserPrompts {
public:
    explicit CFakePrompts(bool answer = false) : answer(answer) { }

    void Inform(const std::string& text) override { informed.push_back(text); }
    void Report(MessageKind kind, const std::string& text) override
    {
        kinds.push_back(kind);
        informed.push_back(text);
    }
    bool AskYesNo(const std::string& text) override
    {
        asked.push_back(text);
        return answer;
    }

    bool answer;
    std::vector<std::string> informed;
    std::vector<MessageKind> kinds; // of the messages reported as warnings or errors
    std::vector<std::string> asked;
};

} // namespace orvanel::fixture
