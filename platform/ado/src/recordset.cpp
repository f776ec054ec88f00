#include "ado/recordset.h"

#include <mutex>
#include <optional>

#include "ado/error.h"
#include "ado/jetsql.h"
#include "column_values.h"
#include "connection_impl.h"
#include "money_sql.h"
#include "sql_tokens.h"

namespace ado {

namespace detail {

void PreparedStatement::refuseUntypedMoney(const std::vector<std::string>& typedByCaller) const {
    for (size_t i = 0; i < untypedMoney.size() && i < columns.size(); ++i) {
        if (untypedMoney[i].empty()) continue;
        const bool declared = std::any_of(typedByCaller.begin(), typedByCaller.end(), [&](const std::string& name) {
            return NoCaseEqual{}(name, columns[i].name);
        });
        if (!declared) raise(errc::UntypedMoney, text::untypedMoney(untypedMoney[i]));
    }
}

void PreparedStatement::describe(const std::vector<ColumnKind>& expressionKinds) {
    sqlite3_stmt* s = stmt.get();
    const int count = sqlite3_column_count(s);
    columns.clear();
    byName.clear();
    columns.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(s, i);
        const char* origin = sqlite3_column_origin_name(s, i);
        const char* declared = sqlite3_column_decltype(s, i);
        ColumnKind kind = columnKindOf(declared ? declared : "");
        if (kind == ColumnKind::Untyped && static_cast<size_t>(i) < expressionKinds.size() &&
            expressionKinds[static_cast<size_t>(i)] == ColumnKind::Currency)
            kind = ColumnKind::Currency;
        columns.push_back({name ? name : "", origin ? origin : "", kind});
        byName.emplace(columns.back().name, i);
    }
}

}  // namespace detail

namespace {

// The one table of a keyset statement "SELECT <list> FROM <table> [AS] [alias] [WHERE ...]".
struct SingleTable {
    std::string selectList, table, alias, fromOn;

    std::string ref() const { return alias.empty() ? table : alias; }
    std::string fromClause() const { return " FROM " + table + (alias.empty() ? "" : " AS " + alias); }
};

std::optional<SingleTable> parseSingleTable(const std::string& sql) {
    using namespace detail;
    const auto tokens = tokenize(sql);
    size_t i = skipSpace(tokens, 0);
    if (i >= tokens.size() || !isWord(tokens[i], "select")) return std::nullopt;
    const size_t listStart = i + 1;
    size_t from = listStart;
    while (from < tokens.size() && !(tokens[from].depth == 0 && isWord(tokens[from], "from"))) ++from;
    if (from >= tokens.size()) return std::nullopt;
    SingleTable t;
    t.selectList = join(tokens, listStart, from);
    t.fromOn = join(tokens, from, tokens.size());
    size_t k = skipSpace(tokens, from + 1);
    if (k >= tokens.size() || (tokens[k].kind != TokenKind::Word && tokens[k].kind != TokenKind::Bracketed))
        return std::nullopt;
    t.table = tokens[k].text;
    k = skipSpace(tokens, k + 1);
    if (k < tokens.size() && isWord(tokens[k], "as")) k = skipSpace(tokens, k + 1);
    if (k < tokens.size() && tokens[k].kind == TokenKind::Word && !isWord(tokens[k], "where") &&
        !isWord(tokens[k], "order")) {
        t.alias = tokens[k].text;
        k = skipSpace(tokens, k + 1);
    }
    if (k < tokens.size() && !isWord(tokens[k], "where") && !isWord(tokens[k], "order")) return std::nullopt;
    for (; k < tokens.size(); ++k)
        if (tokens[k].depth == 0 && (tokens[k].text == "," || isWord(tokens[k], "join"))) return std::nullopt;
    return t;
}

// The parse of a keyset statement, once per statement text.
std::optional<SingleTable> singleTable(const std::string& sql) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::optional<SingleTable>> parsed;
    {
        const std::lock_guard lock(mutex);
        if (const auto it = parsed.find(sql); it != parsed.end()) return it->second;
    }
    auto table = parseSingleTable(sql);
    const std::lock_guard lock(mutex);
    if (parsed.size() > 1024) parsed.clear();
    parsed.emplace(sql, table);
    return table;
}

