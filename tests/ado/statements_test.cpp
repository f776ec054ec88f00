// Every statement family the system runs, on a database built from data/schema.sql with the
// sample data, through the layer as the callers open them.
#include <string>
#include <vector>

#include "fixture.h"

namespace {

using ado::CursorType;
using ado::LockType;
using adotest::DataFolder;

std::string amountList() {
    std::vector<std::string> names{"TCP"};
    for (int k = 1; k <= 6; ++k) names.push_back("c02_" + std::to_string(k));
    for (int k = 1; k <= 6; ++k) names.push_back("Angajati_" + std::to_string(k));
    for (int k = 1; k <= 6; ++k)
        for (int n = 10; n <= 16; ++n)
            names.push_back(std::string("c").append(std::to_string(n)).append("_").append(std::to_string(k)));
    names.push_back("c22");
    names.push_back("c23");
    for (int i = 1; i <= 4; ++i) names.push_back("c23_0" + std::to_string(i));
    names.push_back("c24");
    for (int i = 1; i <= 7; ++i) names.push_back("c24_0" + std::to_string(i));
    names.push_back("c25");
    for (int i = 1; i <= 9; ++i) names.push_back("c25_0" + std::to_string(i));
    for (const char* c : {"c26", "c27", "c28", "c29", "c30", "c72"}) names.push_back(c);
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "a." : ", a.") + n;
    return list;
}

class Statements : public DataFolder {
protected:
    void SetUp() override {
        DataFolder::SetUp();
        makeDatabase(true);
        // These statements are checked against the one sample hospital that has sheets.
        rawExec("DELETE FROM Nom_Spitale WHERE IdSpital <> 1");
        rawExec("UPDATE sqlite_sequence SET seq = 1 WHERE name = 'Nom_Spitale'");
        conn = open();
    }
    std::string lookup(const std::string& sql) {
        ado::Recordset rs;
        rs.Open(sql, conn, CursorType::ForwardOnly, LockType::ReadOnly, -1);
        std::string s = rs.GetString(ado::StringFormat::Clip, -1, "&", "|", "");
        rs.Close();
        return s;
    }
    std::vector<std::string> column(const std::string& sql, const std::string& name) {
        ado::Recordset rs;
        rs.Open(sql, conn, CursorType::ForwardOnly, LockType::ReadOnly, -1);
        std::vector<std::string> out;
        while (!rs.Eof()) {
            out.push_back(rs.Fields(name).Value.toString());
            rs.MoveNext();
        }
        return out;
    }
    com::ComPtr<ado::Connection> conn;
};

TEST_F(Statements, HospitalRegister) {
    rawExec(
        "INSERT INTO Nom_Spitale (CodSpital, DenSpital, IdJudet) VALUES ('abc', 'Mic', 13), ('ZZ', 'Z', 13), ('b', "
        "NULL, 13)");
    ado::Recordset rs;
    rs.Open("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet From Nom_Spitale a Where a.IdSpital=1", conn,
            CursorType::ForwardOnly, LockType::ReadOnly, -1);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("IdSpital").Value, com::Variant(int32_t{1}));
    EXPECT_EQ(rs.Fields("codspital").Value, com::Variant("SJU01"));
    EXPECT_EQ(rs.Fields("IdJudet").Value, com::Variant(int32_t{13}));
    rs.Close();
    // Text order without regard to case, with the caller's clause appended.
    EXPECT_EQ(column("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet From Nom_Spitale a  WHERE a.IdJudet=13 "
                     "Order By a.CodSpital",
                     "CodSpital"),
              (std::vector<std::string>{"abc", "b", "SJU01", "ZZ"}));
    EXPECT_EQ(column("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet From Nom_Spitale a  Order By a.CodSpital",
                     "IdSpital")
                  .size(),
              4u);
    // Lookup list: '+' concatenates, a Null name makes the item's text Null ("").
    EXPECT_EQ(lookup("Select a.IdSpital, a.CodSpital + '---' + a.DenSpital From Nom_Spitale a Where a.IdJudet=13 Order "
                     "By a.CodSpital"),
              "2&abc---Mic|4&|1&SJU01---Spitalul Judetean de Urgenta Exemplu|3&ZZ---Z|");
    EXPECT_EQ(lookup("Select a.IdSpital, a.CodSpital + '---' + a.DenSpital From Nom_Spitale a Where a.IdJudet=-1 Order "
                     "By a.CodSpital"),
              "");
    EXPECT_EQ(lookup("Select a.IdInformatie, a.CodInformatie + '---' +a.DenInformatie As Informatie From "
                     "Nom_Informatii a Order By a.CodInformatie")
                  .substr(0, 26),
              "1&INF01---Numar de paturi|");
}

