#pragma once
// ADO's Connection on SQLite. An object-layer object: hold it as com::ComPtr<ado::Connection>
// (created by ado::Connection::create()), or as com::IDispatch / in a com::Variant, where the
// main program reads it late-bound:
//   Properties(name) -> an object whose Value (the default member) is the property's value
//   ("Data Source", "User ID", "Password", "Jet OLEDB:System database", any provider key);
//   State, CursorLocation, Open, Close, BeginTrans, CommitTrans, RollbackTrans, Execute.
//
// The connection string is the Jet provider literal followed by ";User ID=..;Password=..;
// Data Source=..;Jet OLEDB:System database=..": `key=value` pairs split at ";", keys
// compared without regard to case, "" as an empty value, the last occurrence of a key
// winning (so that text typed into a user name or password cannot redirect the data or
// workgroup file set after it). Unknown provider keys are accepted and ignored.
//
// Open checks the account against the workgroup file ("Jet OLEDB:System database") and
// opens the data file ("Data Source") without ever creating either; it refuses a missing
// file, an unknown account, a wrong password and a file that is no SQLite database.
// Every open connection sets journal_mode=DELETE, synchronous=FULL, a busy timeout,
// foreign keys off, and holds a shared lock that keeps compaction off its file.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "com/dispatch.h"

namespace ado {

enum class ObjectState : int32_t { Closed = 0, Open = 1 };
enum class CursorLocation : int32_t { Server = 2, Client = 3 };
// The access a connection opens with (ADO's connect modes that the layer tells apart).
enum class ConnectMode : int32_t { Unknown = 0, Read = 1, ReadWrite = 3 };

// The Jet provider's fixed opening of every connection string of the system.
inline constexpr std::string_view ProviderLiteral =
    "Provider=Microsoft.Jet.OLEDB.4.0;Mode=Share Deny None;Extended Properties=\"\";"
    "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=0;"
    "Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
    "Jet OLEDB:New Database Password=\"\";Jet OLEDB:Create System Database=False;"
    "Jet OLEDB:Encrypt Database=False;Jet OLEDB:Don't Copy Locale on Compact=False;"
    "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";

// The provider literal with the account and the two files, concatenated as the system does.
[[gnu::visibility("default")]] std::string buildConnectionString(std::string_view user, std::string_view password,
                                                                 std::string_view dataSource,
                                                                 std::string_view systemDatabase);

// The marker interface by which a Connection is found again from an IUnknown/IDispatch.
class IConnection : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{6C1B7E52-3A0D-4F0E-9B7A-2D1E5C8A9F01}");

protected:
    ~IConnection() = default;
};

class [[gnu::visibility("default")]] Connection final : public com::Dispatchable<Connection, IConnection> {
public:
    static com::ComPtr<Connection> create();
    // The Connection behind an object reference (a Variant's object, an IDispatch), or
    // empty when the object is none.
    static com::ComPtr<Connection> from(const com::ComPtr<com::IUnknown>& object);

    Connection();
    ~Connection() override;  // an open connection closes; a pending transaction rolls back

    // Only recorded (SQLite has no client cursors); 2 until set.
    int32_t CursorLocation() const;
    void CursorLocation(int32_t location);

    // The access of the next Open: Unknown (0, until set) and ReadWrite (3) read and write;
    // Read (1) opens the data file read-only in the engine itself, so that nothing can be
    // written to it or beside it, and refuses every statement that is not a read when it is
    // prepared or run: a write, any PRAGMA, ATTACH and DETACH (and so VACUUM and VACUUM INTO),
    // a transaction, a temporary object, extension loading. A refused statement raises 3219
    // (errc::NotAllowed). Setting it on an open connection raises 3705; another value 3001.
    int32_t Mode() const;
    void Mode(int32_t mode);

    // Raises 3705 when already open, 3706 for a malformed string, 3024 for a missing data or
    // workgroup file, 3029 for an unknown account or a wrong password, 3343 for a file that
    // is no database. It first takes the database's lock shared (ado::DatabaseLock), waiting
    // five seconds for a compaction: 3045 while another run holds it exclusively, and "Baza de
    // date <file> este protejata la scriere." for a user who may only read the file (a Read
    // connection then goes on without the lock: it writes nothing). A `user` given here takes
    // the place of the string's account, with `password` as given (an empty one too); a
    // `password` alone replaces the string's.
    void Open(std::string_view connectionString, std::string_view user = {}, std::string_view password = {},
              int32_t options = -1);
    // Raises 3704 when closed. A pending transaction is rolled back.
    void Close();
    int32_t State() const;  // 1 open, 0 closed

    // Returns the new nesting level (1 for the outer transaction; inner ones are savepoints).
    // The outer transaction takes the write lock at once, waiting for another writer up to
    // the busy timeout.
    int32_t BeginTrans();
    void CommitTrans();    // raises 3034 without a transaction
    void RollbackTrans();  // raises 3034 without a transaction
    int32_t transactionLevel() const;

    // A value of the connection string that opened the connection (the last one given to
    // Open, kept after Close): "Data Source", "User ID", "Password", ... Empty when absent.
    std::string Properties(std::string_view name) const;

    // Runs a statement that returns no rows (Jet SQL); answers the rows it changed.
    int64_t Execute(std::string_view sql);

    // While a statement of the open connection runs, `keepGoing` is asked every few thousand
    // steps of the engine; when it answers false the statement stops and raises 3712. An
    // empty function removes the check.
    void setProgressCheck(std::function<bool()> keepGoing);

    static const com::DispatchTable<Connection>& dispatchTable();

    struct [[gnu::visibility("hidden")]] Impl;
    Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace ado