std::string quoteName(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

struct Recordset::Impl {
    com::ComPtr<Connection> connection;
    uint64_t generation = 0;
    bool open = false;
    bool updatable = false;
    bool buffered = false;

    // Forward-only: the live statement.
    std::shared_ptr<detail::PreparedStatement> live;
    bool atEnd = true;
    size_t hint = 0;  // the column after the last one found by name

    // Keyset: the rows in memory and the one table they come from.
    struct Row {
        std::vector<com::Variant> values;
        int64_t rowid = 0;
        bool deleted = false;
    };
    SingleTable source;
    std::vector<detail::ColumnInfo> columns;
    std::unordered_map<std::string, int, detail::NoCaseHash, detail::NoCaseEqual> byName;
    std::vector<Row> rows;
    size_t position = 0;
    enum class Edit { None, Add, Change } edit = Edit::None;
    std::vector<std::optional<com::Variant>> pending;

    Impl() = default;
    Impl(Impl&&) = default;
    Impl& operator=(Impl&&) = default;
    // Gives the live statement back to its connection (reset, so that it holds no lock).
    ~Impl() { giveBack(); }

    // Starts afresh on `to`: raises 3705 when open, 3704 when the connection is closed.
    Connection::Impl& restart(const com::ComPtr<Connection>& to) {
        if (open) raise(errc::ObjectOpen, "Operation is not allowed when the object is open.");
        if (!to) raise(errc::ObjectClosed, "The recordset has no connection.");
        Connection::Impl& c = to->impl();
        c.handle();
        *this = Impl{};
        connection = to;
        generation = c.generation;
        return c;
    }

    // Forward-only: runs the statement, its placeholders bound by `bind`, to its first row.
    template <typename Bind>
    void openLive(Connection::Impl& c, std::string_view sql, Bind&& bind,
                  const std::vector<std::string>& moneyColumns = {}) {
        live = c.acquire(sql);
        open = true;
        try {
            live->refuseUntypedMoney(moneyColumns);
            bind(live->stmt.get());
            step(c.db.get());
        } catch (...) {
            giveBack();
            open = false;
            throw;
        }
    }

    void giveBack() noexcept {
        if (live && connection && connection->impl().generation == generation) Connection::Impl::release(*live);
        live.reset();
    }

    Connection::Impl& conn() {
        if (!open) raise(errc::ObjectClosed, "Operation is not allowed when the object is closed.");
        Connection::Impl& c = connection->impl();
        if (c.generation != generation || !c.db) {
            open = false;
            live.reset();
            raise(errc::ObjectClosed, "Operation is not allowed: the recordset's connection was closed.");
        }
        return c;
    }

    int indexOf(std::string_view name) {
        // Callers mostly read the columns in order: try the one after the last found first.
        const auto& cols = buffered ? columns : live->columns;
        if (hint < cols.size() && (cols[hint].name == name || detail::NoCaseEqual()(cols[hint].name, name)))
            return static_cast<int>(hint++);
        int index = -1;
        if (buffered) {
            const auto it = byName.find(name);
            if (it != byName.end()) index = it->second;
        } else {
            index = live->find(name);
        }
        if (index < 0)
            raise(errc::ItemNotFound,
                  "Item cannot be found in the collection: no column \"" + std::string(name) + "\".");
        hint = static_cast<size_t>(index) + 1;
        return index;
    }

    int columnCount() const { return static_cast<int>(buffered ? columns.size() : live->columns.size()); }

    bool eof() const {
        if (buffered) return edit != Edit::Add && position >= rows.size();
        return atEnd;
    }

    com::Variant value(int index) {
        if (buffered) {
            if (edit != Edit::None && pending[static_cast<size_t>(index)]) return *pending[static_cast<size_t>(index)];
            if (edit == Edit::Add) return com::Variant::null();
            if (position >= rows.size() || rows[position].deleted)
                raise(errc::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
            return rows[position].values[static_cast<size_t>(index)];
        }
        if (atEnd) raise(errc::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
        return detail::readColumn(live->stmt.get(), index, live->columns[static_cast<size_t>(index)].kind);
    }

    void step(sqlite3* db) {
        const int rc = sqlite3_step(live->stmt.get());
        if (rc == SQLITE_ROW) {
            atEnd = false;
            return;
        }
        atEnd = true;
        if (rc != SQLITE_DONE) detail::raiseEngine(db, rc);
        sqlite3_reset(live->stmt.get());  // the read is over: let go of its lock at once
    }

    // Runs the buffered statement's text and keeps its rows (the last column is the rowid).
    void load(Connection::Impl& c, const std::string& sql, std::vector<Row>& into,
              std::optional<int64_t> rowid = std::nullopt) {
        auto statement = c.acquire(sql);
        struct Give {
            detail::PreparedStatement& s;
            ~Give() { Connection::Impl::release(s); }
        } give{*statement};
        statement->refuseUntypedMoney();
        if (rowid) sqlite3_bind_int64(statement->stmt.get(), 1, *rowid);
        if (columns.empty()) {
            columns.assign(statement->columns.begin(), statement->columns.end() - (updatable ? 1 : 0));
            for (int i = 0; i < static_cast<int>(columns.size()); ++i)
                byName.emplace(columns[static_cast<size_t>(i)].name, i);
        }
        sqlite3_stmt* s = statement->stmt.get();
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            Row row;
            row.values.reserve(columns.size());
            for (int i = 0; i < static_cast<int>(columns.size()); ++i)
                row.values.push_back(detail::readColumn(s, i, columns[static_cast<size_t>(i)].kind));
            if (updatable) row.rowid = sqlite3_column_int64(s, static_cast<int>(columns.size()));
            into.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) detail::raiseEngine(c.db.get(), rc);
    }

    Row reread(Connection::Impl& c, int64_t rowid) {
        std::vector<Row> found;
        load(c,
             "SELECT " + source.selectList + ", " + source.ref() + ".rowid" + source.fromClause() + " WHERE " +
                 source.ref() + ".rowid=?",
             found, rowid);
        if (found.empty()) raise(errc::NoCurrentRecord, "The row was removed by another user.");
        return std::move(found.front());
    }

    // Runs a write statement with the pending values bound in order, then the rowid if given.
    int64_t write(Connection::Impl& c, const std::string& sql, const std::vector<int>& changed,
                  std::optional<int64_t> rowid) {
        auto statement = c.acquire(sql);
        struct Give {
            detail::PreparedStatement& s;
            ~Give() { Connection::Impl::release(s); }
        } give{*statement};
        sqlite3_stmt* s = statement->stmt.get();
        int param = 1;
        for (const int i : changed)
            detail::bindValue(s, param++, *pending[static_cast<size_t>(i)], columns[static_cast<size_t>(i)].kind);
        if (rowid) sqlite3_bind_int64(s, param, *rowid);
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_DONE) detail::raiseEngine(c.db.get(), rc);
        return sqlite3_changes64(c.db.get());
    }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(std::string_view sql, const com::ComPtr<Connection>& connection, CursorType cursor, LockType lock,
                     int32_t) {
    Impl& m = *impl_;
    Connection::Impl& c = m.restart(connection);
    m.buffered = cursor != CursorType::ForwardOnly;
    m.updatable = m.buffered && lock != LockType::ReadOnly;
    if (!m.buffered) return m.openLive(c, sql, [](sqlite3_stmt*) {});
    const std::string translated = translateJetSql(sql);
    if (m.updatable) {
        auto table = singleTable(translated);
        if (!table)
            raise(errc::NotAllowed, "An updatable recordset needs a select from one table: " + std::string(sql));
        m.source = std::move(*table);
        m.load(c, "SELECT " + m.source.selectList + ", " + m.source.ref() + ".rowid " + m.source.fromOn, m.rows);
    } else {
        m.load(c, translated, m.rows);
    }
    m.pending.assign(m.columns.size(), std::nullopt);
    m.open = true;
}

void Recordset::Open(std::string_view sql, const com::ComPtr<Connection>& connection,
                     const std::vector<com::Variant>& parameters, const std::vector<std::string>& moneyColumns) {
    Impl& m = *impl_;
    Connection::Impl& c = m.restart(connection);
    m.openLive(
        c, sql,
        [&](sqlite3_stmt* s) {
            const int count = sqlite3_bind_parameter_count(s);
            if (count != static_cast<int>(parameters.size()))
                raise(errc::BadArguments, "The statement has " + std::to_string(count) + " parameters; " +
                                              std::to_string(parameters.size()) + " values were given.");
            for (int i = 0; i < count; ++i)
                detail::bindValue(s, i + 1, parameters[static_cast<size_t>(i)],
                                  detail::placeholderKind(sqlite3_bind_parameter_name(s, i + 1)));
        },
        moneyColumns);
}

void Recordset::Close() {
    Impl& m = *impl_;
    if (!m.open) raise(errc::ObjectClosed, "Operation is not allowed when the object is closed.");
    m.giveBack();
    m.rows.clear();
    m.open = false;
}

int32_t Recordset::State() const { return impl_->open ? 1 : 0; }

bool Recordset::Eof() const {
    impl_->conn();
    return impl_->eof();
}

void Recordset::MoveNext() {
    Impl& m = *impl_;
    Connection::Impl& c = m.conn();
    if (m.eof()) raise(errc::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
    if (m.buffered) {
        m.edit = Impl::Edit::None;
        m.pending.assign(m.columns.size(), std::nullopt);
        ++m.position;
    } else {
        m.step(c.db.get());
    }
}

Field Recordset::Fields(std::string_view name) const {
    impl_->conn();
    const int index = impl_->indexOf(name);
    return {impl_->buffered ? impl_->columns[static_cast<size_t>(index)].name
                            : impl_->live->columns[static_cast<size_t>(index)].name,
            impl_->value(index)};
}

com::Variant Recordset::field(std::string_view name) const {
    impl_->conn();
    return impl_->value(impl_->indexOf(name));
}

int32_t Recordset::fieldCount() const {
    impl_->conn();
    return impl_->columnCount();
}

std::string Recordset::fieldName(int32_t index) const {
    impl_->conn();
    if (index < 0 || index >= impl_->columnCount())
        raise(errc::ItemNotFound, "No column at position " + std::to_string(index) + ".");
    return impl_->buffered ? impl_->columns[static_cast<size_t>(index)].name
                           : impl_->live->columns[static_cast<size_t>(index)].name;
}

com::Variant Recordset::field(int32_t index) const {
    impl_->conn();
    if (index < 0 || index >= impl_->columnCount())
        raise(errc::ItemNotFound, "No column at position " + std::to_string(index) + ".");
    return impl_->value(index);
}

void Recordset::Collect(std::string_view name, const com::Variant& value) {
    Impl& m = *impl_;
    m.conn();
    if (!m.updatable) raise(errc::NotUpdatable, "The recordset cannot be updated (read-only cursor or lock).");
    const int index = m.indexOf(name);
    if (m.columns[static_cast<size_t>(index)].origin.empty())
        raise(errc::NotUpdatable, "The column \"" + std::string(name) + "\" is an expression and cannot be written.");
    if (m.edit == Impl::Edit::None) {
        if (m.position >= m.rows.size() || m.rows[m.position].deleted)
            raise(errc::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
        m.edit = Impl::Edit::Change;
    }
    m.pending[static_cast<size_t>(index)] = value;
}

void Recordset::AddNew() {
    Impl& m = *impl_;
    m.conn();
    if (!m.updatable) raise(errc::NotUpdatable, "The recordset cannot be updated (read-only cursor or lock).");
    m.edit = Impl::Edit::Add;
    m.pending.assign(m.columns.size(), std::nullopt);
}

void Recordset::Update() {
    Impl& m = *impl_;
    Connection::Impl& c = m.conn();
    if (!m.updatable) raise(errc::NotUpdatable, "The recordset cannot be updated (read-only cursor or lock).");
    if (m.edit == Impl::Edit::None) return;
    std::vector<int> changed;
    for (int i = 0; i < static_cast<int>(m.columns.size()); ++i)
        if (m.pending[static_cast<size_t>(i)]) changed.push_back(i);
    auto column = [&](int i) { return quoteName(m.columns[static_cast<size_t>(i)].origin); };
    if (m.edit == Impl::Edit::Add) {
        std::string sql = "INSERT INTO " + m.source.table;
        if (changed.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string names, marks;
            for (const int i : changed) {
                if (!names.empty()) names += ',';
                names += column(i);
                marks += marks.empty() ? "?" : ",?";
            }
            sql += " (" + names + ") VALUES (" + marks + ")";
        }
        m.write(c, sql, changed, std::nullopt);
        m.rows.push_back(m.reread(c, sqlite3_last_insert_rowid(c.db.get())));
        m.position = m.rows.size() - 1;
    } else if (!changed.empty()) {
        std::string sets;
        for (const int i : changed) {
            if (!sets.empty()) sets += ',';
            sets += column(i);
            sets += "=?";
        }
        auto& row = m.rows[m.position];
        if (m.write(c, "UPDATE " + m.source.table + " SET " + sets + " WHERE rowid=?", changed, row.rowid) != 1)
            raise(errc::NoCurrentRecord, "The row was removed by another user; the change was not saved.");
        row = m.reread(c, row.rowid);
    }
    m.edit = Impl::Edit::None;
    m.pending.assign(m.columns.size(), std::nullopt);
}

void Recordset::Delete(Affect) {
    Impl& m = *impl_;
    Connection::Impl& c = m.conn();
    if (!m.updatable) raise(errc::NotUpdatable, "The recordset cannot be updated (read-only cursor or lock).");
    if (m.edit == Impl::Edit::Add) {
        m.edit = Impl::Edit::None;
        m.pending.assign(m.columns.size(), std::nullopt);
        return;
    }
    if (m.position >= m.rows.size() || m.rows[m.position].deleted)
        raise(errc::NoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted.");
    auto statement = c.acquire("DELETE FROM " + m.source.table + " WHERE rowid=?");
    struct Give {
        detail::PreparedStatement& s;
        ~Give() { Connection::Impl::release(s); }
    } give{*statement};
    sqlite3_bind_int64(statement->stmt.get(), 1, m.rows[m.position].rowid);
    const int rc = sqlite3_step(statement->stmt.get());
    if (rc != SQLITE_DONE) detail::raiseEngine(c.db.get(), rc);
    m.rows[m.position].deleted = true;
    m.edit = Impl::Edit::None;
}

std::string Recordset::GetString(StringFormat, int32_t numRows, std::string_view columnDelimiter,
                                 std::string_view rowDelimiter, std::string_view nullExpr) {
    Impl& m = *impl_;
    Connection::Impl& c = m.conn();
    std::string out;
    const int count = m.columnCount();
    for (int32_t done = 0; (numRows < 0 || done < numRows) && !m.eof(); ++done) {
        if (!m.buffered || !m.rows[m.position].deleted) {
            for (int i = 0; i < count; ++i) {
                if (i > 0) out += columnDelimiter;
                const com::Variant v = m.value(i);
                if (v.isNull()) out += nullExpr;
                else out += detail::plainText(v);
            }
            out += rowDelimiter;
        }
        if (m.buffered) ++m.position;
        else m.step(c.db.get());
    }
    return out;
}

}  // namespace ado
