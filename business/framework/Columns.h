#pragma once
// A register's columns after its key, one table per register (its `Columns`, defined
// after the class in the register's header, so that the walks inline each column's
// functions), in the order the statements select them: from that table come the
// statements' column lists, Clear, Load, LoadList, CopyMe, Save, the row model and the
// column properties of the dispatch table. The cost sheets have their own table, the
// amount catalogue.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "Binding.h"
#include "DataAccess.h"

namespace Velmora_Business {

// One field of the row model: the control's name, the property's name, and the write of a
// converted value through the property's public setter (its flags left False).
template <class T>
struct RowField {
    std::string_view fieldName;
    std::string_view propertyName;
    void (*write)(T&, const com::Variant&);
};

// Calls a public setter with its flags (bNotMakeDirty, ...) left False.
template <auto Set, class T, class V>
void callSetter(T& self, V&& value) {
    using Params = typename binding::FnTraits<decltype(Set)>::Params;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (self.*Set)(std::forward<V>(value), std::remove_cvref_t<std::tuple_element_t<I + 1, Params>>{}...);
    }
    (std::make_index_sequence<std::tuple_size_v<Params> - 1>{});
}

// Which statements select a column: all of them, or only the list statement (a name that
// lists show, joined from another table and never saved).
enum class ColumnUse : uint8_t { Stored, ListOnly };
// How a Null is read: it fails with the conversion error, or reads as 0 or "".
enum class NullRead : uint8_t { Fails, Blank };

struct ColumnOptions {
    std::string_view property{};    // the property's name when it is not the column's
    std::string_view listSource{};  // the list statement's expression when it is not a.<column>
    ColumnUse use = ColumnUse::Stored;
    NullRead loadNull = NullRead::Fails;  // by Load
    NullRead listNull = NullRead::Fails;  // by LoadList
    std::string_view control{};           // the row model's field name; none: not in the row model
    int rowPosition = 0;                  // its place in the row model, from 1
    int32_t blank = 0;                    // what Clear leaves in a number (a text is left "")
};

template <class T>
struct Column {
    std::string_view name;
    ColumnOptions options;
    void (*clear)(T&, const Column&);
    void (*load)(T&, const ado::Recordset&, const Column&);    // Load: straight into the field
    void (*assign)(T&, const ado::Recordset&, const Column&);  // LoadList: through the setter
    void (*copy)(const T&, T&);                                // CopyMe: through the copy's setter
    void (*write)(const T&, ado::Recordset&, const Column&);   // Save
    void (*rowWrite)(T&, const com::Variant&);                 // the row model, through the setter
    com::Member<T> (*member)(std::string_view, com::DispId);   // the dispatch table's property

    std::string_view property() const { return options.property.empty() ? name : options.property; }
};

namespace detail {

template <class V>
V readColumn(const ado::Recordset& rs, std::string_view column, NullRead nulls) {
    if constexpr (std::is_same_v<V, int32_t>)
        return nulls == NullRead::Fails ? data::readLong(rs, column) : data::readLongOrZero(rs, column);
    else return nulls == NullRead::Fails ? data::readText(rs, column) : data::readTextOrEmpty(rs, column);
}

template <class F>
struct FieldOf;
template <class C, class V>
struct FieldOf<V C::*> {
    using type = V;
};

}  // namespace detail

// The column `name` of T, held in the field `Field`, read by `Get` and set by `Set` (Load
// writes the field itself; LoadList and CopyMe go through `Set`). The dispatch table's
// property reads with `Get` and writes with `Put` (none: read only).
template <class T, auto Field, auto Get, auto Set, auto Put = Set>
constexpr Column<T> column(std::string_view name, ColumnOptions options = {}) {
    using V = typename detail::FieldOf<decltype(Field)>::type;
    Column<T> c{};
    c.name = name;
    c.options = options;
    c.clear = [](T& self, const Column<T>& col) {
        if constexpr (std::is_same_v<V, int32_t>) self.*Field = col.options.blank;
        else self.*Field = V{};
    };
    c.load = [](T& self, const ado::Recordset& rs, const Column<T>& col) {
        self.*Field = detail::readColumn<V>(rs, col.name, col.options.loadNull);
    };
    c.assign = [](T& self, const ado::Recordset& rs, const Column<T>& col) {
        callSetter<Set>(self, detail::readColumn<V>(rs, col.name, col.options.listNull));
    };
    c.copy = [](const T& self, T& copy) { callSetter<Set>(copy, self.*Field); };
    c.write = [](const T& self, ado::Recordset& rs, const Column<T>& col) {
        rs.Collect(col.name, com::Variant(self.*Field));
    };
    c.rowWrite = [](T& self, const com::Variant& value) {
        using Value = std::remove_cvref_t<std::tuple_element_t<0, typename binding::FnTraits<decltype(Set)>::Params>>;
        callSetter<Set>(self, binding::fromVariant<Value>(value));
    };
    c.member = [](std::string_view property, com::DispId id) { return binding::property<T, Get, Put>(property, id); };
    return c;
}

