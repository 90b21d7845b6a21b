#pragma once
// The wait cursor over the whole application while the core works on a long step. Nested
// steps stack: the cursor returns when the outermost one ends.

#include "archive/Platform.h"

namespace orvanel {

class CQtBusyIndicator final : public IBusyIndicator {
public:
    void BeginBusy() override;
    void EndBusy() override;
};

} // namespace orvanel
