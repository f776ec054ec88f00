#pragma once
// Events: one connection point per source interface; raising calls each sink's Invoke
// with the event's dispatch id, synchronously, in the order the sinks were advised.
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "com/dispatch.h"

namespace com {

class IConnectionPoint : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr Guid iid = Guid::of("{B196B286-BAB4-101A-B69C-00AA00341D07}");

    virtual Guid GetConnectionInterface() = 0;
    // Returns a cookie (never 0) for Unadvise. An empty sink raises 91.
    virtual uint32_t Advise(ComPtr<IDispatch> sink) = 0;
    // An unknown cookie raises 5.
    virtual void Unadvise(uint32_t cookie) = 0;

protected:
    ~IConnectionPoint() = default;
};

class IConnectionPointContainer : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr Guid iid = Guid::of("{B196B284-BAB4-101A-B69C-00AA00341D07}");

    // The connection point for an event interface, or an empty pointer.
    virtual ComPtr<IConnectionPoint> FindConnectionPoint(const Guid& eventInterface) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

// The connection point an event source owns (through a ComPtr) for one event interface.
class [[gnu::visibility("default")]] ConnectionPoint final : public Object<IConnectionPoint> {
public:
    explicit ConnectionPoint(const Guid& eventInterface) : iid_(eventInterface) {}

    Guid GetConnectionInterface() override { return iid_; }
    uint32_t Advise(ComPtr<IDispatch> sink) override;
    void Unadvise(uint32_t cookie) override;

    bool hasSinks() const { return !sinks_.empty(); }
    // Calls every sink advised when the raise began; a sink may advise, unadvise or
    // re-enter the source meanwhile. A sink's error reaches the raiser.
    void raise(DispId event, Args args);
    void raise(DispId event, std::vector<Variant> args = {}) { raise(event, Args(args)); }

private:
    Guid iid_;
    uint32_t nextCookie_ = 1;
    std::vector<std::pair<uint32_t, ComPtr<IDispatch>>> sinks_;
};

// Receives events in C++: maps dispatch ids to callables. Hold it through ComPtr.
class [[gnu::visibility("default")]] EventSink final : public Object<IDispatch> {
public:
    using Handler = std::function<void(Args)>;

    EventSink& on(DispId event, Handler handler) {
        handlers_[event] = std::move(handler);
        return *this;
    }

    std::optional<DispId> GetIDOfName(std::string_view) override { return std::nullopt; }
    // Events without a handler are ignored, as a client that does not handle them would.
    Variant Invoke(DispId id, InvokeKind kind, Args args) override;

private:
    std::map<DispId, Handler> handlers_;
};

// Keeps one sink advised on a source for as long as it lives.
class [[gnu::visibility("default")]] EventConnection {
public:
    EventConnection() = default;
    // Raises 438 when the source has no connection point for the interface.
    EventConnection(IUnknown & source, const Guid& eventInterface, ComPtr<IDispatch> sink);
    EventConnection(EventConnection && o) noexcept { swap(o); }
    EventConnection& operator=(EventConnection o) noexcept {
        swap(o);
        return *this;
    }
    ~EventConnection();
    void disconnect();
    void swap(EventConnection & o) noexcept {
        std::swap(point_, o.point_);
        std::swap(cookie_, o.cookie_);
    }

private:
    ComPtr<IConnectionPoint> point_;
    uint32_t cookie_ = 0;
};

}  // namespace com
