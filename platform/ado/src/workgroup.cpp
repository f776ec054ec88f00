#include "ado/workgroup.h"

#include <sodium.h>

#include <array>
#include <mutex>
#include <set>

#include "ado/error.h"
#include "com/dispatch.h"
#include "sqlite_util.h"

namespace ado::workgroup {

namespace fs = std::filesystem;

namespace {

// Argon2id costs: enough to make guessing slow, small enough for every Open and compaction.
constexpr unsigned long long OpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t MemLimit = 16u * 1024u * 1024u;

// The format of the files made now; files of format 0 hold a built-in entry of this name.
constexpr int Format = 1;
constexpr std::string_view FormerBuiltInName = "Administrator";

int formatOf(sqlite3* db) {
    auto stmt = detail::prepare(db, "PRAGMA user_version");
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int(stmt.get(), 0) : 0;
}

void initSodium() {
    if (sodium_init() < 0) raise(errc::Engine, "The password library cannot be initialised.");
}

std::string hashPassword(std::string_view password) {
    initSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), OpsLimit, MemLimit) != 0)
        raise(com::errc::OutOfMemory, "Out of memory while hashing a password.");
    return hash;
}

detail::DbHandle openWorkgroup(const fs::path& file, detail::OpenMode mode) {
    auto db = detail::openDatabase(file, mode);
    sqlite3_stmt* probe = nullptr;
    const int rc = sqlite3_prepare_v2(db.get(), "SELECT Name, PasswordHash FROM Accounts LIMIT 0", -1, &probe, nullptr);
    sqlite3_finalize(probe);
    if (rc != SQLITE_OK) raise(errc::NotADatabase, text::notADatabase(file));
    return db;
}

// Accounts already verified in this process, as keyed digests of (file, name, password,
// stored hash): a second check of the same account (the compaction's and the open's at
// every connect) skips the deliberately slow hash. A changed password or hash misses.
class VerifiedAccounts {
public:
    using Digest = std::array<unsigned char, crypto_generichash_BYTES>;

    Digest digest(const fs::path& file, std::string_view name, std::string_view password, std::string_view hash) {
        std::string lowered(name);
        for (auto& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string path = fs::absolute(file).lexically_normal().string();
        Digest d;
        crypto_generichash_state state;
        {
            const std::lock_guard lock(mutex_);
            if (!keyed_) {
                crypto_generichash_keygen(key_.data());
                keyed_ = true;
            }
            crypto_generichash_init(&state, key_.data(), key_.size(), d.size());
        }
        for (const std::string_view part : {std::string_view(path), std::string_view(lowered), password, hash}) {
            const uint64_t size = part.size();
            crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(&size), sizeof size);
            crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(part.data()), part.size());
        }
        crypto_generichash_final(&state, d.data(), d.size());
        return d;
    }
    bool contains(const Digest& d) {
        const std::lock_guard lock(mutex_);
        return known_.count(d) != 0;
    }
    void add(const Digest& d) {
        const std::lock_guard lock(mutex_);
        if (known_.size() > 64) known_.clear();
        known_.insert(d);
    }

private:
    std::mutex mutex_;
    bool keyed_ = false;
    std::array<unsigned char, crypto_generichash_KEYBYTES> key_{};
    std::set<Digest> known_;
};

VerifiedAccounts& verifiedAccounts() {
    static VerifiedAccounts accounts;
    return accounts;
}

}  // namespace

void create(const fs::path& file) {
    std::error_code ec;
    // An empty file is taken: the temporary a whole-file writer has just made for it.
    if (fs::exists(file, ec) && !(fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0))
        raise(com::errc::FileAlreadyExists, "The workgroup file '" + file.string() + "' already exists.");
    {
        auto db = detail::openDatabase(file, detail::OpenMode::Create);
        detail::exec(
            db.get(),
            ("CREATE TABLE Accounts (Name TEXT PRIMARY KEY COLLATE NOCASE NOT NULL, PasswordHash TEXT NOT NULL); "
             "PRAGMA user_version=" +
             std::to_string(Format))
                .c_str());
    }
}

void setAccount(const fs::path& file, std::string_view name, std::string_view password) {
    if (name.empty()) raise(com::errc::InvalidProcedureCall, "An account needs a name.");
    std::error_code ec;
    if (!fs::exists(file, ec))
        raise(com::errc::FileNotFound, "The workgroup file '" + file.string() + "' does not exist.");
    auto db = openWorkgroup(file, detail::OpenMode::ReadWrite);
    auto stmt = detail::prepare(db.get(),
                                "INSERT INTO Accounts (Name, PasswordHash) VALUES (?1, ?2) "
                                "ON CONFLICT(Name) DO UPDATE SET PasswordHash=excluded.PasswordHash");
    const std::string hash = hashPassword(password);
    sqlite3_bind_text(stmt.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt.get(), 2, hash.data(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
    detail::check(db.get(), sqlite3_step(stmt.get()));
}

void removeAccount(const fs::path& file, std::string_view name) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        raise(com::errc::FileNotFound, "The workgroup file '" + file.string() + "' does not exist.");
    auto db = openWorkgroup(file, detail::OpenMode::ReadWrite);
    auto stmt = detail::prepare(db.get(), "DELETE FROM Accounts WHERE Name=?1");
    sqlite3_bind_text(stmt.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    detail::check(db.get(), sqlite3_step(stmt.get()));
    if (sqlite3_changes(db.get()) == 0)
        raise(errc::NotAuthorised, "No account '" + std::string(name) + "' in '" + file.string() + "'.");
}

void authenticate(const fs::path& file, std::string_view name, std::string_view password) {
    auto db = openWorkgroup(file, detail::OpenMode::ReadOnly);
    auto stmt = detail::prepare(db.get(), "SELECT PasswordHash FROM Accounts WHERE Name=?1");
    sqlite3_bind_text(stmt.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt.get());
    detail::check(db.get(), rc);
    const std::string refusal = text::refusedAccount();
    if (rc != SQLITE_ROW) raise(errc::NotAuthorised, refusal);
    // The old files' built-in entry had a password anyone could read: it opens nothing.
    if (formatOf(db.get()) < Format && com::equalsIgnoreCase(name, FormerBuiltInName))
        raise(errc::NotAuthorised, refusal);
    initSodium();
    const auto* hash = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
    if (!hash) raise(errc::NotAuthorised, refusal);
    auto& verified = verifiedAccounts();
    const auto digest = verified.digest(file, name, password, hash);
    if (verified.contains(digest)) return;
    if (crypto_pwhash_str_verify(hash, password.data(), password.size()) != 0) raise(errc::NotAuthorised, refusal);
    verified.add(digest);
}

std::vector<std::string> accountNames(const fs::path& file) {
    auto db = openWorkgroup(file, detail::OpenMode::ReadOnly);
    auto stmt = detail::prepare(db.get(), "SELECT Name FROM Accounts ORDER BY Name");
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0)));
    detail::check(db.get(), rc);
    return names;
}

}  // namespace ado::workgroup
