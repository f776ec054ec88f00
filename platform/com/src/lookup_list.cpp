#include "com/lookup_list.h"

#include <charconv>
#include <optional>
#include <string>

#include "com/error.h"

namespace com {
namespace {

// Where the id of a row that starts at `at` ends: the row starts with digits (a "-" may
// come before them) and "&"; the position of that "&", none for any other start.
std::optional<std::size_t> idEnd(std::string_view list, std::size_t at) {
    std::size_t p = at;
    if (p < list.size() && list[p] == '-') ++p;
    const std::size_t digits = p;
    while (p < list.size() && list[p] >= '0' && list[p] <= '9') ++p;
    if (p == digits || p >= list.size() || list[p] != '&') return std::nullopt;
    return p;
}

int32_t idOf(std::string_view text, const std::string& source) {
    int32_t id = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (failure == std::errc::result_out_of_range)
        raise(errc::Overflow, source, "Id-ul \"" + std::string(text) + "\" al listei nu este un numar intreg.");
    return id;
}

// The first row is the only one that may start otherwise: every later row starts where
// an id and "&" follow a "|". Its id is the text before its first "&".
void checkFirstRow(std::string_view list, const std::string& source) {
    if (idEnd(list, 0)) return;
    const std::size_t bar = list.find('|');
    const std::size_t amp = list.find('&');
    if (amp == std::string_view::npos || amp > bar)
        raise(errc::SubscriptOutOfRange, source,
              "Randul \"" + std::string(list.substr(0, bar)) + "\" al listei nu are forma id&text.");
    raise(errc::TypeMismatch, source,
          "Id-ul \"" + std::string(list.substr(0, amp)) + "\" al listei nu este un numar intreg.");
}

}  // namespace

void forEachLookupRow(std::string_view list, const std::string& source,
                      const std::function<void(const LookupRow&)>& row) {
    const std::size_t last = list.rfind('|');
    if (last == std::string_view::npos) return;
    checkFirstRow(list, source);
    for (std::size_t at = 0; at <= last;) {
        const std::size_t amp = *idEnd(list, at);
        std::size_t end = list.find('|', amp + 1);
        while (end != last && !idEnd(list, end + 1)) end = list.find('|', end + 1);
        row({idOf(list.substr(at, amp - at), source), list.substr(amp + 1, end - amp - 1)});
        at = end + 1;
    }
}

}  // namespace com
