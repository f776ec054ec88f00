#include "session/initfile.h"

#include <algorithm>
#include <vector>
#include <cerrno>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

#include "ado/error.h"
#include "com/durable_file.h"
#include "com/error.h"
#include "com/variant.h"
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

[[noreturn]] void raiseNotANumber(int32_t number, std::string_view key) {
    com::raise(number, kSource, "Init.xml: valoarea cheii " + std::string(key) + " nu este un numar intreg.");
}

int32_t wholeNumberOf(const pugi::xml_document& document, std::string_view key) {
    const std::string text = textOf(document, key);
    if (text.empty()) raiseNotANumber(com::errc::TypeMismatch, key);
    try {
        return com::Variant(text).toLong();
    } catch (const com::Error& e) {
        raiseNotANumber(e.number(), key);
    }
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

// A refusal of the system is told by its cause: the program folder's one configuration is
// written only by those who may write that folder.
[[noreturn]] void raiseFileError(const std::string& what, const std::filesystem::path& file, int error = errno) {
    const std::string description =
        what + " " + file.string() + " (codul de eroare al sistemului: " + std::to_string(error) + ").";
    const bool refused = error == EACCES || error == EPERM || error == EROFS;
    com::raise(com::errc::PathFileAccessError, kSource,
               refused ? ado::text::withDetail(description, ado::text::folderNotWritable(file.parent_path()))
                       : description);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// Writes the text to a new file beside the target and puts it in the target's place, so that
// the target is always either the old file or the whole new one.
void rewriteFile(const std::filesystem::path& target, const std::string& text) {
    std::string pattern = (target.parent_path() / (target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) raiseFileError("Nu se poate crea fisierul temporar", target);
    // Held while it is written: the start-up of another run removes only those nobody holds
    // (left by a run that crashed).
    ::flock(fd.get(), LOCK_EX | LOCK_NB);
    const std::filesystem::path temporary = pattern;
    struct RemoveUnlessDone {
        const std::filesystem::path& file;
        bool done = false;
        ~RemoveUnlessDone() {
            if (!done) ::unlink(file.c_str());
        }
    } cleanup{temporary};

    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd.get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) raiseFileError("Nu se poate scrie", temporary);
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    // The new file keeps the old one's permissions (a shared installation may let a group write it).
    struct stat old {};
    ::fchmod(fd.get(), ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    // Put in place while still held, so that no other run takes it for a leftover meanwhile.
    if (const auto failure = com::replaceFile(temporary, target)) {
        if (failure->step == com::ReplaceFailure::Step::Flush)
            raiseFileError("Nu se poate scrie", temporary, failure->error);
        raiseFileError("Nu se poate inlocui", target, failure->error);
    }
    cleanup.done = true;
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
