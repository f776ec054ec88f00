#include "session/initfile.h"

#include <algorithm>
#include <vector>
#include <cerrno>
#include <string_view>
#include <charconv>
#include <system_error>

#include <pugixml.hpp>

#include "ado/error.h"
#include "com/save_file.h"
#include "com/error.h"
#include "session/textfile.h"

namespace velmora {
namespace {

constexpr const char* kSource = "GlobalUI.Init";

// The values are read from the element's character data; a rewrite splices the new values
// into the file's own text, so that comments, layout and line ends stay byte for byte.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration |
                                 pugi::parse_doctype | pugi::parse_ws_pcdata;

pugi::xml_document parse(const std::string& text) {
    pugi::xml_document document;
    // A text that does not parse leaves an empty document: every key is then missing.
    if (!document.load_buffer(text.data(), text.size(), kParseFlags)) document.reset();
    return document;
}

pugi::xml_node keyNode(const pugi::xml_document& document, std::string_view key) {
    const std::string xpath = "//Initializare/" + std::string(key);
    const pugi::xml_node node = document.select_node(xpath.c_str()).node();
    if (!node)
        com::raise(com::errc::ObjectNotSet, kSource,
                   "Init.xml: cheia " + std::string(key) + " lipseste sau fisierul nu este un document XML valid.");
    return node;
}

std::string trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

// The element's text: its character data, without the blanks that surround it.
std::string textOf(const pugi::xml_document& document, std::string_view key) {
    std::string text;
    for (const pugi::xml_node child : keyNode(document, key).children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    return trimmed(text);
}

// The county and the hospital are decimal integers: an optional "-" and digits, nothing
// else (no decimals, exponent or "&H"), within 32 bits.
int32_t wholeNumberOf(const pugi::xml_document& document, std::string_view key) {
    const std::string text = textOf(document, key);
    const std::string_view digits = std::string_view(text).substr(text.starts_with('-') ? 1 : 0);
    if (digits.empty() || !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }))
        com::raise(com::errc::TypeMismatch, kSource,
                   "Init.xml: valoarea cheii " + std::string(key) + " nu este un numar intreg.");
    int32_t value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        com::raise(com::errc::Overflow, kSource,
                   "Init.xml: valoarea cheii " + std::string(key) + " nu incape intr-un numar intreg de 32 de biti.");
    return value;
}

std::string escaped(std::string_view value) {
    std::string text;
    for (const char c : value) {
        switch (c) {
        case '&': text += "&amp;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        default: text += c;
        }
    }
    return text;
}

// One change of the file's text: bytes [from, to) become `text`.
struct Splice {
    std::size_t from;
    std::size_t to;
    std::string text;
};

// The change that gives the key element the value as its only content, found in the
// original text so that every byte around it stays as it was.
Splice valueSplice(const std::string& original, const pugi::xml_document& document, std::string_view key,
                   const std::string& value) {
    const pugi::xml_node node = keyNode(document, key);
    const std::ptrdiff_t nameAt = node.offset_debug();
    if (nameAt < 1 || original.compare(static_cast<std::size_t>(nameAt), key.size(), key) != 0)
        com::raise(com::errc::PathFileAccessError, kSource,
                   "Init.xml: elementul " + std::string(key) + " nu poate fi rescris.");
    // The end of the start tag: the first ">" outside a quoted attribute value.
    std::size_t at = static_cast<std::size_t>(nameAt);
    char quote = 0;
    for (; at < original.size(); ++at) {
        const char c = original[at];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') quote = c;
        else if (c == '>') break;
    }
    const std::string content = escaped(value);
    if (original[at - 1] == '/')  // <MyKey/>: it gets a content and a closing tag
        return {at - 1, at + 1, ">" + content + "</" + std::string(key) + ">"};
    const std::size_t close = original.find("</" + std::string(key), at + 1);
    return {at + 1, close, content};
}

// Writes the text to a new file beside the target and puts it in the target's place, so that
// the target is always either the old file or the whole new one. A failure names the target
// and its cause, never the temporary.
void rewriteFile(const std::filesystem::path& target, const std::string& text) {
    // The new file keeps the old one's rights (a shared installation may let a group write it).
    com::SaveFile file(target, com::rightsOf(target, {0644}));
    file.write(text);
    if (const auto failure = file.commit())
        com::raise(com::errc::PathFileAccessError, kSource, ado::text::writeFailure(target, failure->error));
}

}  // namespace

InitValues readInitFile(const std::filesystem::path& file) {
    const pugi::xml_document document = parse(GlobalUI::ReadTextFile(file));
    InitValues values;
    values.MyPath = textOf(document, "MyPath");
    values.MyDataBase = textOf(document, "MyDataBase");
    values.MyFiserAcces = textOf(document, "MyFiserAcces");
    values.MyFiserDSN = textOf(document, "MyFiserDSN");
    values.MyExport = textOf(document, "MyExport");
    values.MyBackup = textOf(document, "MyBackup");
    values.MyJudet = wholeNumberOf(document, "MyJudet");
    values.MySpital = wholeNumberOf(document, "MySpital");
    return values;
}

void writeInitFile(const std::filesystem::path& file, const InitUpdate& update) {
    // The current file is the base, so the keys not written keep their text.
    const std::string original = GlobalUI::ReadTextFile(file);
    const pugi::xml_document document = parse(original);
    std::vector<Splice> splices{
        valueSplice(original, document, "MyJudet", std::to_string(update.MyJudet)),
        valueSplice(original, document, "MySpital", std::to_string(update.MySpital)),
        valueSplice(original, document, "MyExport", update.MyExport),
        valueSplice(original, document, "MyBackup", update.MyBackup),
    };
    // From the end of the text backwards, so that each offset still holds when it is used.
    std::sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) { return a.from > b.from; });
    std::string text = original;
    for (const Splice& splice : splices) {
        if (splice.to == std::string::npos || splice.to < splice.from)
            com::raise(com::errc::PathFileAccessError, kSource, "Init.xml nu poate fi rescris.");
        text.replace(splice.from, splice.to - splice.from, splice.text);
    }
    // What is written must read back as written.
    const pugi::xml_document check = parse(text);
    if (textOf(check, "MyJudet") != std::to_string(update.MyJudet) ||
        textOf(check, "MySpital") != std::to_string(update.MySpital) ||
        textOf(check, "MyExport") != trimmed(update.MyExport) || textOf(check, "MyBackup") != trimmed(update.MyBackup))
        com::raise(com::errc::PathFileAccessError, kSource, "Init.xml nu poate fi rescris.");
    rewriteFile(file, text);
}

}  // namespace velmora
