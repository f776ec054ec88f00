#include "com/object.h"

namespace com {

namespace {
std::atomic<uint32_t> liveObjects{0};
}

namespace detail {
void objectCreated() noexcept { liveObjects.fetch_add(1, std::memory_order_relaxed); }
void objectDestroyed() noexcept { liveObjects.fetch_sub(1, std::memory_order_relaxed); }
}  // namespace detail

uint32_t liveObjectCount() noexcept { return liveObjects.load(std::memory_order_relaxed); }

}  // namespace com
