#pragma once
// The error a call raises, for a test to check its number, source and description; the
// test fails when the call raises none.
#include <gtest/gtest.h>

#include <utility>

#include "com/error.h"

namespace test {

template <class Call>
com::Error errorOf(Call&& call) {
    try {
        std::forward<Call>(call)();
    } catch (const com::Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return com::Error(0, "", "none");
}

}  // namespace test
