#include "platform/Heap.h"

#include <malloc.h>

// Under AddressSanitizer the heap is the sanitizer's: the C library's trim would walk arenas it
// never set up (g++ says so with __SANITIZE_ADDRESS__, clang through __has_feature).
#if defined(__SANITIZE_ADDRESS__)
#define HEAP_IS_THE_SANITIZERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_IS_THE_SANITIZERS 1
#endif
#endif

namespace platform {

void TrimHeap() {
#ifndef HEAP_IS_THE_SANITIZERS
    malloc_trim(0);
#endif
}

} // namespace platform
