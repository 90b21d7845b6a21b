#pragma once
// The order of the catalogue's lists: by unsigned file ID, entries sharing an ID in the order
// the catalogue's quicksort leaves them, which the file list shows.

#include "archive/DATFormat.h"

#include <cstdint>
#include <vector>

namespace orvanel {

// A list of the catalogue's entry copies (one category, or one texture format).
using DATEntryList = std::vector<const DATEntry*>;

// Sorts a list by unsigned file ID with the catalogue's quicksort: the middle element's ID as
// pivot, recursing on the left part and looping on the right. It is not stable, and the
// order it gives entries sharing an ID is kept. Its work is bounded: a crafted list that
// would make it quadratic has the ranges left when the budget runs out sorted by ID and then
// entry key instead, the one case where equal IDs may come out in another order. Returns the
// number of ID comparisons made (0 when no two entries share an ID: the order is then
// unique and found without them). Never allocates when memory is short.
uint64_t SortEntriesByFileID(DATEntryList& list);

} // namespace orvanel
