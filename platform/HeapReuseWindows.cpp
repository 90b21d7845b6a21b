#include "archive/HeapReuse.h"

namespace orvanel {

// The Windows heap has no setting for this: it gives blocks above half a megabyte virtual
// allocations of their own and releases them when they are freed.
void KeepFreedMemoryForReuse()
{
}

} // namespace orvanel
