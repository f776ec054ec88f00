#pragma once
// The com::Error a call raises, for tests that check its number and description.
#include <optional>

#include "com/error.h"

namespace comtest {

template <class F>
std::optional<com::Error> errorOf(F&& f) {
    try {
        f();
    } catch (const com::Error& e) {
        return e;
    }
    return std::nullopt;
}

template <class F>
int32_t errorNumber(F&& f) {
    const auto e = errorOf(f);
    return e ? e->number() : 0;
}

}  // namespace comtest
