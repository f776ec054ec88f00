#include "data.h"

#include "ado/connection.h"
#include "ado/error.h"
#include "ado/recordset.h"
#include "com/dispatch.h"
#include "com/error.h"

namespace reports {

int Table::find(std::string_view column) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (com::equalsIgnoreCase(columns[i], column)) return static_cast<int>(i);
    return -1;
}

namespace {

// A value of a column declared money: money as it is; a bare number, as a column without a
// declared type yields it, is the stored count of 1/10 000; text is a decimal amount.
com::Variant asMoney(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Currency:
    case com::VarType::Null:
    case com::VarType::Empty: return v;
    case com::VarType::Integer:
    case com::VarType::Long: return com::Currency::fromUnits(v.toLong());
    case com::VarType::Double: return com::Currency::fromUnits(com::roundHalfEven(*v.get<double>()));
    default: return com::Currency::parse(v.toString());
    }
}

com::Variant convert(const com::Variant& v, ColumnType type) {
    if (v.isNull() || v.isEmpty()) return v;
    switch (type) {
    case ColumnType::Auto: return v;
    case ColumnType::Money: return asMoney(v);
    case ColumnType::Integer: return v.toLong();
    case ColumnType::Number: return v.type() == com::VarType::Currency ? v : com::Variant(v.toDouble());
    case ColumnType::Date:
        if (const auto* text = v.get<std::string>()) return com::Date::fromIso(*text);
        return v.toDate();
    case ColumnType::Text: return v.toString();
    }
    return v;
}

com::Variant add(const com::Variant& a, const com::Variant& b, ColumnType type, bool minus) {
    if (b.isNull() || b.isEmpty()) return a;
    switch (type) {
    case ColumnType::Integer: {
        const int64_t r = static_cast<int64_t>(a.toLong()) + (minus ? -1 : 1) * static_cast<int64_t>(b.toLong());
        if (r < INT32_MIN || r > INT32_MAX) com::raise(com::errc::Overflow, "reports");
        return static_cast<int32_t>(r);
    }
    case ColumnType::Number: return a.toDouble() + (minus ? -b.toDouble() : b.toDouble());
    default: {
        const com::Currency x = a.toCurrency(), y = b.toCurrency();
        return minus ? x - y : x + y;
    }
    }
}

