#pragma once
// The workgroup file: a SQLite file of accounts with salted password hashes (libsodium's
// crypto_pwhash string form; the password itself is never stored). Names are compared
// without regard to case, passwords exactly. A file holds only the accounts it was given:
// no account is built in, and no password is known to the program.
//
// Files of the first format (user_version 0) carried a built-in "Administrator" whose
// password was public; that entry no longer opens anything, the file's other accounts do.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ado::workgroup {

// Creates a new workgroup file without accounts, in place of nothing or of an empty file.
// Raises 58 when a file with content exists.
[[gnu::visibility("default")]] void create(const std::filesystem::path& file);

// Adds an account, or sets the password of an existing one. Raises 53 for a missing file,
// 5 for an empty name.
[[gnu::visibility("default")]] void setAccount(const std::filesystem::path& file, std::string_view name,
                                               std::string_view password);

// Removes an account. Raises 53 for a missing file, 3029 for an unknown account.
[[gnu::visibility("default")]] void removeAccount(const std::filesystem::path& file, std::string_view name);

// Raises 3024 when the file is missing, 3343 when it is no workgroup file, 3029 for an
// unknown account or a wrong password.
[[gnu::visibility("default")]] void authenticate(const std::filesystem::path& file, std::string_view name,
                                                 std::string_view password);

[[gnu::visibility("default")]] std::vector<std::string> accountNames(const std::filesystem::path& file);

}  // namespace ado::workgroup
