// The Wine registry parser on any text, and the locator over what it builds.

#include "archive/InstallLocator.h"
#include "platform/WineRegistry.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    CWineRegistry registry("/nonexistent-prefix");
    registry.Load(std::string_view(reinterpret_cast<const char*>(data), size));
    DATInstallInfo info(registry);
    registry.HostPath(info.clientPortalPath);
    return 0;
}