// The walks of the table, in its order (unrolled, so that each column's functions can be
// inlined where the table is known).
template <class T, class F>
void forEachColumn(F&& f) {
    constexpr std::size_t count = std::tuple_size_v<std::remove_cv_t<decltype(T::Columns)>>;
    [&]<std::size_t... I>(std::index_sequence<I...>) { (f(T::Columns[I]), ...); }
    (std::make_index_sequence<count>{});
}
template <class T>
void clearColumns(T& self) {
    forEachColumn<T>([&](const Column<T>& c) { c.clear(self, c); });
}
template <class T>
void loadColumns(T& self, const ado::Recordset& rs) {
    forEachColumn<T>([&](const Column<T>& c) {
        if (c.options.use == ColumnUse::Stored) c.load(self, rs, c);
    });
}
template <class T>
void assignColumns(T& self, const ado::Recordset& rs) {
    forEachColumn<T>([&](const Column<T>& c) { c.assign(self, rs, c); });
}
template <class T>
void copyColumns(const T& self, T& copy) {
    forEachColumn<T>([&](const Column<T>& c) { c.copy(self, copy); });
}
template <class T>
void writeColumns(const T& self, ado::Recordset& rs) {
    forEachColumn<T>([&](const Column<T>& c) {
        if (c.options.use == ColumnUse::Stored) c.write(self, rs, c);
    });
}

// The row model of the table: the columns that name a control, by their row position.
template <class T>
std::span<const RowField<T>> columnRowFields() {
    static const auto fields = [] {
        std::array<RowField<T>, std::tuple_size_v<std::remove_cv_t<decltype(T::Columns)>>> list{};
        std::size_t count = 0;
        for (const auto& c : T::Columns) {
            if (c.options.control.empty()) continue;
            list[static_cast<std::size_t>(c.options.rowPosition - 1)] = {c.options.control, c.property(), c.rowWrite};
            ++count;
        }
        return std::pair{list, count};
    }();
    return std::span<const RowField<T>>(fields.first.data(), fields.second);
}

// "a.IdSpital, a.CodSpital, ..." : the key, then the columns that `use` selects, each as
// its list expression where the statement is the list statement.
template <class T>
std::string columnList(bool listStatement) {
    std::string text = "a.";
    text += T::IdColumn;
    for (const auto& c : T::Columns) {
        if (!listStatement && c.options.use == ColumnUse::ListOnly) continue;
        text += ", ";
        if (listStatement && !c.options.listSource.empty()) {
            text += c.options.listSource;
        } else {
            text += "a.";
            text += c.name;
        }
    }
    return text;
}

// A register's dispatch table: the marks (1 to 3), the key (4, named as its column), the
// columns' properties numbered on from 5 in the table's order, then `rest`, numbered by
// the register.
template <class T, auto GetId, class... Rest>
com::DispatchTable<T> registerDispatch(Rest... rest) {
    using namespace binding;
    constexpr std::size_t count = std::tuple_size_v<std::remove_cv_t<decltype(T::Columns)>>;
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return com::DispatchTable<T>{
            property<T, &T::get_IsNew>("IsNew", 1),
            property<T, &T::get_IsDirty, &T::put_IsDirty>("IsDirty", 2),
            property<T, &T::get_IsDeleted>("IsDeleted", 3),
            property<T, GetId>(T::IdColumn, 4),
            T::Columns[I].member(T::Columns[I].property(), static_cast<com::DispId>(5 + I))...,
            std::move(rest)...,
        };
    }
    (std::make_index_sequence<count>{});
}

}  // namespace Velmora_Business
