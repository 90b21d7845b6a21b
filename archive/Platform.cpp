#include "archive/Platform.h"

namespace orvanel {

namespace {

class CSilentPrompts final : public IUserPrompts {
public:
    void Inform(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

class CNoBusyIndicator final : public IBusyIndicator {
public:
    void BeginBusy() override {}
    void EndBusy() override {}
};

CSilentPrompts g_silentPrompts;
CNoBusyIndicator g_noBusyIndicator;
IUserPrompts* g_prompts = &g_silentPrompts;
IBusyIndicator* g_busy = &g_noBusyIndicator;

} // namespace

void SetUserPrompts(IUserPrompts* prompts)
{
    g_prompts = prompts ? prompts : &g_silentPrompts;
}

void SetBusyIndicator(IBusyIndicator* indicator)
{
    g_busy = indicator ? indicator : &g_noBusyIndicator;
}

IUserPrompts& UserPrompts()
{
    return *g_prompts;
}

IBusyIndicator& BusyIndicator()
{
    return *g_busy;
}

} // namespace orvanel
