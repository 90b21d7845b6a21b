#pragma once
// Crafted archives: damaged directories, block chains and headers, and stored records whose
// fields claim more than they hold. Used by the hostile-archive tests and as fuzz seeds.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanel::fixture {

struct HostileArchive {
    std::string name;
    std::function<std::vector<uint8_t>()> build;
};

std::vector<HostileArchive> HostileArchives();

} // namespace orvanel::fixture