Table read(const QueryDecl& query, const com::ComPtr<ado::Connection>& connection,
           const std::vector<com::Variant>& values, const std::string& file) {
    std::vector<com::Variant> bound;
    bound.reserve(query.parameters.size());
    for (const int p : query.parameters) bound.push_back(values[static_cast<size_t>(p)]);
    Table t;
    t.name = query.name;
    // The columns the report reads as money itself: the data layer lets them through untyped.
    std::vector<std::string> declaredMoney;
    for (const auto& d : query.columns)
        if (!d.computed && d.type == ColumnType::Money) declaredMoney.push_back(d.name);
    ado::Recordset rs;
    try {
        rs.Open(query.sql, connection, bound, declaredMoney);
        const int count = rs.fieldCount();
        for (int i = 0; i < count; ++i) t.columns.push_back(rs.fieldName(i));
        while (!rs.Eof()) {
            if (t.rowCount == MaxRows)
                com::raise(errc::QueryFailed, "reports",
                           "Raportul are prea multe randuri pentru a fi afisat. Restrangeti parametrii raportului.");
            for (int i = 0; i < count; ++i) t.cells.push_back(rs.field(i));
            ++t.rowCount;
            rs.MoveNext();
        }
        rs.Close();
    } catch (const com::Error& e) {
        if (e.source() == "reports") throw;
        if (e.number() == ado::errc::Cancelled)
            fail(errc::Cancelled, file,
                 "rularea a fost oprita inainte de sfarsitul interogarii \"" + query.name + "\".");
        if (e.number() == ado::errc::NotAllowed)
            fail(errc::QueryFailed, file,
                 "interogarea \"" + query.name + "\" nu a fost rulata: un raport poate numai citi baza de date.");
        fail(errc::QueryFailed, file, "interogarea \"" + query.name + "\" a esuat: " + e.description());
    }
    // Declared types, then the computed columns in their order (each may use the ones before).
    std::vector<std::pair<int, ColumnType>> typed;
    for (const auto& d : query.columns) {
        if (d.computed) continue;
        const int index = t.find(d.name);
        if (index < 0)
            fail(errc::UnknownColumn, file,
                 "coloana \"" + d.name + "\" declarata nu exista in interogarea \"" + query.name + "\".");
        typed.emplace_back(index, d.type);
    }
    const size_t width = t.columns.size();
    try {
        for (size_t r = 0; r < t.rowCount; ++r)
            for (const auto& [index, type] : typed) {
                auto& cell = t.cells[r * width + static_cast<size_t>(index)];
                cell = convert(cell, type);
            }
    } catch (const com::Error& e) {
        fail(errc::QueryFailed, file,
             "o valoare a interogarii \"" + query.name + "\" nu are tipul declarat: " + e.description());
    }
    std::vector<const ColumnDecl*> computed;
    for (const auto& d : query.columns)
        if (d.computed) computed.push_back(&d);
    if (computed.empty()) return t;
    struct Operand {
        int index;
        bool minus;
    };
    std::vector<std::vector<Operand>> operands;
    for (const ColumnDecl* d : computed) {
        std::vector<Operand> ops;
        auto resolve = [&](const std::string& name, bool minus) {
            int index = t.find(name);
            if (index < 0) {
                for (size_t k = 0; k < operands.size(); ++k)
                    if (com::equalsIgnoreCase(computed[k]->name, name)) index = static_cast<int>(width + k);
            }
            if (index < 0)
                fail(errc::UnknownColumn, file,
                     "coloana calculata \"" + d->name + "\" foloseste coloana \"" + name +
                         "\", care nu exista in interogarea \"" + query.name + "\".");
            ops.push_back({index, minus});
        };
        for (const auto& n : d->add) resolve(n, false);
        for (const auto& n : d->subtract) resolve(n, true);
        operands.push_back(std::move(ops));
        t.columns.push_back(d->name);
    }
    const size_t wide = t.columns.size();
    std::vector<com::Variant> cells;
    cells.reserve(t.rowCount * wide);
    try {
        for (size_t r = 0; r < t.rowCount; ++r) {
            const size_t start = cells.size();
            for (size_t c = 0; c < width; ++c) cells.push_back(std::move(t.cells[r * width + c]));
            for (size_t k = 0; k < computed.size(); ++k) {
                const ColumnType type = computed[k]->type;
                com::Variant sum = type == ColumnType::Integer  ? com::Variant(int32_t{0})
                                   : type == ColumnType::Number ? com::Variant(0.0)
                                                                : com::Variant(com::Currency());
                for (const Operand& op : operands[k])
                    sum = add(sum, cells[start + static_cast<size_t>(op.index)], type, op.minus);
                cells.push_back(std::move(sum));
            }
        }
    } catch (const com::Error& e) {
        fail(errc::QueryFailed, file,
             "o coloana calculata a interogarii \"" + query.name + "\" nu poate fi calculata: " + e.description());
    }
    t.cells = std::move(cells);
    return t;
}

}  // namespace

std::vector<Table> readData(const Definition& definition, const LogOn& logOn, const std::vector<com::Variant>& values,
                            const std::function<bool()>& keepGoing) {
    auto connection = ado::Connection::create();
    try {
        // The report only reads: the engine opens the file read-only and the connection
        // refuses, before it runs, every statement of a query that is not a read.
        connection->Mode(static_cast<int32_t>(ado::ConnectMode::Read));
        connection->Open(ado::buildConnectionString(logOn.user, logOn.password, logOn.database.string(),
                                                    logOn.workgroup.string()),
                         logOn.user, logOn.password);
    } catch (const com::Error& e) {
        fail(errc::QueryFailed, definition.file,
             "conectarea la baza de date \"" + logOn.database.string() + "\" a esuat: " + e.description());
    }
    if (keepGoing) connection->setProgressCheck(keepGoing);
    std::vector<Table> tables;
    for (const auto& q : definition.queries) tables.push_back(read(q, connection, values, definition.file));
    connection->Close();
    return tables;
}

}  // namespace reports
