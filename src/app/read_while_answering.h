#pragma once
// A long reading done off the user-interface thread, so that the window
// goes on painting and answering meanwhile. Every window object stays on the
// user-interface thread: the reading only gets its own copies of what it
// needs and hands back its result.
#include <functional>
#include <stop_token>
#include <string>

namespace corvida {

// How long a reading may take before the pointer shows that it is busy.
inline constexpr int kBusyPointerAfterMs = 150;

// Calls read on a thread of its own and handles the window's messages until
// it returns; answers what it returned, or raises what it raised. Escape, or
// the program being asked to end, asks read to stop, waits for it, and
// raises EAbort whatever read gave. After kBusyPointerAfterMs the pointer is
// the busy one until read is done.
std::string ReadWhileAnswering(const std::function<std::string(std::stop_token)>& read);

}  // namespace corvida
