#pragma once
// Records what the core tells and asks the user, and answers questions with a preset answer.

#include "archive/Platform.h"

#include <string>
#include <vector>

namespace orvanel::fixture {

class CFakePrompts final : public IUserPrompts {
public:
    explicit CFakePrompts(bool answer = false)
        : m_answer(answer)
    {
        SetUserPrompts(this);
    }
    ~CFakePrompts() override { SetUserPrompts(nullptr); }
    CFakePrompts(const CFakePrompts&) = delete;
    CFakePrompts& operator=(const CFakePrompts&) = delete;

    void Inform(const std::string& text) override { informed.push_back(text); }
    bool AskYesNo(const std::string& text) override
    {
        asked.push_back(text);
        return m_answer;
    }

    std::vector<std::string> informed;
    std::vector<std::string> asked;

private:
    bool m_answer;
};

} // namespace orvanel::fixture
