#pragma once
// The period export: one period of the live database cut out into a compacted file.
#include <cstdint>
#include <string>
#include <string_view>

#include "com/dispatch.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Export : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{D0E10F7B-05AE-4214-866E-E7CE803DBCF1}");

    virtual void put_Sursa(const std::string& value) = 0;
    virtual void put_Destinatie(const std::string& value) = 0;
    virtual void put_IdPerioada(int32_t value) = 0;
    // The workgroup file, the account the copy is opened with, and the folder of the
    // compaction's temporary file. True when the export file is complete; raises otherwise.
    virtual bool Export(const std::string& vSystemDataBase, const std::string& vUser, const std::string& vPassword,
                        const std::string& vPath) = 0;

protected:
    ~_Export() = default;
};

inline constexpr com::Guid CLSID_Export = com::Guid::of("{4E4F4FC9-ECD4-4949-AD82-6C19A3B5F66C}");
template <>
struct ClassOf<_Export> {
    static constexpr std::string_view ProgId = "Velmora_Business.Export";
    static constexpr com::Guid ClassId = CLSID_Export;
};

}  // namespace Velmora_Business
