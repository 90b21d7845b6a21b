#pragma once
// The few things the core asks of the desktop or the terminal: telling the user
// something, asking a yes/no question, and showing that a long job is under way. Whoever
// opens an archive hands in the implementations to use.

#include <string>

namespace orvanel {

// How serious a message is; the desktop shows it with the matching icon.
enum class MessageKind { Information, Warning, Error };

class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;
    // A message with an OK button.
    virtual void Inform(const std::string& text) = 0;
    // A message about something that went wrong; prompts that draw no difference inform.
    virtual void Report(MessageKind kind, const std::string& text)
    {
        (void)kind;
        Inform(text);
    }
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

class IBusyIndicator {
public:
    virtual ~IBusyIndicator() = default;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// For callers that cannot ask anyone (benchmarks, fuzzing): messages are dropped and every
// question gets the same answer.
class CSilentPrompts final : public IUserPrompts {
public:
    explicit CSilentPrompts(bool answer = false) : m_answer(answer) { }
    void Inform(const std::string&) override { }
    bool AskYesNo(const std::string&) override { return m_answer; }

private:
    bool m_answer;
};

// For callers with nothing to show while busy (the command-line tool, tests).
class CNoBusyIndicator final : public IBusyIndicator {
public:
    void BeginBusy() override { }
    void EndBusy() override { }
};

// Shows the busy indicator for the lifetime of the object.
class CBusyScope {
public:
    explicit CBusyScope(IBusyIndicator& indicator) : m_indicator(indicator) { m_indicator.BeginBusy(); }
    ~CBusyScope() { m_indicator.EndBusy(); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    IBusyIndicator& m_indicator;
};

} // namespace orvanel
