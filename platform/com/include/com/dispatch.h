#pragma once
// Late binding: members found by name (without regard to case) and invoked by dispatch id.
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "com/error.h"
#include "com/object.h"
#include "com/variant.h"

namespace com {

using DispId = int32_t;

namespace dispid {
inline constexpr DispId Value = 0;  // the default member
inline constexpr DispId Unknown = -1;
inline constexpr DispId NewEnum = -4;
inline constexpr DispId AboutBox = -552;
}  // namespace dispid

enum class InvokeKind { Method = 1, PropertyGet = 2, PropertyPut = 4, PropertyPutRef = 8 };

// Arguments are passed in their natural order (first argument first). A property put
// receives the new value as its last argument. Arguments may be changed by the callee
// (by-reference parameters).
using Args = std::span<Variant>;

class IDispatch : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr Guid iid = Guid::of("{00020400-0000-0000-C000-000000000046}");

    // The member's dispatch id, or nullopt when no member has that name.
    virtual std::optional<DispId> GetIDOfName(std::string_view name) = 0;
    // Raises com::Error 438 for a member or kind the object does not have, 450 for a
    // wrong number of arguments, or whatever the member itself raises.
    virtual Variant Invoke(DispId id, InvokeKind kind, Args args) = 0;

protected:
    ~IDispatch() = default;
};

// Call-by-name on top of IDispatch; an unknown name raises 438 naming the member.
[[gnu::visibility("default")]] Variant callByName(IDispatch& object, std::string_view name, InvokeKind kind,
                                                  std::vector<Variant> args = {});
inline Variant getProperty(IDispatch& object, std::string_view name) {
    return callByName(object, name, InvokeKind::PropertyGet);
}
inline void putProperty(IDispatch& object, std::string_view name, Variant value) {
    callByName(object, name, InvokeKind::PropertyPut, {std::move(value)});
}
inline Variant callMethod(IDispatch& object, std::string_view name, std::vector<Variant> args = {}) {
    return callByName(object, name, InvokeKind::Method, std::move(args));
}

[[gnu::visibility("default")]] bool equalsIgnoreCase(std::string_view a, std::string_view b) noexcept;

// A class's static table of members, by which it implements IDispatch. Each entry binds
// a name and dispatch id to plain functions (capture-less lambdas) of the class.
template <class T>
struct Member {
    std::string_view name;
    DispId id;
    Variant (*get)(T&, Args) = nullptr;                  // property get
    void (*put)(T&, Args, const Variant&) = nullptr;     // property put (value apart)
    Variant (*call)(T&, Args) = nullptr;                 // method
    void (*putRef)(T&, Args, const Variant&) = nullptr;  // property putref
    int minArgs = 0;                                     // arguments besides a put's value
    int maxArgs = 0;
};

template <class T>
class DispatchTable {
public:
    // Two members sharing a dispatch id raise 5: the second could never be reached.
    DispatchTable(std::initializer_list<Member<T>> members) : members_(members) {
        for (auto a = members_.begin(); a != members_.end(); ++a)
            for (auto b = std::next(a); b != members_.end(); ++b)
                if (a->id == b->id)
                    raise(errc::InvalidProcedureCall, "DispatchTable",
                          std::string(a->name) + " and " + std::string(b->name) + " share the dispatch id " +
                              std::to_string(a->id));
    }

    std::optional<DispId> idOf(std::string_view name) const {
        for (const auto& m : members_)
            if (equalsIgnoreCase(m.name, name)) return m.id;
        return std::nullopt;
    }

    const Member<T>* byId(DispId id) const {
        for (const auto& m : members_)
            if (m.id == id) return &m;
        return nullptr;
    }

    Variant invoke(T& self, DispId id, InvokeKind kind, Args args) const {
        const Member<T>* m = byId(id);
        if (!m) raise(errc::NoSuchMember, "", "Object doesn't support this property or method");
        const bool isPut = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
        if (isPut && args.empty())
            raise(errc::WrongArgumentCount, "", "Wrong number of arguments or invalid property assignment");
        const Args plain = isPut ? args.first(args.size() - 1) : args;
        if (static_cast<int>(plain.size()) < m->minArgs || static_cast<int>(plain.size()) > m->maxArgs)
            raise(errc::WrongArgumentCount, "", "Wrong number of arguments or invalid property assignment");
        switch (kind) {
        case InvokeKind::Method:
            if (m->call) return m->call(self, plain);
            if (m->get) return m->get(self, plain);  // a property read as a method call
            break;
        case InvokeKind::PropertyGet:
            if (m->get) return m->get(self, plain);
            if (m->call) return m->call(self, plain);  // a function read as a property
            break;
        case InvokeKind::PropertyPut:
            if (m->put) {
                m->put(self, plain, args.back());
                return {};
            }
            if (m->putRef) {
                m->putRef(self, plain, args.back());
                return {};
            }
            break;
        case InvokeKind::PropertyPutRef:
            if (m->putRef) {
                m->putRef(self, plain, args.back());
                return {};
            }
            break;
        }
        raise(errc::NoSuchMember, "", "Object doesn't support this property or method");
    }

    const std::vector<Member<T>>& members() const { return members_; }

private:
    std::vector<Member<T>> members_;
};

// Implements IDispatch (through the class's `static const DispatchTable<Derived>& dispatchTable()`)
// and IUnknown for a class whose first interface derives from IDispatch.
template <class Derived, class First, class... Rest>
class Dispatchable : public Object<First, Rest...> {
public:
    std::optional<DispId> GetIDOfName(std::string_view name) override { return Derived::dispatchTable().idOf(name); }
    Variant Invoke(DispId id, InvokeKind kind, Args args) override {
        return Derived::dispatchTable().invoke(static_cast<Derived&>(*this), id, kind, args);
    }
};

}  // namespace com
