#pragma once
// Damaged and crafted archives: broken directories, block chains and headers, stored records
// whose fields claim more than they hold, and lists made to slow the catalogue down. What a
// reader must survive; the hostile-archive tests open them, and they seed the fuzzers.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanel::writer {

struct DamagedArchive {
    std::string name;
    std::function<std::vector<uint8_t>()> build;
};

std::vector<DamagedArchive> DamagedArchives();
// The part of them whose directory is sound but whose stored records are not.
void AddDamagedRecords(std::vector<DamagedArchive>& corpus);

// count IDs, IDs[k] being the ID of the list's k-th entry, in the order that makes the
// catalogue's quicksort quadratic. Two entries share the largest ID.
std::vector<uint32_t> IDsAgainstTheSort(uint32_t count);

} // namespace orvanel::writer
