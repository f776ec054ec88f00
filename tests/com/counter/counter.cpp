// The test class library: one creatable class behind the object layer's four entry points.
#include "counter.h"

#include "com/events.h"
#include "com/server.h"

namespace {

class Counter final : public com::Dispatchable<Counter, counter::ICounter, com::IConnectionPointContainer> {
public:
    static const com::DispatchTable<Counter>& dispatchTable();

    int32_t Value() override { return value_; }
    void setValue(int32_t value) override {
        value_ = value;
        changed();
    }
    int32_t Add(int32_t amount) override {
        int32_t sum;
        if (__builtin_add_overflow(value_, amount, &sum)) com::raise(com::errc::Overflow, "VelmoraTest.Counter");
        setValue(sum);
        return value_;
    }
    std::string Name() override { return "Counter"; }

    com::ComPtr<com::IConnectionPoint> FindConnectionPoint(const com::Guid& eventInterface) override {
        if (eventInterface == counter::events::iid) return events_;
        return {};
    }

private:
    void changed() { events_->raise(counter::events::Changed, {com::Variant(value_)}); }

    int32_t value_ = 0;
    com::ComPtr<com::ConnectionPoint> events_ = com::make<com::ConnectionPoint>(counter::events::iid);
};

const com::DispatchTable<Counter>& Counter::dispatchTable() {
    using com::Args;
    using com::Variant;
    static const com::DispatchTable<Counter> table{
        {.name = "Value",
         .id = counter::dispid::Value,
         .get = [](Counter& c, Args) { return Variant(c.Value()); },
         .put = [](Counter& c, Args, const Variant& v) { c.setValue(v.toLong()); }},
        {.name = "Add",
         .id = counter::dispid::Add,
         .call = [](Counter& c, Args a) { return Variant(c.Add(a[0].toLong())); },
         .minArgs = 1,
         .maxArgs = 1},
        {.name = "Name", .id = counter::dispid::Name, .get = [](Counter& c, Args) { return Variant(c.Name()); }},
        {.name = "Reset",
         .id = counter::dispid::Reset,
         .call =
             [](Counter& c, Args) {
                 c.setValue(0);
                 return Variant();
             }},
    };
    return table;
}

com::ComPtr<com::IUnknown> create() { return com::make<Counter, counter::ICounter>(); }

const com::ClassInfo classes[] = {{counter::progId, counter::clsid, &create}};

}  // namespace

std::span<const com::ClassInfo> com::server::libraryClasses() { return classes; }
