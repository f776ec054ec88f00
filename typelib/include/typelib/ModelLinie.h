#pragma once
// The row model: an edit screen reads and writes a business object's fields by 1-based
// field number or by property name, without knowing its class.
#include <cstdint>
#include <string>

#include "com/dispatch.h"

namespace Gravlin {

class ModelLinie : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{08BA7E26-5606-4388-BB4F-2455DA713583}");

    // bDirtyObject and record are read by no implementation.
    virtual void SetData(int32_t Field, const com::Variant& newData, bool bDirtyObject) = 0;
    virtual void SetDataByName(const std::string& FieldName, const com::Variant& newData, bool bDirtyObject) = 0;
    virtual std::string GetFieldName(int32_t Field) = 0;
    virtual com::Variant GetData(int32_t Field) = 0;
    virtual com::Variant GetDataByName(const std::string& FieldName) = 0;
    virtual int32_t GetFieldCount() = 0;
    virtual void Delete(bool record) = 0;
    virtual void UnDelete(bool record) = 0;
    virtual bool IsDeleted() = 0;

protected:
    ~ModelLinie() = default;
};

}  // namespace Gravlin
