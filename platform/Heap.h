// The C library's heap.
#pragma once

namespace platform {

// Gives the heap's free pages back to the system (every thread's arena). It walks the whole
// heap: for moments after a burst of freeing, not for every frame.
void TrimHeap();

} // namespace platform
