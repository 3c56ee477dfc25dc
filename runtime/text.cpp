#include "runtime/text.h"

#include <cstdlib>
#include <string>

#include "runtime/runtime.h"
#include "runtime/testing.h"

namespace rt {
namespace {

// Allocations that may still succeed before the heap reports exhaustion; a
// negative value means no limit. Lets tests take the out-of-memory path.
long allocations_before_failure = -1;

}  // namespace

char* allocate_text(std::size_t bytes) {
    bool refused = allocations_before_failure == 0;
    if (allocations_before_failure > 0) --allocations_before_failure;
    void* block = refused ? nullptr : std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        fatal_error("内存不足：无法分配 " + std::to_string(bytes) + " 字节。");
    }
    return static_cast<char*>(block);
}

void release_text(char* text) noexcept {
    std::free(text);
}

namespace testing {

void fail_allocations_after(long successful_allocations) {
    allocations_before_failure = successful_allocations;
}

}  // namespace testing
}  // namespace rt
