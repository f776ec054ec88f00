#pragma once
// Builds a class's dispatch table from its member functions: arguments arrive as variants
// and are converted to the parameters' types, results go back as variants, missing
// trailing arguments take the defaults given, and by-reference parameters are written
// back into the caller's arguments. A library converts a type of its own by specialising
// Conversion.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/error.h"

namespace com::binding {

template <class T>
struct IsComPtr : std::false_type {};
template <class I>
struct IsComPtr<com::ComPtr<I>> : std::true_type {};

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

// A type of a library's own, as a parameter or a result: a specialisation gives
// `static T from(const com::Variant&)` and `static com::Variant to(const T&)`.
template <class T>
struct Conversion {};

// A variant as a parameter's type, by the Automation coercions. An optional parameter
// is empty for Empty, the value of an argument left out.
template <class T>
T fromVariant(const com::Variant& value) {
    if constexpr (requires { Conversion<T>::from(value); }) return Conversion<T>::from(value);
    else if constexpr (IsOptional<T>::value) {
        if (value.isEmpty()) return std::nullopt;
        return fromVariant<typename T::value_type>(value);
    } else if constexpr (std::is_same_v<T, com::Variant>) return value;
    else if constexpr (std::is_same_v<T, bool>) return value.toBool();
    else if constexpr (std::is_same_v<T, int16_t>) return value.toInteger();
    else if constexpr (std::is_same_v<T, int32_t>) return value.toLong();
    else if constexpr (std::is_same_v<T, double>) return value.toDouble();
    else if constexpr (std::is_same_v<T, com::Currency>) return value.toCurrency();
    else if constexpr (std::is_same_v<T, com::Date>) return value.toDate();
    else if constexpr (std::is_same_v<T, std::string>) return value.toString();
    else if constexpr (IsComPtr<T>::value) {
        const auto object = value.toObject();
        if (!object) return T{};
        auto typed = object.template query<typename std::pointer_traits<T>::element_type>();
        if (!typed) com::raise(com::errc::TypeMismatch, "");
        return typed;
    } else static_assert(sizeof(T) == 0, "no conversion from a variant to this type");
}

template <class T>
com::Variant toVariant(T&& value) {
    using V = std::remove_cvref_t<T>;
    if constexpr (requires { Conversion<V>::to(value); }) return Conversion<V>::to(value);
    else if constexpr (IsOptional<V>::value) return value ? toVariant(*std::forward<T>(value)) : com::Variant();
    else if constexpr (std::is_same_v<V, com::Variant>) return std::forward<T>(value);
    else if constexpr (IsComPtr<V>::value) return com::Variant(value);
    else return com::Variant(std::forward<T>(value));
}

template <class F>
struct FnTraits;
template <class R, class C, class... P>
struct FnTraits<R (C::*)(P...)> {
    using Result = R;
    using Params = std::tuple<P...>;
    static constexpr std::size_t arity = sizeof...(P);
};
template <class R, class C, class... P>
struct FnTraits<R (C::*)(P...) const> : FnTraits<R (C::*)(P...)> {};

// A default that is the parameter's empty value ("" for text).
struct Blank {};

template <auto... Values>
struct Defaults {
    static constexpr std::size_t count = sizeof...(Values);
    static constexpr auto values = std::tuple<decltype(Values)...>{Values...};
};

namespace detail {

template <class Seq>
struct BlankDefaults;
template <std::size_t... I>
struct BlankDefaults<std::index_sequence<I...>> {
    using type = Defaults<((void)I, Blank{})...>;
};

template <class P>
using Stored = std::remove_cvref_t<P>;

template <class P>
constexpr bool writesBack = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

template <class P, std::size_t I, std::size_t Required, class Dflt>
Stored<P> argument(com::Args args) {
    if (I < args.size()) return fromVariant<Stored<P>>(args[I]);
    if constexpr (I >= Required) {
        const auto& value = std::get<I - Required>(Dflt::values);
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, Blank>) return Stored<P>{};
        else return Stored<P>(value);
    } else {
        com::raise(com::errc::WrongArgumentCount, "", "Argument not optional");
    }
}

template <class T, auto Fn, class Dflt, std::size_t Offset, std::size_t... I>
com::Variant invoke(T& self, com::Args args, std::index_sequence<I...>, const com::Variant* extra = nullptr) {
    using Traits = FnTraits<decltype(Fn)>;
    using Params = typename Traits::Params;
    [[maybe_unused]] constexpr std::size_t required = Traits::arity - Offset - Dflt::count;
    std::tuple<Stored<std::tuple_element_t<I + Offset, Params>>...> values{
        argument<std::tuple_element_t<I + Offset, Params>, I, required, Dflt>(args)...};
    auto call = [&]() -> decltype(auto) {
        if constexpr (Offset == 1)
            return (self.*Fn)(fromVariant<Stored<std::tuple_element_t<0, Params>>>(*extra), std::get<I>(values)...);
        else return (self.*Fn)(std::get<I>(values)...);
    };
    auto writeBack = [&] {
        ((writesBack<std::tuple_element_t<I + Offset, Params>> && I < args.size()
              ? void(args[I] = toVariant(std::get<I>(values)))
              : void()),
         ...);
    };
    if constexpr (std::is_void_v<typename Traits::Result>) {
        call();
        writeBack();
        return {};
    } else {
        com::Variant result = toVariant(call());
        writeBack();
        return result;
    }
}

}  // namespace detail

// A method (or a property read with arguments); Dflt gives the trailing optional ones.
template <class T, auto Fn, class Dflt = Defaults<>>
com::Member<T> method(std::string_view name, com::DispId id) {
    using Traits = FnTraits<decltype(Fn)>;
    com::Member<T> m{name, id};
    m.call = [](T& self, com::Args args) {
        return detail::invoke<T, Fn, Dflt, 0>(self, args, std::make_index_sequence<Traits::arity>{});
    };
    m.minArgs = static_cast<int>(Traits::arity - Dflt::count);
    m.maxArgs = static_cast<int>(Traits::arity);
    return m;
}

// How a property takes a new value: assigned (let), set by reference (an object, a
// font), or either way.
enum class Assign { Let, Set, LetOrSet };

// A property; Get or Put may be nullptr for a write-only or read-only one. Put's first
// parameter is the value, any further ones are optional flags that take their empty value
// when left out. `ignoredArgs` optional arguments of the read are accepted and not passed on.
template <class T, auto Get, auto Put = nullptr, Assign how = Assign::Let>
com::Member<T> property(std::string_view name, com::DispId id, int ignoredArgs = 0) {
    com::Member<T> m{name, id};
    if constexpr (!std::is_same_v<decltype(Get), std::nullptr_t>)
        m.get = [](T& self, com::Args) { return toVariant((self.*Get)()); };
    m.maxArgs = ignoredArgs;
    if constexpr (!std::is_same_v<decltype(Put), std::nullptr_t>) {
        using Traits = FnTraits<decltype(Put)>;
        constexpr auto put = [](T& self, com::Args args, const com::Variant& value) {
            using Flags = typename detail::BlankDefaults<std::make_index_sequence<Traits::arity - 1>>::type;
            detail::invoke<T, Put, Flags, 1>(self, args, std::make_index_sequence<Traits::arity - 1>{}, &value);
        };
        if constexpr (how != Assign::Set) m.put = put;
        if constexpr (how != Assign::Let) m.putRef = put;
        m.maxArgs = std::max<int>(ignoredArgs, static_cast<int>(Traits::arity - 1));
    }
    return m;
}

}  // namespace com::binding
