#include "initfile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

#include "com/error.h"
#include "com/variant.h"
#include "globalui.h"

namespace velmora {
namespace {

constexpr const char* kSource = "GlobalUI.Init";

// Comments, processing instructions, the declaration and the blanks between elements are
// all kept, so that a rewrite changes nothing but the values written.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                 pugi::parse_declaration | pugi::parse_doctype | pugi::parse_ws_pcdata;

pugi::xml_document load(const std::filesystem::path& file) {
    const std::string text = GlobalUI::ReadTextFile(file);
    pugi::xml_document document;
    // A text that does not parse leaves an empty document: every key is then missing.
    if (!document.load_buffer(text.data(), text.size(), kParseFlags)) document.reset();
    return document;
}

pugi::xml_node keyNode(const pugi::xml_document& document, std::string_view key) {
    const std::string xpath = "//Initializare/" + std::string(key);
    const pugi::xml_node node = document.select_node(xpath.c_str()).node();
    if (!node) com::raise(com::errc::ObjectNotSet, kSource);
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

int32_t wholeNumberOf(const pugi::xml_document& document, std::string_view key) {
    const std::string text = textOf(document, key);
    if (text.empty()) com::raise(com::errc::TypeMismatch, kSource);
    return com::Variant(text).toLong();
}

void setText(const pugi::xml_document& document, std::string_view key, const std::string& value) {
    pugi::xml_node node = keyNode(document, key);
    if (!node.text().set(value.c_str())) com::raise(com::errc::OutOfMemory, kSource);
}

[[noreturn]] void raiseFileError(const std::string& what, const std::filesystem::path& file) {
    com::raise(com::errc::PathFileAccessError, kSource, what + " " + file.string() + ": " + std::strerror(errno));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { if (fd_ >= 0) ::close(fd_); }
    int get() const { return fd_; }
    // Closes now, so that a failing close is seen.
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

// Writes the text to a new file beside the target, flushes it to disk and renames it over
// the target, so that the target is always either the old file or the whole new one.
void replaceFile(const std::filesystem::path& target, const std::string& text) {
    std::string pattern = (target.parent_path() / (target.filename().string() + ".XXXXXX")).string();
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) raiseFileError("Nu se poate crea fisierul temporar", target);
    const std::filesystem::path temporary = pattern;
    struct RemoveUnlessDone {
        const std::filesystem::path& file;
        bool done = false;
        ~RemoveUnlessDone() { if (!done) ::unlink(file.c_str()); }
    } cleanup{temporary};

    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd.get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) raiseFileError("Nu se poate scrie", temporary);
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    ::fchmod(fd.get(), 0644);
    if (::fsync(fd.get()) != 0) raiseFileError("Nu se poate scrie", temporary);
    if (!fd.close()) raiseFileError("Nu se poate scrie", temporary);
    if (::rename(temporary.c_str(), target.c_str()) != 0) raiseFileError("Nu se poate inlocui", target);
    cleanup.done = true;
    FileDescriptor folder(::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                                 O_RDONLY | O_DIRECTORY));
    if (folder.get() >= 0) ::fsync(folder.get());
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
};

}  // namespace

InitValues readInitFile(const std::filesystem::path& file) {
    const pugi::xml_document document = load(file);
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
    const pugi::xml_document document = load(file);
    setText(document, "MyJudet", std::to_string(update.MyJudet));
    setText(document, "MySpital", std::to_string(update.MySpital));
    setText(document, "MyExport", update.MyExport);
    setText(document, "MyBackup", update.MyBackup);
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    replaceFile(file, writer.text);
}

}  // namespace velmora
