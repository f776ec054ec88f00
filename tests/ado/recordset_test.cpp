// Saves through keyset recordsets, transactions, values and errors of the recordset.
#include "fixture.h"

namespace {

using ado::CursorType;
using ado::LockType;
using adotest::DataFolder;

class Saves : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
        conn = open();
    }
    void openSheet(ado::Recordset& rs, int id) {
        rs.Open("Select a.IdCost, a.IdPerioada, a.IdSpital, a.TCP, a.c72 FROM Velmora_Spital a WHERE a.IdCost=" +
                    std::to_string(id),
                conn, CursorType::Keyset, LockType::Optimistic, -1);
    }
    // Adds a hospital sheet through a fresh keyset recordset and answers its new key.
    int32_t addSheet(ado::Recordset& rs, int32_t period, int32_t hospital) {
        openSheet(rs, 0);
        rs.AddNew();
        rs.Collect("IdPerioada", period);
        rs.Collect("IdSpital", hospital);
        rs.Update();
        return rs.field("IdCost").toLong();
    }
    com::ComPtr<ado::Connection> conn;
};

int expectError(const std::function<void()>& f, const std::string& part = {}) {
    try {
        f();
    } catch (const com::Error& e) {
        if (!part.empty()) {
            EXPECT_NE(e.description().find(part), std::string::npos) << e.description();
        }
        EXPECT_FALSE(e.description().empty());
        return e.number();
    }
    ADD_FAILURE() << "no error raised";
    return 0;
}

TEST_F(Saves, AddNewInsertsAndYieldsTheAutonumber) {
    ado::Recordset rs;
    openSheet(rs, 0);
    EXPECT_TRUE(rs.Eof());
    rs.AddNew();
    rs.Collect("IdPerioada", int32_t{7});
    rs.Collect("IdSpital", int32_t{1});
    rs.Collect("TCP", com::Currency::fromUnits(123456789012345));  // beyond a double's exact cents
    rs.Update();
    const int32_t id = rs.Fields("IdCost").Value.toLong();
    EXPECT_EQ(id, 7);  // six sample sheets before it
    EXPECT_TRUE(rs.field("c72").isNull());
    EXPECT_EQ(rawCount("SELECT TCP FROM Velmora_Spital WHERE IdCost=7"), 123456789012345);
    rs.Close();

    // Update the stored row by its key, then delete it.
    openSheet(rs, id);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.field("TCP"), com::Variant(com::Currency::fromUnits(123456789012345)));
    rs.Collect("c72", com::Currency::parse("0.0001"));
    rs.Update();
    EXPECT_EQ(rawCount("SELECT c72 FROM Velmora_Spital WHERE IdCost=7"), 1);
    rs.Delete(ado::Affect::Current);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital WHERE IdCost=7"), 0);
    EXPECT_EQ(expectError([&] { rs.field("TCP"); }), ado::errc::NoCurrentRecord);
    rs.Close();
}

TEST_F(Saves, AutonumberIsNotReusedAfterTheTopRowIsDeleted) {
    rawExec("DELETE FROM Velmora_Spital WHERE IdCost=6");
    ado::Recordset rs;
    EXPECT_EQ(addSheet(rs, 6, 1), 7);
}

TEST_F(Saves, RolledBackTransactionLeavesNothing) {
    EXPECT_EQ(conn->BeginTrans(), 1);
    ado::Recordset rs;
    addSheet(rs, 9, 1);
    // The save's own pattern: commit or roll back while the recordset is still open.
    conn->RollbackTrans();
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital WHERE IdPerioada=9"), 0);
    EXPECT_EQ(expectError([&] { conn->CommitTrans(); }), ado::errc::NoTransaction);

    conn->BeginTrans();
    ado::Recordset again;
    addSheet(again, 9, 2);
    conn->CommitTrans();
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital WHERE IdPerioada=9"), 1);
}

