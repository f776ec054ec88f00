// The lookup-list strings ("id&text|" per row, the last one included), on empty tables and
// with Null texts, and the single-value lookups.
#include "BusinessFixture.h"

namespace businesstest {
namespace {

class LookupTest : public BusinessTest {};

TEST_F(LookupTest, EveryListIsEmptyOnEmptyTables) {
    EXPECT_EQ(create<vb::_Judet>(vb::ProgId::Judet)->GetListaComboJudete(), "");
    auto spital = create<vb::_Spital>(vb::ProgId::Spital);
    EXPECT_EQ(spital->GetListaComboSpitale(1), "");
    EXPECT_EQ(spital->GetListaComboInformatii(), "");
    EXPECT_EQ(create<vb::_Perioada>(vb::ProgId::Perioada)->GetListaComboPerioade(), "");
    auto sectie = create<vb::_Sectie>(vb::ProgId::Sectie);
    EXPECT_EQ(sectie->GetListaComboSectii(), "");
    EXPECT_EQ(sectie->GetListaComboSectiiFiltrat(5), "");
}

TEST_F(LookupTest, RowsTextsAndNulls) {
    exec("INSERT INTO Nom_Judete (IdJudet, DenJudet) VALUES (1, 'Cluj'), (2, 'Alba')");
    exec(
        "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES "
        "(9, '34', 'Beta', 1), (5, '12', 'Alpha', 1), (6, 'H0', NULL, 1), (7, 'X', 'Y', 2)");
    exec(
        "INSERT INTO Nom_Informatii (IdInformatie, CodInformatie, DenInformatie) VALUES (3, 'B', 'Doi'), (4, 'A', "
        "'Unu')");
    exec("INSERT INTO Nom_Perioade (IdPerioada, DenPerioada) VALUES (1, 'Ianuarie'), (2, NULL)");
    exec("INSERT INTO Lista_Sectii (IdSectie, CodSectie, SectieNume) VALUES (12, 'B', 'Chirurgie'), (11, 'A', 'ATI')");
    exec(
        "INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES "
        "(21, 5, 12, 1), (22, 5, 11, 2), (23, 5, 11, 1), (24, 7, 11, 1)");

    // No order of its own: the rows as the database keeps them, not by name.
    EXPECT_EQ(create<vb::_Judet>(vb::ProgId::Judet)->GetListaComboJudete(), "1&Cluj|2&Alba|");
    auto spital = create<vb::_Spital>(vb::ProgId::Spital);
    std::string col = ";", row = "#";  // the delimiters asked for are neither read nor changed
    EXPECT_EQ(spital->GetListaComboSpitale(1, col, row), "5&12---Alpha|9&34---Beta|6&|");
    EXPECT_EQ(col + row, ";#");
    EXPECT_EQ(spital->GetListaComboInformatii(), "4&A---Unu|3&B---Doi|");

    auto perioada = create<vb::_Perioada>(vb::ProgId::Perioada);
    EXPECT_EQ(perioada->GetListaComboPerioade(), "1&Ianuarie|2&|");
    EXPECT_EQ(perioada->GetListaComboPerioade(" WHERE a.IdPerioada=1"), "1&Ianuarie|");
    EXPECT_EQ(perioada->GetDenScurta(1), "Ianuarie");
    EXPECT_EQ(perioada->GetDenScurta(99), "");
    const com::Error nullName = errorOf([&] { perioada->GetDenScurta(2); });
    EXPECT_EQ(nullName.number(), com::errc::InvalidUseOfNull);
    EXPECT_EQ(nullName.source().rfind("Ambrel_Core", 0), std::string::npos);  // not trapped

    auto sectie = create<vb::_Sectie>(vb::ProgId::Sectie);
    EXPECT_EQ(sectie->GetListaComboSectii(), "11&A---ATI|12&B---Chirurgie|");
    EXPECT_EQ(sectie->GetListaComboSectiiFiltrat(5), "23&A---ATI---1|22&A---ATI---2|21&B---Chirurgie---1|");

    // By-reference outputs reach a late-bound caller too.
    std::vector<Variant> args{Variant(int32_t{22}), Variant(), Variant(), Variant()};
    auto& dispatch = static_cast<com::IDispatch&>(*sectie);
    dispatch.Invoke(*dispatch.GetIDOfName("GetInfoSectieFiltrat"), com::InvokeKind::Method, args);
    EXPECT_EQ(args[1], Variant(int32_t{5}));
    EXPECT_EQ(args[2], Variant(int32_t{11}));
    EXPECT_EQ(args[3], Variant(int32_t{2}));
}

}  // namespace
}  // namespace businesstest
