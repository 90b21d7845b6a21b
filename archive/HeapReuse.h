#pragma once
// A catalogue of a large archive lives in a few blocks of tens of megabytes. By default the
// C library hands such blocks back to the system when they are freed, and the next archive
// opened (another one, the same one again, or the second of a comparison) gets fresh pages
// that the system must fault in and clear one by one: at a million entries that costs more
// than the catalogue's own build. The programs call this once at start-up so that freed large
// blocks stay with the process for the next catalogue to reuse.

namespace orvanel {

void KeepFreedMemoryForReuse();

} // namespace orvanel
