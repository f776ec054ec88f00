#include "costs/cost_statements.h"

#include "costs/amount_catalogue.h"

namespace Velmora_Business {

namespace {

std::string build(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text += piece;
    return text;
}

const std::string& allAmounts() {
    static const std::string list = amountList("a.");
    return list;
}

}  // namespace

const std::string& saveStatement(SheetKind kind) {
    static const std::string hospital =
        build({"Select a.IdCost, a.IdPerioada, a.IdSpital, ", allAmounts(), " FROM Velmora_Spital a WHERE a.IdCost="});
    static const std::string ward =
        build({"Select a.IdCost, a.IdPerioada, a.IdSpital, a.IdSectie, ", amountList("a.", 0, AmountsBeforeNrSectie),
               ", a.NrSectie, ", amountList("a.", AmountsBeforeNrSectie, AmountCount),
               " FROM Velmora_Sectie a WHERE a.IdCost="});
    return kind == SheetKind::Hospital ? hospital : ward;
}

const std::string& loadStatement(SheetKind kind) {
    static const std::string ward =
        build({"Select a.IdCost, a.IdPerioada, b.IdSectieFiltrat, a.IdSpital, a.IdSectie, a.NrSectie, ", allAmounts(),
               " FROM Velmora_Sectie a Inner Join Lista_Sectii___Filtrat b On a.IdSpital=b.IdSpital And "
               "a.IdSectie=b.IdSectie And a.NrSectie=b.NrSectie WHERE a.IdCost="});
    return kind == SheetKind::Hospital ? saveStatement(kind) : ward;
}

const std::string& listHead(SheetKind kind) {
    static const std::string hospital =
        build({"Select a.IdCost, a.IdPerioada, b.DenPerioada As Perioada, a.IdSpital, ", allAmounts(),
               " FROM Nom_Spitale AS c INNER JOIN (Nom_Perioade AS b INNER JOIN Velmora_Spital AS a ON "
               "b.IdPerioada = a.IdPerioada) ON c.IdSpital = a.IdSpital "});
    static const std::string ward =
        build({"Select a.IdCost, a.IdPerioada, b.DenPerioada As Perioada, a.IdSpital, a.IdSectie, "
               "e.CodSectie + '---' + e.SectieNume + '---' + Cstr(a.NrSectie) As CodSectie, a.NrSectie, ",
               allAmounts(),
               " FROM Lista_Sectii AS e INNER JOIN (Lista_Sectii___Filtrat AS d INNER JOIN (Nom_Spitale AS c INNER "
               "JOIN (Nom_Perioade AS b INNER JOIN Velmora_Sectie AS a ON b.IdPerioada = a.IdPerioada) ON c.IdSpital = "
               "a.IdSpital) ON (c.IdSpital = d.IdSpital) AND (d.NrSectie = a.NrSectie) AND (d.IdSectie = a.IdSectie) "
               "AND (d.IdSpital = a.IdSpital)) ON e.IdSectie = d.IdSectie"});
    return kind == SheetKind::Hospital ? hospital : ward;
}

std::string listStatement(SheetKind kind, std::string_view whereClause) {
    return build({listHead(kind), whereClause, ListOrderClause});
}

std::string withId(const std::string& statement, int32_t id) { return statement + std::to_string(id); }

}  // namespace Velmora_Business
