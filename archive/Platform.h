#pragma once
// The few things the core asks of the desktop or the terminal: telling the user
// something, asking a yes/no question, and showing that a long job is under way.
// The program installs its implementations at start; until then the defaults say
// nothing, answer No and show nothing.

#include <string>

namespace orvanel {

class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;
    // A message with an OK button.
    virtual void Inform(const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

class IBusyIndicator {
public:
    virtual ~IBusyIndicator() = default;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// Installs an implementation (null restores the default). The caller keeps ownership.
void SetUserPrompts(IUserPrompts* prompts);
void SetBusyIndicator(IBusyIndicator* indicator);
IUserPrompts& UserPrompts();
IBusyIndicator& BusyIndicator();

// Shows the busy indicator for the lifetime of the object.
class CBusyScope {
public:
    CBusyScope() { BusyIndicator().BeginBusy(); }
    ~CBusyScope() { BusyIndicator().EndBusy(); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;
};

} // namespace orvanel