TEST_F(Statements, CountiesAndPeriods) {
    EXPECT_EQ(column("Select a.IdJudet, a.DenJudet From Nom_Judete a Where a.IdJudet=13", "DenJudet"),
              std::vector<std::string>{"Cluj"});
    const auto names = column("Select a.IdJudet, a.DenJudet From Nom_Judete a  Order By a.DenJudet", "DenJudet");
    ASSERT_EQ(names.size(), 42u);
    EXPECT_EQ(names.front(), "Alba");
    EXPECT_EQ(names.back(), "Vrancea");
    EXPECT_EQ(lookup("Select IdJudet, DenJudet From Nom_Judete").substr(0, 14), "1&Alba|2&Arad|");
    EXPECT_EQ(column("Select a.IdPerioada, a.DenPerioada From Nom_Perioade a  Order By a.IdPerioada", "IdPerioada")
                  .size(),
              144u);
    EXPECT_EQ(lookup("Select a.IdPerioada, a.DenPerioada From Nom_Perioade a  WHERE a.IdPerioada=2"),
              "2&Februarie 2024|");
    EXPECT_EQ(column("Select a.DenPerioada From Nom_Perioade a Where a.IdPerioada=14", "DenPerioada"),
              std::vector<std::string>{"Februarie 2025"});
    ado::Recordset rs;
    rs.Open("Select a.DataStart, a.DataEnd From Nom_Perioade a Where a.IdPerioada=2", conn);
    EXPECT_EQ(rs.field("DataStart"), com::Variant(com::Date::fromYmd(2024, 2, 1)));
    EXPECT_EQ(rs.field("DataEnd"), com::Variant(com::Date::fromYmd(2024, 2, 29)));
}

TEST_F(Statements, ReportCatalogueReadsNulls) {
    rawExec(
        "INSERT INTO Rapoarte VALUES (1, 'Rapoarte', NULL, 'F', NULL, NULL), (2, 'Costuri', 1, 'R', 'IdPerioada', "
        "'costuri.xml')");
    ado::Recordset rs;
    rs.Open(
        "Select a.IdRaport, a.DenRaport, a.IdParinte, a.TipRaport, a.Parametrii, a.Locatie From Rapoarte a  Order By "
        "a.IdRaport",
        conn);
    EXPECT_TRUE(rs.field("IdParinte").isNull());
    rs.MoveNext();
    EXPECT_EQ(rs.field("Locatie"), com::Variant("costuri.xml"));
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
}

