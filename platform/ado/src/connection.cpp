#include "ado/connection.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ado/error.h"
#include "ado/jetsql.h"
#include "ado/workgroup.h"
#include "connection_impl.h"
#include "money_sql.h"
#include "read_guard.h"

namespace ado {

namespace {

// The value of one property of a connection, as Properties(name) hands it out late-bound.
class Property final : public com::Dispatchable<Property, com::IDispatch> {
public:
    Property(std::string name, std::string value) : name_(std::move(name)), value_(std::move(value)) {}
    static const com::DispatchTable<Property>& dispatchTable() {
        static const com::DispatchTable<Property> table{
            {"Value", com::dispid::Value, [](Property& p, com::Args) { return com::Variant(p.value_); }},
            {"Name", 1, [](Property& p, com::Args) { return com::Variant(p.name_); }},
        };
        return table;
    }

private:
    std::string name_, value_;
};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Jet's Cstr for the values SQLite holds: numbers in their plain text form, Null stays Null.
void cstrFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: {
        const std::string text = std::to_string(sqlite3_value_int64(argv[0]));
        sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case SQLITE_FLOAT: {
        if (!std::isfinite(sqlite3_value_double(argv[0]))) {
            sqlite3_result_error(ctx, com::standardDescription(com::errc::Overflow).c_str(), -1);
            return;
        }
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, sqlite3_value_double(argv[0]));
        sqlite3_result_text(ctx, buffer, static_cast<int>(r.ptr - buffer), SQLITE_TRANSIENT);
        return;
    }
    default: sqlite3_result_value(ctx, argv[0]); return;
    }
}

}  // namespace

