#include "costs_fixture.h"

namespace coststest {

using namespace Velmora_Business;

void CostsTest::SetUp() {
    BusinessTest::SetUp();
    // Periods 1-3 of 2024, hospitals 1 and 2, ward types 12 and 13, and wards of hospital 1.
    for (const char* row : {
             "INSERT INTO Nom_Perioade VALUES (1, 'Ianuarie 2024', '2024-01-01 00:00:00', '2024-01-31 00:00:00')",
             "INSERT INTO Nom_Perioade VALUES (2, 'Februarie 2024', '2024-02-01 00:00:00', '2024-02-29 00:00:00')",
             "INSERT INTO Nom_Perioade VALUES (3, 'Martie 2024', '2024-03-01 00:00:00', '2024-03-31 00:00:00')",
             "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (1, 'H1', 'Spitalul Unu', 5)",
             "INSERT INTO Nom_Spitale (IdSpital, CodSpital, DenSpital, IdJudet) VALUES (2, 'H2', 'Spitalul Doi', 6)",
             "INSERT INTO Lista_Sectii VALUES (12, 'CH', 'Chirurgie')",
             "INSERT INTO Lista_Sectii VALUES (13, 'IN', 'Interne')",
             "INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (7, 1, 12, 2)",
             "INSERT INTO Lista_Sectii___Filtrat (IdSectieFiltrat, IdSpital, IdSectie, NrSectie) VALUES (8, 1, 13, 1)",
         })
        exec(row);
}

com::ComPtr<_CostSpital> CostsTest::newCostSpital() { return businesstest::create<_CostSpital>(ProgId::CostSpital); }

com::ComPtr<_CostSectie> CostsTest::newCostSectie() { return businesstest::create<_CostSectie>(ProgId::CostSectie); }

}  // namespace coststest