TEST_F(Statements, WardRegister) {
    EXPECT_EQ(column("Select a.IdSectieFiltrat, a.IdSpital, a.IdSectie, b.SectieNume As CodSectie, a.NrSectie From "
                     "Lista_Sectii___Filtrat a Inner Join Lista_Sectii b On a.IdSectie=b.IdSectie  WHERE a.IdSpital=1 "
                     "Order By b.CodSectie",
                     "CodSectie"),
              (std::vector<std::string>{"Anestezie si terapie intensiva", "Cardiologie", "Chirurgie generala",
                                        "Medicina interna", "Medicina interna", "Neurologie", "Obstetrica-ginecologie",
                                        "Pediatrie"}));
    EXPECT_EQ(lookup("Select a.IdSectie, a.CodSectie + '---' + a.SectieNume From Lista_Sectii a Order By a.CodSectie")
                  .substr(0, 39),
              "6&ATI---Anestezie si terapie intensiva|");
    EXPECT_EQ(lookup("Select a.IdSectieFiltrat, b.CodSectie + '---' + b.SectieNume + '---' + Cstr(a.NrSectie) As "
                     "CodSectieFiltrat From Lista_Sectii___Filtrat a Inner Join Lista_Sectii b On "
                     "a.IdSectie=b.IdSectie Where a.IdSpital=1 Order By b.CodSectie, a.NrSectie"),
              "5&ATI---Anestezie si terapie intensiva---1|6&CARD---Cardiologie---1|2&CH---Chirurgie generala---1|"
              "1&MI---Medicina interna---1|8&MI---Medicina interna---2|7&NEUR---Neurologie---1|"
              "4&OG---Obstetrica-ginecologie---1|3&PED---Pediatrie---1|");
    EXPECT_EQ(lookup(
                  "Select a.IdSpital, a.IdSectie, a.NrSectie From Lista_Sectii___Filtrat a Where a.IdSectieFiltrat=8"),
              "1&1&2|");
    EXPECT_EQ(lookup("Select a.IdSectieFiltrat, a.IdSpital, a.IdSectie, a.NrSectie From Lista_Sectii___Filtrat a Where "
                     "a.IdSectieFiltrat=99"),
              "");
}

TEST_F(Statements, PeriodExportCountsAndDeletes) {
    rawExec(
        "INSERT INTO Velmora_Pacient (DataExternare) VALUES ('2024-01-01 00:00:00'), ('2024-01-31 00:00:00'), "
        "('2024-02-01 00:00:00'), (NULL)");
    auto count = [&](const std::string& sql) {
        ado::Recordset rs;
        rs.Open(sql, conn, CursorType::ForwardOnly, LockType::Optimistic, -1);
        return rs.Fields("NrRec").Value.toLong();
    };
    EXPECT_EQ(count("SELECT Count(*) As NrRec FROM Velmora_Spital a Where a.IdPerioada=1"), 1);
    EXPECT_EQ(count("SELECT Count(*) As NrRec FROM Velmora_Sectie a Where a.IdPerioada=1"), 8);
    const std::string bounds =
        "(Select DataStart From Nom_Perioade b Where b.IdPerioada=1) And (Select DataEnd From Nom_Perioade b Where "
        "b.IdPerioada=1)";
    EXPECT_EQ(count("SELECT Count(*) As NrRec FROM Velmora_Pacient a Where a.DataExternare between " + bounds), 2);
    auto execute = [&](const std::string& sql) {
        ado::Command cmd;
        cmd.ActiveConnection(conn);
        cmd.CommandType(ado::CommandType::Text);
        cmd.CommandText(sql);
        cmd.Execute(ado::ExecuteNoRecords);
    };
    execute("DELETE a.* FROM Velmora_Pacient a WHERE a.DataExternare Not between " + bounds);
    execute("DELETE a.* FROM Velmora_Sectie a WHERE a.IdPerioada<>1");
    execute("DELETE a.* FROM Velmora_Spital a WHERE a.IdPerioada<>1");
    // The patient without a discharge date stays (Null is neither between nor not between).
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Pacient"), 3);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Sectie"), 8);
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital"), 1);
}

