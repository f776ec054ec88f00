#pragma once
// The data source of a grid: a collection of items whose fields are read and written by
// 1-based field number and 1-based item index, with items marked deleted in place.
#include <cstdint>
#include <string>

#include "com/dispatch.h"

namespace Gravlin {

class ModelColectie : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{EE32F167-9D7E-4847-B905-DA7E40EDC4DC}");

    // Stores one cell; bDirtyObject is always True from the grid.
    virtual void SetData(int32_t Field, int32_t Index, const com::Variant& newData, bool bDirtyObject) = 0;
    virtual std::string GetFieldName(int32_t Field) = 0;
    virtual int32_t Count() = 0;
    // One cell's value; Null is allowed.
    virtual com::Variant GetData(int32_t Field, int32_t Index) = 0;
    virtual int32_t GetFieldCount() = 0;
    virtual void Delete(int32_t Index) = 0;
    virtual void UnDelete(int32_t Index) = 0;
    virtual bool IsDeleted(int32_t Index) = 0;

protected:
    ~ModelColectie() = default;
};

}  // namespace Gravlin
