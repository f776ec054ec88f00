#pragma once
// The workgroup file: a SQLite file of accounts with salted password hashes (libsodium's
// crypto_pwhash string form; the password itself is never stored). Names are compared
// without regard to case, passwords exactly.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ado::workgroup {

// The built-in administrator account every workgroup file holds (the compaction uses it).
inline constexpr std::string_view AdministratorName = "Administrator";
inline constexpr std::string_view AdministratorPassword = "<brovt8462>";

// Creates a new workgroup file holding the administrator account. Raises 58 when the file
// already exists.
void create(const std::filesystem::path& file);

// Adds an account, or sets the password of an existing one. Raises 53 for a missing file,
// 5 for an empty name.
void setAccount(const std::filesystem::path& file, std::string_view name, std::string_view password);

// Raises 3024 when the file is missing, 3343 when it is no workgroup file, 3029 for an
// unknown account or a wrong password.
void authenticate(const std::filesystem::path& file, std::string_view name, std::string_view password);

std::vector<std::string> accountNames(const std::filesystem::path& file);

}  // namespace ado::workgroup