TEST_F(Statements, CostSheetsLoadAndList) {
    const std::string amounts = amountList();
    ado::Recordset rs;
    rs.Open("Select a.IdCost, a.IdPerioada, a.IdSpital, " + amounts + " FROM Velmora_Spital a WHERE a.IdCost=1", conn);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.fieldCount(), 88);
    // The sample sheet's groups add up exactly.
    com::Currency sum;
    for (int i = 1; i <= 9; ++i) sum += rs.field("c25_0" + std::to_string(i)).toCurrency();
    EXPECT_EQ(sum, rs.field("c25").toCurrency());
    rs.Close();

    rs.Open("Select a.IdCost, a.IdPerioada, b.IdSectieFiltrat, a.IdSpital, a.IdSectie, a.NrSectie, " + amounts +
                " FROM Velmora_Sectie a Inner Join Lista_Sectii___Filtrat b On a.IdSpital=b.IdSpital And "
                "a.IdSectie=b.IdSectie And a.NrSectie=b.NrSectie WHERE a.IdCost=8",
            conn);
    EXPECT_EQ(rs.field("IdSectieFiltrat"), com::Variant(int32_t{8}));
    EXPECT_EQ(rs.field("NrSectie"), com::Variant(int32_t{2}));
    rs.Close();

    EXPECT_EQ(
        column(
            "Select a.IdCost, a.IdPerioada, b.DenPerioada As Perioada, a.IdSpital, " + amounts +
                " FROM Nom_Spitale AS c INNER JOIN (Nom_Perioade AS b INNER JOIN Velmora_Spital AS a ON b.IdPerioada = "
                "a.IdPerioada) ON c.IdSpital = a.IdSpital Where c.IdJudet=13 And a.IdSpital=1 Order By a.IdPerioada",
            "Perioada"),
        (std::vector<std::string>{"Ianuarie 2024", "Februarie 2024", "Martie 2024", "Aprilie 2024", "Mai 2024",
                                  "Iunie 2024"}));
    const auto wards = column(
        "Select a.IdCost, a.IdPerioada, b.DenPerioada As Perioada, a.IdSpital, a.IdSectie, e.CodSectie + '---' + "
        "e.SectieNume + '---' + Cstr(a.NrSectie) As CodSectie, a.NrSectie, " +
            amounts +
            " FROM Lista_Sectii AS e INNER JOIN (Lista_Sectii___Filtrat AS d INNER JOIN (Nom_Spitale AS c INNER JOIN "
            "(Nom_Perioade AS b INNER JOIN Velmora_Sectie AS a ON b.IdPerioada = a.IdPerioada) ON c.IdSpital = "
            "a.IdSpital) ON (c.IdSpital = d.IdSpital) AND (d.NrSectie = a.NrSectie) AND (d.IdSectie = a.IdSectie) AND "
            "(d.IdSpital = a.IdSpital)) ON e.IdSectie = d.IdSectie WHERE a.IdPerioada=2 And a.IdSpital=1 Order By "
            "a.IdPerioada",
        "CodSectie");
    ASSERT_EQ(wards.size(), 8u);
    EXPECT_NE(std::find(wards.begin(), wards.end(), "MI---Medicina interna---2"), wards.end());
}