namespace {

std::vector<std::pair<std::string, std::string>> parsePairs(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view part = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (part.empty()) continue;
        const size_t eq = part.find('=');
        if (eq == std::string_view::npos || trim(part.substr(0, eq)).empty())
            raise(errc::BadConnectionString, "The connection string is malformed near \"" + std::string(part) + "\".");
        std::string_view value = trim(part.substr(eq + 1));
        if (value == "\"\"") value = {};
        pairs.emplace_back(std::string(trim(part.substr(0, eq))), std::string(value));
    }
    return pairs;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parseConnectionString(std::string_view text) {
    // The system's own layout (the provider literal, then the account and the two files) is
    // read by position, so that a user name or password may hold any text, ";" and "key="
    // included, and still can neither break the string nor redirect the files after it.
    constexpr std::string_view userKey = ";User ID=", passwordKey = ";Password=", sourceKey = ";Data Source=",
                               systemKey = ";Jet OLEDB:System database=";
    if (text.starts_with(ProviderLiteral) && text.substr(ProviderLiteral.size()).starts_with(userKey)) {
        const std::string_view tail = text.substr(ProviderLiteral.size() + userKey.size());
        const size_t system = tail.rfind(systemKey);
        const size_t source = system == std::string_view::npos ? system : tail.rfind(sourceKey, system);
        const size_t password = tail.find(passwordKey);
        if (system != std::string_view::npos && source != std::string_view::npos && password < source) {
            auto pairs = parsePairs(ProviderLiteral);
            pairs.emplace_back("User ID", tail.substr(0, password));
            pairs.emplace_back("Password",
                               tail.substr(password + passwordKey.size(), source - password - passwordKey.size()));
            pairs.emplace_back("Data Source",
                               tail.substr(source + sourceKey.size(), system - source - sourceKey.size()));
            pairs.emplace_back("Jet OLEDB:System database", tail.substr(system + systemKey.size()));
            return pairs;
        }
    }
    return parsePairs(text);
}

std::string connectionValue(const std::vector<std::pair<std::string, std::string>>& pairs, std::string_view key) {
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
        if (com::equalsIgnoreCase(it->first, key)) return it->second;
    return {};
}

std::string buildConnectionString(std::string_view user, std::string_view password, std::string_view dataSource,
                                  std::string_view systemDatabase) {
    std::string s(ProviderLiteral);
    s.append(";User ID=").append(user).append(";Password=").append(password);
    s.append(";Data Source=").append(dataSource).append(";Jet OLEDB:System database=").append(systemDatabase);
    return s;
}

sqlite3* Connection::Impl::handle() const {
    if (!db) raise(errc::ObjectClosed, "Operation is not allowed when the connection is closed.");
    return db.get();
}

std::shared_ptr<detail::PreparedStatement> Connection::Impl::acquire(std::string_view jetSql) {
    sqlite3* h = handle();
    const std::string key(jetSql);
    const auto it = cache.find(key);
    if (it != cache.end() && !it->second->inUse) {
        it->second->inUse = true;
        return it->second;
    }
    auto statement = std::make_shared<detail::PreparedStatement>();
    std::string translated = translateJetSql(jetSql);
    std::string shape = detail::literalShape(translated);
    detail::TypedSelect typed{translated, {}, {}, {}, true, {}, {}};
    if (!untypedShapes.contains(shape)) {
        typed = detail::typeSelectList(h, translated);
        const bool untouched = typed.sql == translated && typed.refusedColumn.empty() &&
                               std::none_of(typed.items.begin(), typed.items.end(),
                                            [](ColumnKind k) { return k == ColumnKind::Currency; }) &&
                               std::all_of(typed.untypedMoney.begin(), typed.untypedMoney.end(),
                                           [](const std::string& c) { return c.empty(); });
        if (untouched && typed.certain && untypedShapes.size() < 1024) untypedShapes.insert(std::move(shape));
    }
    if (!typed.refusedColumn.empty()) raise(errc::UntypedMoney, text::untypedMoney(typed.refusedColumn));
    statement->stmt = detail::prepare(h, typed.sql, true);
    // The guard lets the engine declare json_each's columns; beyond the guard, a connection
    // that only reads runs no statement that would write.
    if (mode == ConnectMode::Read && !sqlite3_stmt_readonly(statement->stmt.get()))
        raise(errc::NotAllowed, "The statement was refused: the connection only reads (" + std::string(jetSql) + ").");
    statement->describe(typed.columnKinds(sqlite3_column_count(statement->stmt.get())));
    statement->untypedMoney = typed.columnMoney(sqlite3_column_count(statement->stmt.get()));
    statement->inUse = true;
    if (it == cache.end() && cache.size() < 256) {
        cache.emplace(key, statement);
    } else {
        std::erase_if(loose, [](const auto& w) { return w.expired(); });
        loose.push_back(statement);
    }
    return statement;
}

void Connection::Impl::release(detail::PreparedStatement& statement) noexcept {
    if (statement.stmt) {
        sqlite3_reset(statement.stmt.get());
        sqlite3_clear_bindings(statement.stmt.get());
    }
    statement.inUse = false;
}

void Connection::Impl::finalizeAll() noexcept {
    for (auto& [text, statement] : cache) statement->stmt.reset();
    for (auto& w : loose)
        if (auto s = w.lock()) s->stmt.reset();
    cache.clear();
    loose.clear();
}

com::ComPtr<Connection> Connection::create() { return com::make<Connection>(); }

com::ComPtr<Connection> Connection::from(const com::ComPtr<com::IUnknown>& object) {
    if (!object) return {};
    auto marker = object.query<IConnection>();
    return com::ComPtr<Connection>(static_cast<Connection*>(marker.get()));
}

Connection::Connection() : impl_(std::make_unique<Impl>()) {}

Connection::~Connection() {
    if (impl_->db) {
        try {
            Close();
        } catch (const com::Error&) {
            // A destructor cannot report; Close has released the file whatever failed.
        }
    }
}

int32_t Connection::CursorLocation() const { return impl_->cursorLocation; }
void Connection::CursorLocation(int32_t location) {
    if (location != 2 && location != 3 && location != 1)
        raise(errc::NotAllowed, "The cursor location " + std::to_string(location) + " is not valid.");
    impl_->cursorLocation = location;
}

int32_t Connection::Mode() const { return static_cast<int32_t>(impl_->mode); }

void Connection::Mode(int32_t mode) {
    if (impl_->db) raise(errc::ObjectOpen, "Operation is not allowed when the connection is open.");
    if (mode != 0 && mode != 1 && mode != 3)
        raise(errc::BadArguments, "The connection mode " + std::to_string(mode) + " is not valid.");
    impl_->mode = static_cast<ConnectMode>(mode);
}

void Connection::Open(std::string_view connectionString, std::string_view user, std::string_view password, int32_t) {
    if (impl_->db) raise(errc::ObjectOpen, "Operation is not allowed when the connection is open.");
    auto pairs = parseConnectionString(connectionString);
    const std::string dataSource = connectionValue(pairs, "Data Source");
    const std::string systemDatabase = connectionValue(pairs, "Jet OLEDB:System database");
    if (dataSource.empty()) raise(errc::BadConnectionString, "The connection string names no data file (Data Source).");
    if (systemDatabase.empty())
        raise(errc::BadConnectionString, "The connection string names no workgroup file (Jet OLEDB:System database).");
    // An account handed over apart is taken whole, its password too (an empty one included):
    // a name holding ";Password=" would split the string elsewhere.
    const bool apart = !user.empty();
    const std::string account = apart ? std::string(user) : connectionValue(pairs, "User ID");
    const std::string secret = apart || !password.empty() ? std::string(password) : connectionValue(pairs, "Password");

    workgroup::authenticate(systemDatabase, account, secret);
    // The lock comes first: a compaction that holds it may still replace the file, and a
    // connection opened before that would write into the replaced one.
    // Only a user who may write the file can hold the lock, and a connection that may write
    // never goes on without it; one that only reads loses nothing when the file is replaced.
    const bool readOnly = impl_->mode == ConnectMode::Read;
    DatabaseLock lock(dataSource, DatabaseLock::Kind::Shared, std::chrono::seconds(5));
    if (!lock.held() && !(readOnly && lock.failure() == DatabaseLock::Failure::NotWritable))
        lock.raiseFailure(dataSource);
    auto db = detail::openDatabase(dataSource, readOnly ? detail::OpenMode::ReadOnly : detail::OpenMode::ReadWrite);
    detail::check(db.get(), sqlite3_create_function_v2(db.get(), "Cstr", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                                       cstrFunction, nullptr, nullptr, nullptr));
    detail::check(db.get(), detail::registerMoneyFunctions(db.get()));
    if (readOnly) detail::guardReads(db.get());
    impl_->db = std::move(db);
    impl_->lock = std::move(lock);
    impl_->properties = std::move(pairs);
    impl_->user = account;
    impl_->password = secret;
    impl_->transactionLevel = 0;
    ++impl_->generation;
}

void Connection::Close() {
    if (!impl_->db) raise(errc::ObjectClosed, "Operation is not allowed when the connection is closed.");
    impl_->finalizeAll();
    if (impl_->transactionLevel > 0) sqlite3_exec(impl_->db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    impl_->transactionLevel = 0;
    impl_->db.reset();
    impl_->lock = DatabaseLock();
    ++impl_->generation;
}

int32_t Connection::State() const { return impl_->db ? 1 : 0; }

int32_t Connection::BeginTrans() {
    sqlite3* h = impl_->handle();
    const int32_t level = impl_->transactionLevel + 1;
    // The transaction takes the write lock at once, waiting for it up to the busy timeout:
    // one that began deferred, read and then wrote could not wait (SQLite refuses such an
    // upgrade at once, to avoid a deadlock) and would fail with "database is locked".
    if (level == 1) detail::exec(h, "BEGIN IMMEDIATE");
    else detail::exec(h, ("SAVEPOINT level" + std::to_string(level)).c_str());
    impl_->transactionLevel = level;
    return level;
}

void Connection::CommitTrans() {
    sqlite3* h = impl_->handle();
    const int32_t level = impl_->transactionLevel;
    if (level == 0) raise(errc::NoTransaction, "There is no transaction to commit.");
    if (level == 1) detail::exec(h, "COMMIT");
    else detail::exec(h, ("RELEASE level" + std::to_string(level)).c_str());
    impl_->transactionLevel = level - 1;
}

void Connection::RollbackTrans() {
    sqlite3* h = impl_->handle();
    const int32_t level = impl_->transactionLevel;
    if (level == 0) raise(errc::NoTransaction, "There is no transaction to roll back.");
    if (level == 1) {
        if (sqlite3_get_autocommit(h) == 0) detail::exec(h, "ROLLBACK");
    } else {
        const std::string name = "level" + std::to_string(level);
        detail::exec(h, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str());
    }
    impl_->transactionLevel = level - 1;
}

int32_t Connection::transactionLevel() const { return impl_->transactionLevel; }

std::string Connection::Properties(std::string_view name) const {
    if (com::equalsIgnoreCase(name, "User ID") && !impl_->user.empty()) return impl_->user;
    if (com::equalsIgnoreCase(name, "Password") && !impl_->password.empty()) return impl_->password;
    return connectionValue(impl_->properties, name);
}

int64_t Connection::Execute(std::string_view sql) {
    auto statement = impl_->acquire(sql);
    sqlite3* h = impl_->db.get();
    int rc;
    while ((rc = sqlite3_step(statement->stmt.get())) == SQLITE_ROW) {}
    Impl::release(*statement);
    if (rc != SQLITE_DONE) detail::raiseEngine(h, rc);
    return sqlite3_changes64(h);
}

void Connection::setProgressCheck(std::function<bool()> keepGoing) {
    sqlite3* h = impl_->handle();
    impl_->keepGoing = std::move(keepGoing);
    if (!impl_->keepGoing) return sqlite3_progress_handler(h, 0, nullptr, nullptr);
    constexpr int steps = 10000;  // engine steps between two checks: a few hundred microseconds
    sqlite3_progress_handler(
        h, steps,
        [](void* impl) {
            try {
                return static_cast<Impl*>(impl)->keepGoing() ? 0 : 1;
            } catch (...) {
                return 1;  // nothing may cross the engine: the statement stops as if told to
            }
        },
        impl_.get());
}

const com::DispatchTable<Connection>& Connection::dispatchTable() {
    using com::Args;
    using com::Variant;
    static const com::DispatchTable<Connection> table{
        {"Properties", 1,
         [](Connection& c, Args a) {
             const std::string name = a[0].toString();
             return Variant(com::make<Property, com::IDispatch>(name, c.Properties(name)));
         },
         nullptr, nullptr, nullptr, 1, 1},
        {"State", 2, [](Connection& c, Args) { return Variant(c.State()); }},
        {"CursorLocation", 3, [](Connection& c, Args) { return Variant(c.CursorLocation()); },
         [](Connection& c, Args, const Variant& v) { c.CursorLocation(v.toLong()); }},
        {"Open", 4, nullptr, nullptr,
         [](Connection& c, Args a) {
             auto text = [&](size_t i) { return i < a.size() && !a[i].isEmpty() ? a[i].toString() : std::string(); };
             c.Open(text(0), text(1), text(2), a.size() > 3 && !a[3].isEmpty() ? a[3].toLong() : -1);
             return Variant();
         },
         nullptr, 1, 4},
        {"Close", 5, nullptr, nullptr,
         [](Connection& c, Args) {
             c.Close();
             return Variant();
         }},
        {"BeginTrans", 6, nullptr, nullptr, [](Connection& c, Args) { return Variant(c.BeginTrans()); }},
        {"CommitTrans", 7, nullptr, nullptr,
         [](Connection& c, Args) {
             c.CommitTrans();
             return Variant();
         }},
        {"RollbackTrans", 8, nullptr, nullptr,
         [](Connection& c, Args) {
             c.RollbackTrans();
             return Variant();
         }},
        {"Execute", 9, nullptr, nullptr,
         [](Connection& c, Args a) {
             c.Execute(a[0].toString());
             return Variant();
         },
         nullptr, 1, 3},
    };
    return table;
}

}  // namespace ado
