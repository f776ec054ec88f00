#include <cstdlib>
#include <fstream>
#include <sstream>

#include "com/application.h"
#include "com/save_file.h"
#include "com/error.h"
#include "com/server.h"

namespace com {

namespace {
constexpr const char* source = "Registry";
}

std::filesystem::path Registry::defaultPath() {
    if (const char* env = std::getenv("VELMORA_REGISTRY"); env && *env) return env;
    return app::path() / "registry";
}

Registry::Registry(std::filesystem::path file, bool mustExist) : file_(std::move(file)) {
    std::ifstream in(file_);
    if (!in) {
        std::error_code ec;
        if (mustExist || std::filesystem::exists(file_, ec))
            raise(errc::FileNotFound, source, "The registry file \"" + file_.string() + "\" cannot be read");
        return;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        const auto clsid = tab2 == std::string::npos
                               ? std::nullopt
                               : Guid::tryParse(std::string_view(line).substr(tab1 + 1, tab2 - tab1 - 1));
        if (tab1 == 0 || !clsid || tab2 + 1 >= line.size())
            raise(errc::CantLoadRegistry, source,
                  "The registry file \"" + file_.string() + "\" is malformed at line " + std::to_string(number));
        entries_.push_back({line.substr(0, tab1), *clsid, line.substr(tab2 + 1)});
    }
}

std::optional<Registry::Entry> Registry::byProgId(std::string_view progId) const {
    for (const auto& e : entries_)
        if (equalsIgnoreCase(e.progId, progId)) return e;
    return std::nullopt;
}

std::optional<Registry::Entry> Registry::byClsid(const Guid& clsid) const {
    for (const auto& e : entries_)
        if (e.clsid == clsid) return e;
    return std::nullopt;
}

void Registry::add(Entry entry) {
    std::erase_if(entries_,
                  [&](const Entry& e) { return e.clsid == entry.clsid || equalsIgnoreCase(e.progId, entry.progId); });
    entries_.push_back(std::move(entry));
}

void Registry::removeClsid(const Guid& clsid) {
    std::erase_if(entries_, [&](const Entry& e) { return e.clsid == clsid; });
}

void Registry::save() const {
    // The rewritten file keeps the rights of the one it replaces; a new one may be read by all.
    SaveFile out(file_, rightsOf(file_, {0644}));
    std::ostringstream text;
    for (const auto& e : entries_) text << e.progId << '\t' << e.clsid.toString() << '\t' << e.library.string() << '\n';
    out.write(text.str());
    if (const auto failure = out.commit())
        raise(errc::PathFileAccessError, source,
              "The registry file \"" + file_.string() + "\" cannot be " +
                  (failure->step == ReplaceFailure::Step::Rename ? "replaced" : "written"));
}

}  // namespace com
