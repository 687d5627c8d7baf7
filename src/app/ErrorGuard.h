#pragma once
// The guard that shows a handler's error in the standard error box, as the message loop would.

#include "platform/Desktop.h"
#include "platform/Errors.h"

namespace kelm {

// Runs a handler the way the message loop would: an error it raises is shown in the standard error box.
// Keeping exceptions out of Qt's own frames matters, as Qt does not promise to unwind through them.
template <typename Handler> void Reported(Handler&& handler)
{
    try {
        handler();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
}

} // namespace kelm
