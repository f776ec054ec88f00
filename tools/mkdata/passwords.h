#pragma once
// The passwords of accounts, never taken from the command line: asked for on the terminal
// without echo, twice (the two must agree), when standard input is one; else read from
// standard input, one line each, in order.
#include <string>

namespace mkdata {

// The password of the account `name`. Raises when standard input ends first, when the two
// typed do not agree, or when the terminal cannot be kept from echoing.
std::string readPassword(const std::string& name);

}  // namespace mkdata
