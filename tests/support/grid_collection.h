#pragma once
// A small in-memory collection offering the grid's data source interface, as a host
// would hand one to the grid: fields by number, items by index, deleted marks, and a log
// of the values written. It answers only for items that exist.
#include <functional>
#include <string>
#include <vector>

#include "com/dispatch.h"
#include "com/error.h"
#include "typelib/ModelColectie.h"

namespace quillon::test {

class GridCollection final : public com::Dispatchable<GridCollection, Gravlin::ModelColectie> {
public:
    struct Write {
        int32_t field;
        int32_t index;
        com::Variant value;
    };

    static const com::DispatchTable<GridCollection>& dispatchTable() {
        static const com::DispatchTable<GridCollection> table{};
        return table;
    }

    GridCollection(std::vector<std::string> names, std::vector<std::vector<com::Variant>> rows)
        : fields(std::move(names)), items(std::move(rows)), deleted(items.size(), false) {}

    void SetData(int32_t field, int32_t index, const com::Variant& value, bool) override {
        if (failWrites || (failWritesOf && failWritesOf == field))
            com::raise(failWrites ? failWrites : 5, "Colectie.SetData", "Valoarea nu poate fi scrisa.");
        if (index == static_cast<int32_t>(items.size()) + 1) {  // a new line's first value makes its item
            items.emplace_back(fields.size(), com::Variant::null());
            deleted.push_back(false);
        }
        cell(field, index) = value;
        writes.push_back({field, index, value});
    }
    std::string GetFieldName(int32_t field) override {
        if (field < 1 || field > static_cast<int32_t>(fields.size()))
            com::raise(com::errc::SubscriptOutOfRange, "Colectie");
        return fields[static_cast<size_t>(field - 1)];
    }
    int32_t Count() override { return static_cast<int32_t>(items.size()); }
    com::Variant GetData(int32_t field, int32_t index) override {
        ++reads;
        if (failReadsOf == field) com::raise(failReadsCode, "Colectie.GetData", "Valoarea nu poate fi citita.");
        return cell(field, index);
    }
    int32_t GetFieldCount() override { return static_cast<int32_t>(fields.size()); }
    void Delete(int32_t index) override {
        if (failMarks) com::raise(failMarks, "Colectie.Delete", "Linia nu poate fi stearsa.");
        check(1, index);
        deleted[static_cast<size_t>(index - 1)] = true;
    }
    void UnDelete(int32_t index) override {
        check(1, index);
        deleted[static_cast<size_t>(index - 1)] = false;
    }
    bool IsDeleted(int32_t index) override {
        check(1, index);
        return deleted[static_cast<size_t>(index - 1)];
    }

    com::Variant& cell(int32_t field, int32_t index) {
        check(field, index);
        return items[static_cast<size_t>(index - 1)][static_cast<size_t>(field - 1)];
    }

    std::vector<std::string> fields;
    std::vector<std::vector<com::Variant>> items;
    std::vector<bool> deleted;
    std::vector<Write> writes;
    long reads = 0;
    int32_t failWrites = 0;    // an error number SetData raises, 0 for none
    int32_t failWritesOf = 0;  // a field whose writes fail with error 5
    int32_t failMarks = 0;     // likewise for Delete
    int32_t failReadsOf = 0;   // a field whose reads fail
    int32_t failReadsCode = 0;

private:
    void check(int32_t field, int32_t index) const {
        if (field < 1 || field > static_cast<int32_t>(fields.size()) || index < 1 ||
            index > static_cast<int32_t>(items.size()))
            com::raise(com::errc::SubscriptOutOfRange, "Colectie",
                       "Nu exista campul " + std::to_string(field) + " al elementului " + std::to_string(index) + ".");
    }
};

}  // namespace quillon::test
