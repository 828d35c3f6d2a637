// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>

#include "fetch/FetchWorkers.h"

namespace fetch {

// The body of one fetch worker, run on the worker's own thread: link extraction for an
// HTML channel without a pattern, a local file, or HTTP with the worker's own redirect
// handling (at most five hops). It never throws: every failure ends in `Failed`.
// `requestStarted` is called on the worker's thread as each HTTP request goes out, for
// the time-out watch; `abort` set from another thread stops the transfer in progress.
FetchOutcome ExecuteFetch(const FetchJob& job, const std::atomic<bool>& abort,
                          const std::function<void()>& requestStarted);

}  // namespace fetch
