#pragma once
// ADO's Recordset on SQLite: one per statement, opened on an open Connection.
//
// Forward-only (cursor 0) recordsets read rows as SQLite yields them. A keyset, optimistic
// recordset (cursor 1, lock 3) is the save of one row: its statement must be a one-table
// select ("Select a.c1, a.c2 FROM T a WHERE a.Key=n"); the layer loads the matching rows
// into memory (no SQLite statement stays pending, so the caller may commit while the
// recordset is open) and then:
//   AddNew + Collect + Update   inserts the row; the autonumber key is then readable by name
//   Collect + Update            updates the current row (by its key)
//   Delete(1)                   deletes the current row
//
// Columns are found by name without regard to case; a name the statement does not yield
// raises 3265. Values follow ado/values.h. Note: `EOF` is a macro of the C library, so the
// end-of-rows test is called Eof().
//
//   auto rs = ado::Recordset();
//   rs.Open("Select a.IdSpital From Nom_Spitale a", conn, ado::CursorType::ForwardOnly,
//           ado::LockType::ReadOnly);
//   while (!rs.Eof()) { int32_t id = rs.Fields("IdSpital").Value.toLong(); rs.MoveNext(); }
//   rs.Close();
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ado/connection.h"
#include "com/variant.h"

namespace ado {

enum class CursorType : int32_t { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType : int32_t { ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };
enum class Affect : int32_t { Current = 1 };
enum class StringFormat : int32_t { Clip = 2 };

// One column of the current row, by value.
struct Field {
    std::string Name;
    com::Variant Value;
};

class [[gnu::visibility("default")]] Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset &&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // Translates the Jet SQL, runs it and stands on the first row (Eof() when there is none).
    // Raises 3705 when already open, 3704 when the connection is closed, 3709 for a statement
    // the translator cannot read, 3219 for a keyset statement that is not a one-table select,
    // and the engine's error (-2147467259) for anything SQLite refuses.
    void Open(std::string_view sql, const com::ComPtr<Connection>& connection,
              CursorType cursor = CursorType::ForwardOnly, LockType lock = LockType::ReadOnly, int32_t options = -1);
    // Forward-only and read-only, with the statement's "?" placeholders bound in order to
    // `parameters` as SQL values (never pasted into the text): integers and booleans as
    // integers, currency as its count of 1/10 000, dates as ISO text, text as text, Null
    // and Empty as NULL; a placeholder compared with or added to a money expression takes
    // its value as an amount (a Long 5 is 5.0000), one that multiplies or divides money as a
    // Double. Raises as Open, and 3001 when the counts differ.
    // Any Open raises 3464 ("Expresia peste coloana <coloana> nu poate fi calculata in lei.")
    // for a select-list item over money that the layer cannot type (money_sql.h), unless the
    // caller names its column in `moneyColumns` and reads it as money itself (a bare number
    // there is the stored count of 1/10 000); and for a comparison over such an item.
    void Open(std::string_view sql, const com::ComPtr<Connection>& connection,
              const std::vector<com::Variant>& parameters, const std::vector<std::string>& moneyColumns = {});
    void Close();           // raises 3704 when closed
    int32_t State() const;  // 1 open, 0 closed

    bool Eof() const;  // raises 3704 when closed
    void MoveNext();   // raises 3021 at the end

    // The current row's column (raises 3021 at the end, 3265 for an unknown name).
    Field Fields(std::string_view name) const;
    com::Variant field(std::string_view name) const;  // Fields(name).Value, without the name
    int32_t fieldCount() const;
    std::string fieldName(int32_t index) const;  // 0-based
    com::Variant field(int32_t index) const;     // 0-based

    // Reads or writes a column of the current (or added) row; writes need a keyset recordset
    // (3251 otherwise) and take effect at Update. The value is converted to the column's
    // declared type (Currency, Date, int32, text, double); Null and Empty store NULL.
    com::Variant Collect(std::string_view name) const { return field(name); }
    void Collect(std::string_view name, const com::Variant& value);

    void AddNew();
    // Inserts the added row or updates the current one. A unique-index violation raises
    // -2147467259 with "duplicate values" in its description; the row stays pending so the
    // caller can roll back.
    void Update();
    void Delete(Affect affect = Affect::Current);

    // The remaining rows as text: columns joined by `columnDelimiter`, each row followed by
    // `rowDelimiter`, Null as `nullExpr`; numbers in their plain form (integers without
    // decimals). `numRows` -1 means all. Moves to the end.
    std::string GetString(StringFormat format = StringFormat::Clip, int32_t numRows = -1,
                          std::string_view columnDelimiter = "\t", std::string_view rowDelimiter = "\r",
                          std::string_view nullExpr = "");

private:
    struct [[gnu::visibility("hidden")]] Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ado
