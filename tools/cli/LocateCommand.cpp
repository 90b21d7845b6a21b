#include "archive/InstallLocator.h"
#include "tools/cli/Commands.h"

#include <cstdio>

namespace orvanel::cli {

int RunLocate()
{
    const auto registry = CreateDefaultRegistrySource();
    const DATInstallInfo info(*registry);
    const struct {
        const char* name;
        const std::string& value;
    } fields[] = {
        {"portal path", info.portalPath},
        {"portal directory", info.portalDirectory},
        {"install directory", info.installDirectory},
        {"client portal path", info.clientPortalPath},
        {"client local path", info.clientLocalPath},
        {"client high-res path", info.clientHighResPath},
        {"client cell path", info.clientCellPath},
    };
    for (const auto& field : fields)
        std::printf("%s: %s\n", field.name, field.value.c_str());
    std::printf("full screen: %s\n", info.fullScreen ? "yes" : "no");
    // What the Default command opens: the client portal path as this system names it.
    std::printf("default archive: %s\n", registry->HostPath(info.clientPortalPath).c_str());
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : kExitFailed;
}

} // namespace orvanel::cli
