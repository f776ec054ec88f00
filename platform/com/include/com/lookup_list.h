#pragma once
// The rows of a lookup-list string, the form in which the business library hands its
// reference lists to the controls: "id&text|" per row, "" for an empty list.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace com {

struct LookupRow {
    int32_t id;
    std::string_view text;
};

// Calls `row` with each row of `list`, in order. The texts are not escaped, so a text may
// itself hold "&" and "|": it runs from the "&" after its id to the "|" that the next row's
// id and "&" follow, or to the list's last "|". An id is digits, a "-" before them allowed.
// What follows the last "|" (nothing, in a well-formed list) is no row. Raises, with
// `source`: 9 when the list does not start with a row holding "&", 13 when the text before
// that "&" is no whole number, 6 when an id does not fit 32 bits. What `row` raises passes
// through; the rows before it have been given.
[[gnu::visibility("default")]] void forEachLookupRow(std::string_view list, const std::string& source,
                                                     const std::function<void(const LookupRow&)>& row);

}  // namespace com