// The sample cost sheets obey the rules the screens and the sheets keep: group totals equal
// their sub-lines, category totals cover their lines, and each hospital sheet is the sum of
// its wards' sheets for the period.
TEST_F(Statements, SampleSheetsAddUp) {
    auto sum = [](const std::string& prefix, int from, int to, const std::string& suffix, bool pad) {
        std::string s;
        for (int i = from; i <= to; ++i)
            s += (s.empty() ? "" : "+") + prefix + (pad && i < 10 ? "0" : "") + std::to_string(i) + suffix;
        return s;
    };
    std::vector<std::string> broken;
    for (const char* table : {"Velmora_Spital", "Velmora_Sectie"}) {
        std::vector<std::string> rules{"c23=" + sum("c23_", 1, 4, "", true), "c24=" + sum("c24_", 1, 7, "", true),
                                       "c25=" + sum("c25_", 1, 9, "", true), "TCP>=" + sum("c02_", 1, 6, "", false)};
        for (int k = 1; k <= 6; ++k)
            rules.push_back("c02_" + std::to_string(k) + ">=" + sum("c", 10, 16, "_" + std::to_string(k), false));
        for (const auto& rule : rules)
            if (rawCount(std::string("SELECT count(*) FROM ") + table + " WHERE NOT (" + rule + ")") != 0)
                broken.push_back(std::string(table) + ": " + rule);
    }
    const std::string amounts = amountList();
    for (size_t at = 0; at < amounts.size();) {
        const size_t end = std::min(amounts.find(", ", at), amounts.size());
        const std::string name = amounts.substr(at + 2, end - at - 2);  // past "a."
        at = end + 2;
        if (rawCount("SELECT count(*) FROM Velmora_Spital h WHERE h." + name + " IS NOT (SELECT sum(w." + name +
                     ") FROM Velmora_Sectie w WHERE w.IdPerioada=h.IdPerioada AND w.IdSpital=h.IdSpital)") != 0)
            broken.push_back("hospital vs wards: " + name);
    }
    EXPECT_EQ(broken, std::vector<std::string>{});
    EXPECT_EQ(rawCount("SELECT count(*) FROM Velmora_Spital"), 6);
    EXPECT_EQ(rawCount("SELECT count(DISTINCT IdSectie || '/' || NrSectie) FROM Velmora_Sectie"), 8);
}

TEST_F(Statements, RegisterAndWardSheetSaves) {
    auto save = [&](const std::string& sql, const std::vector<std::pair<std::string, com::Variant>>& values,
                    const std::string& key) {
        ado::Recordset rs;
        rs.Open(sql, conn, CursorType::Keyset, LockType::Optimistic, -1);
        if (rs.Eof()) rs.AddNew();
        for (const auto& [name, value] : values) rs.Collect(name, value);
        rs.Update();
        return rs.Fields(key).Value.toLong();
    };
    EXPECT_EQ(save("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet FROM Nom_Spitale a WHERE a.IdSpital=0",
                   {{"CodSpital", "SM02"}, {"DenSpital", "Spitalul Municipal"}, {"IdJudet", int32_t{-1}}}, "IdSpital"),
              2);
    EXPECT_EQ(save("Select a.IdSpital, a.CodSpital, a.DenSpital, a.IdJudet FROM Nom_Spitale a WHERE a.IdSpital=2",
                   {{"IdJudet", int32_t{5}}}, "IdSpital"),
              2);
    EXPECT_EQ(rawCount("SELECT IdJudet FROM Nom_Spitale WHERE IdSpital=2"), 5);
    EXPECT_EQ(save("Select a.IdSectieFiltrat, a.IdSpital, a.IdSectie, a.NrSectie FROM Lista_Sectii___Filtrat a WHERE "
                   "a.IdSectieFiltrat=0",
                   {{"IdSpital", int32_t{2}}, {"IdSectie", int32_t{5}}, {"NrSectie", int32_t{1}}}, "IdSectieFiltrat"),
              9);
    std::string ward = "Select a.IdCost, a.IdPerioada, a.IdSpital, a.IdSectie, a.TCP";
    for (int k = 1; k <= 6; ++k) ward += ", a.c02_" + std::to_string(k);
    for (int k = 1; k <= 6; ++k) ward += ", a.Angajati_" + std::to_string(k);
    const std::string all = amountList();
    ward += ", a.NrSectie, " + all.substr(all.find("a.c10_1")) + " FROM Velmora_Sectie a WHERE a.IdCost=0";
    EXPECT_EQ(save(ward,
                   {{"IdPerioada", int32_t{1}},
                    {"IdSpital", int32_t{2}},
                    {"IdSectie", int32_t{5}},
                    {"NrSectie", int32_t{1}},
                    {"c72", com::Currency::parse("12.3456")}},
                   "IdCost"),
              49);
    EXPECT_EQ(rawCount("SELECT c72 FROM Velmora_Sectie WHERE IdCost=49"), 123456);
}

}  // namespace