TEST_F(Saves, DuplicatePeriodGivesDuplicateValues) {
    conn->BeginTrans();
    ado::Recordset rs;
    openSheet(rs, 0);
    rs.AddNew();
    rs.Collect("IdPerioada", int32_t{1});
    rs.Collect("IdSpital", int32_t{1});
    EXPECT_EQ(expectError([&] { rs.Update(); }, "duplicate values"), ado::errc::Engine);
    conn->RollbackTrans();
    // A second ward sheet for the same period and ward is refused as well; another ward number is not.
    ado::Recordset ward;
    ward.Open(
        "Select a.IdCost, a.IdPerioada, a.IdSpital, a.IdSectie, a.NrSectie FROM Velmora_Sectie a WHERE a.IdCost=0",
        conn, CursorType::Keyset, LockType::Optimistic, -1);
    ward.AddNew();
    for (auto [name, value] : {std::pair{"IdPerioada", 1}, {"IdSpital", 1}, {"IdSectie", 1}, {"NrSectie", 2}})
        ward.Collect(name, int32_t{value});
    EXPECT_EQ(expectError([&] { ward.Update(); }, "duplicate values"), ado::errc::Engine);
    ward.Collect("NrSectie", int32_t{3});
    ward.Update();
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Sectie WHERE IdPerioada=1"), 9);
}

TEST_F(Saves, ValuesFollowTheDeclaredTypes) {
    rawExec("INSERT INTO Nom_Spitale (IdSpital, CodSpital, IdJudet) VALUES (5, 'X', 3000000000)");
    ado::Recordset rs;
    rs.Open("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet FROM Nom_Spitale a WHERE a.IdSpital=5", conn);
    EXPECT_TRUE(rs.field("DenSpital").isNull());
    EXPECT_EQ(expectError([&] { rs.field("IdJudet"); }, "Valoare prea mare."), com::errc::Overflow);
    EXPECT_EQ(expectError([&] { rs.field("Nope"); }), ado::errc::ItemNotFound);
    EXPECT_EQ(expectError([&] { rs.Collect("CodSpital", "Y"); }), ado::errc::NotUpdatable);
    rs.Close();
    // An expression has no declared type: a sum beyond 32 bits reads as a double.
    rs.Open("Select Sum(a.IdJudet) As Total From Nom_Spitale a Where a.IdSpital In (1, 5)", conn);
    EXPECT_EQ(rs.field("Total"), com::Variant(3000000013.0));
    rs.Close();
    EXPECT_EQ(expectError([&] { rs.Eof(); }), ado::errc::ObjectClosed);
    EXPECT_EQ(expectError([&] { rs.Close(); }), ado::errc::ObjectClosed);

    // Dates are written as ISO text with the time and read back as Automation dates.
    ado::Recordset p;
    p.Open("Select a.IdPacient, a.DataExternare FROM Velmora_Pacient a WHERE a.IdPacient=0", conn, CursorType::Keyset,
           LockType::Optimistic, -1);
    p.AddNew();
    p.Collect("DataExternare", com::Date::fromYmd(2024, 3, 5));
    p.Update();
    EXPECT_EQ(p.field("DataExternare"), com::Variant(com::Date::fromYmd(2024, 3, 5)));
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Pacient WHERE DataExternare='2024-03-05 00:00:00'"), 1);
    // A text that is no amount is refused before anything is written.
    ado::Recordset s;
    openSheet(s, 1);
    EXPECT_EQ(expectError([&] {
                  s.Collect("TCP", "abc");
                  s.Update();
              }),
              com::errc::TypeMismatch);
}

TEST_F(Saves, KeysetNeedsOneTable) {
    ado::Recordset rs;
    EXPECT_EQ(expectError([&] {
                  rs.Open(
                      "Select a.IdSectieFiltrat, b.CodSectie FROM Lista_Sectii___Filtrat a Inner Join Lista_Sectii b "
                      "On a.IdSectie=b.IdSectie",
                      conn, CursorType::Keyset, LockType::Optimistic, -1);
              }),
              ado::errc::NotAllowed);
    EXPECT_EQ(rs.State(), 0);
}

TEST_F(Saves, RecordsetOfAClosedConnectionIsClosed) {
    ado::Recordset rs;
    rs.Open("Select a.IdJudet From Nom_Judete a", conn);
    conn->Close();
    EXPECT_EQ(expectError([&] { rs.MoveNext(); }), ado::errc::ObjectClosed);
    EXPECT_EQ(rs.State(), 0);  // it noticed its connection closed
    ado::Recordset other;
    EXPECT_EQ(expectError([&] { other.Open("Select 1", conn); }), ado::errc::ObjectClosed);
}

