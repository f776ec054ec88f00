#include "ado/error.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ado {

void raise(int32_t number, std::string description) { throw com::Error(number, "ado", std::move(description)); }

namespace text {

std::string inUse() {
    return "Baza de date este folosita de alt program. Incercati din nou dupa ce acesta o elibereaza.";
}
std::string diskFull(const std::filesystem::path& file) {
    return "Discul este plin: fisierul " + file.string() + " nu a putut fi scris.";
}
std::string folderNotWritable(const std::filesystem::path& folder) {
    return "Folderul " + folder.string() + " este protejat la scriere.";
}
std::string folderMissing(const std::filesystem::path& folder) { return "Folderul " + folder.string() + " nu exista."; }
std::string fileMissing(const std::filesystem::path& file) { return "Fisierul " + file.string() + " nu exista."; }
std::string accessDenied(const std::filesystem::path& file) {
    return "Fisierul " + file.string() + " nu poate fi citit: acces refuzat.";
}
std::string readOnlyDatabase(const std::filesystem::path& file) {
    return "Baza de date " + file.string() + " este protejata la scriere.";
}
std::string notADatabase(const std::filesystem::path& file) {
    return "Fisierul " + file.string() + " nu este o baza de date a aplicatiei sau este deteriorat.";
}
std::string notWritten(const std::filesystem::path& file) {
    return "Fisierul " + file.string() + " nu a putut fi scris.";
}
std::string refusedAccount() { return "Utilizatorul sau parola nu sunt corecte."; }
std::string untypedMoney(std::string_view column) {
    return "Expresia peste coloana " + std::string(column) + " nu poate fi calculata in lei.";
}

std::string withDetail(std::string description, std::string_view detail) {
    if (!detail.empty()) description.append(LineBreak).append(detail);
    return description;
}

std::string firstLine(std::string_view description) {
    return std::string(description.substr(0, description.find_first_of("\r\n")));
}

std::string writeFailure(const std::filesystem::path& file, int error) {
    const std::filesystem::path folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return folderMissing(folder);
    if (error == EACCES || error == EPERM || error == EROFS || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return folderNotWritable(folder);
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) return diskFull(file);
    return withDetail(notWritten(file), error != 0 ? std::strerror(error) : "");
}

}  // namespace text

}  // namespace ado
