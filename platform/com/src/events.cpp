#include "com/events.h"

#include <algorithm>

namespace com {

uint32_t ConnectionPoint::Advise(ComPtr<IDispatch> sink) {
    if (!sink) com::raise(errc::ObjectNotSet, "ConnectionPoint-Advise");
    const uint32_t cookie = nextCookie_++;
    sinks_.emplace_back(cookie, std::move(sink));
    return cookie;
}

void ConnectionPoint::Unadvise(uint32_t cookie) {
    const auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
    if (it == sinks_.end())
        com::raise(errc::InvalidProcedureCall, "ConnectionPoint-Unadvise", "No sink is advised with this cookie");
    sinks_.erase(it);
}

void ConnectionPoint::raise(DispId event, Args args) {
    if (sinks_.empty()) return;
    // A sink may drop the last reference to the source, and with it this point.
    const ComPtr<IConnectionPoint> keepAlive(this);
    // A snapshot, so that sinks may advise or unadvise while the event runs.
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) {
        const bool stillAdvised =
            std::any_of(sinks_.begin(), sinks_.end(), [c = cookie](const auto& s) { return s.first == c; });
        if (stillAdvised) sink->Invoke(event, InvokeKind::Method, args);
    }
}

Variant EventSink::Invoke(DispId id, InvokeKind, Args args) {
    const auto it = handlers_.find(id);
    if (it != handlers_.end()) it->second(args);
    return {};
}

EventConnection::EventConnection(IUnknown& source, const Guid& eventInterface, ComPtr<IDispatch> sink) {
    const auto container = ComPtr<IConnectionPointContainer>::adopt(
        static_cast<IConnectionPointContainer*>(source.QueryInterface(IConnectionPointContainer::iid)));
    if (container) point_ = container->FindConnectionPoint(eventInterface);
    if (!point_)
        com::raise(errc::NoSuchMember, "EventConnection",
                   "The object raises no events of interface " + eventInterface.toString());
    cookie_ = point_->Advise(std::move(sink));
}

EventConnection::~EventConnection() { disconnect(); }

void EventConnection::disconnect() {
    if (!point_) return;
    auto point = std::move(point_);
    point_.reset();
    try {
        point->Unadvise(cookie_);
    } catch (const Error&) {
        // The source already dropped the sink (it was cleared); nothing is left to undo.
    }
}

}  // namespace com
