#pragma once
// Export: cuts one reporting period out of the live database into a compacted file of its
// own. The live database is only read (copied through the data layer), never changed; the
// file is built under a hidden name and renamed to the chosen one when finished.
#include <cstdint>
#include <filesystem>
#include <string>

#include "com/dispatch.h"
#include "typelib/business/Export.h"

namespace Velmora_Business {

class PeriodExport final : public com::Dispatchable<PeriodExport, _Export> {
public:
    static constexpr std::string_view ClassName = classNameOf<_Export>();
    // The refusal of a period without rows (one above the base of the objects' own numbers).
    static constexpr int32_t NothingToExport = -2147221503;
    static constexpr std::string_view NothingToExportText =
        "Nu sunt inregistrari in baza specifice selectie efectuate.\r\nNu se va exporta nimic.";

    void put_Sursa(const std::string& value) override { sursa_ = value; }
    void put_Destinatie(const std::string& value) override { destinatie_ = value; }
    void put_IdPerioada(int32_t value) override { idPerioada_ = value; }
    bool Export(const std::string& vSystemDataBase, const std::string& vUser, const std::string& vPassword,
                const std::string& vPath) override;

    static const com::DispatchTable<PeriodExport>& dispatchTable();

private:
    // Counts the period's rows in the copy, refuses an empty period, deletes the others.
    void cutOutPeriod(const std::filesystem::path& copy, const std::string& vSystemDataBase, const std::string& vUser,
                      const std::string& vPassword) const;

    std::string sursa_;
    std::string destinatie_;
    int32_t idPerioada_ = 0;
};

}  // namespace Velmora_Business