TEST_F(Saves, EngineErrorsAndBadStatementsRaise) {
    ado::Recordset rs;
    EXPECT_EQ(expectError([&] { rs.Open("Select a.x From NoSuchTable a", conn); }, "no such table"), ado::errc::Engine);
    EXPECT_EQ(expectError([&] { rs.Open("Select 'unterminated From Nom_Judete", conn); }), ado::errc::BadSql);
    EXPECT_EQ(rs.State(), 0);
    // Text after the statement is refused, not dropped: neither statement runs.
    EXPECT_EQ(
        expectError([&] { conn->Execute("DELETE a.* FROM Nom_Judete a WHERE a.IdJudet=1; DELETE FROM Nom_Judete"); },
                    "after the end"),
        ado::errc::BadSql);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 42);
    conn->Execute("DELETE a.* FROM Nom_Judete a WHERE a.IdJudet=42; ");
    EXPECT_EQ(rawCount("SELECT count(*) FROM Nom_Judete"), 41);
    // The same statement text can be open twice at once.
    ado::Recordset a, b;
    a.Open("Select a.IdJudet From Nom_Judete a Order By a.IdJudet", conn);
    b.Open("Select a.IdJudet From Nom_Judete a Order By a.IdJudet", conn);
    a.MoveNext();
    EXPECT_EQ(a.field("IdJudet").toLong(), 2);
    EXPECT_EQ(b.field("IdJudet").toLong(), 1);
}

}  // namespace

namespace {

TEST_F(Saves, UpdateOfARowRemovedElsewhereIsRefused) {
    ado::Recordset rs;
    openSheet(rs, 2);
    rawExec("DELETE FROM Velmora_Spital WHERE IdCost=2");
    rs.Collect("TCP", com::Currency::fromInteger(5));
    EXPECT_EQ(expectError([&] { rs.Update(); }), ado::errc::NoCurrentRecord);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital WHERE IdCost=2"), 0);
}

}  // namespace

namespace {

TEST_F(Saves, ARollbackLeavesAnOpenReaderWhereItWas) {
    ado::Recordset reader;
    reader.Open("Select a.IdJudet From Nom_Judete a Order By a.IdJudet", conn);
    reader.MoveNext();
    conn->BeginTrans();
    ado::Recordset rs;
    addSheet(rs, 20, 1);
    conn->RollbackTrans();
    EXPECT_EQ(reader.field("IdJudet").toLong(), 2);
    reader.MoveNext();
    EXPECT_EQ(reader.field("IdJudet").toLong(), 3);
}

}  // namespace

namespace {

TEST_F(Saves, AReplacedRecordsetGivesItsStatementBack) {
    const std::string sql = "Select a.IdJudet From Nom_Judete a Order By a.IdJudet";
    ado::Recordset rs;
    rs.Open(sql, conn);
    rs = ado::Recordset();  // dropped half-read, without Close
    // Another connection can write: no read lock was left behind.
    auto other = open();
    other->Execute("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (100, 'Nou')");
    rs.Open(sql, conn);
    EXPECT_EQ(rs.GetString(ado::StringFormat::Clip, -1, "", ",", "").substr(0, 6), "1,2,3,");
}

}  // namespace

namespace {

TEST_F(Saves, BoundValuesAreValuesWhateverTheyHold) {
    ado::Recordset rs;
    const std::string sql = "SELECT count(*) AS N FROM Nom_Judete WHERE DenJudet = ? OR IdJudet = ?";
    rs.Open(sql, conn, std::vector<com::Variant>{com::Variant("x' OR '1'='1"), com::Variant(int32_t{3})});
    EXPECT_EQ(rs.field("N").toLong(), 1);
    rs.Close();
    // Money binds as its stored units, dates as the stored text, Null as NULL.
    rs.Open("SELECT ? AS M, ? AS D, ? IS NULL AS E", conn,
            std::vector<com::Variant>{com::Currency::fromUnits(12345), com::Date::fromYmd(2024, 2, 29),
                                      com::Variant::null()});
    EXPECT_EQ(rs.field("M").toLong(), 12345);
    EXPECT_EQ(rs.field("D").toString(), "2024-02-29 00:00:00");
    EXPECT_EQ(rs.field("E").toLong(), 1);
    rs.Close();
    EXPECT_EQ(expectError([&] { rs.Open(sql, conn, std::vector<com::Variant>{com::Variant("a")}); }),
              ado::errc::BadArguments);
    EXPECT_EQ(rs.State(), 0);
    rs.Open(sql, conn, std::vector<com::Variant>{com::Variant("Cluj"), com::Variant(int32_t{0})});
    EXPECT_EQ(rs.field("N").toLong(), 1);
}

}  // namespace
