#pragma once
// The interface of the test class library: a counter with a dual interface and one event.
#include <cstdint>
#include <string>
#include <string_view>

#include "com/dispatch.h"

namespace counter {

inline constexpr std::string_view progId = "VelmoraTest.Counter";
inline constexpr com::Guid clsid = com::Guid::of("{6B1C3E52-8F0A-4D7B-9E21-3C5A7D90B411}");

// Dispatch ids of the late-bound members.
namespace dispid {
inline constexpr com::DispId Value = 0;
inline constexpr com::DispId Add = 1;
inline constexpr com::DispId Name = 2;
inline constexpr com::DispId Reset = 3;
}  // namespace dispid

class ICounter : public com::IDispatch {
public:
    using Base = com::IDispatch;
    static constexpr com::Guid iid = com::Guid::of("{6B1C3E52-8F0A-4D7B-9E21-3C5A7D90B412}");

    virtual int32_t Value() = 0;
    virtual void setValue(int32_t value) = 0;
    // Adds to the value and returns it; raises 6 when the sum leaves the Long range.
    virtual int32_t Add(int32_t amount) = 0;
    virtual std::string Name() = 0;

protected:
    ~ICounter() = default;
};

// The event interface: Changed(newValue) after every change of the value.
namespace events {
inline constexpr com::Guid iid = com::Guid::of("{6B1C3E52-8F0A-4D7B-9E21-3C5A7D90B413}");
inline constexpr com::DispId Changed = 1;
}  // namespace events

}  // namespace counter
