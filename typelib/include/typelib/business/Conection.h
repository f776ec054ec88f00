#pragma once
// The shared database connection of the business library.
#include <cstdint>
#include <string>

#include "com/dispatch.h"
#include "typelib/business/ClassOf.h"

namespace Velmora_Business {

class _Conection : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{84153331-8CD3-4F6E-A51B-12854C8205A4}");

    // The thread's one data-layer connection itself (ado::Connection::from finds its type);
    // its properties "Data Source", "User ID" and "Password" are readable late-bound.
    virtual com::ComPtr<com::IDispatch> get_ConnnectionObject() = 0;
    // Compacts the data file, then opens the shared connection; true, or raises.
    virtual bool Connect(const std::string& vstrDataSource, const std::string& vstrSystemDataBase,
                         const std::string& vstrUser, const std::string& vstrPassord, const std::string& vstrPath,
                         int32_t CursorLocation = 2) = 0;
    // Closes and releases the shared connection; always false, never raises.
    virtual bool Disconnect() = 0;

protected:
    ~_Conection() = default;
};

inline constexpr com::Guid CLSID_Conection = com::Guid::of("{9DC94A75-7773-4796-8EE1-0123D9C96B34}");
template <>
struct ClassOf<_Conection> {
    static constexpr std::string_view ProgId = "Velmora_Business.Conection";
    static constexpr com::Guid ClassId = CLSID_Conection;
};

}  // namespace Velmora_Business
