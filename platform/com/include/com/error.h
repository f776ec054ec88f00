#pragma once
// The run-time's error object: the one exception type that crosses the deliverables.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace com {

// The run-time's own error numbers.
namespace errc {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t BadFileNameOrNumber = 52;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t FileAlreadyExists = 58;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccessError = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t CantCreateObject = 429;
inline constexpr int32_t NoSuchMember = 438;
inline constexpr int32_t WrongArgumentCount = 450;
inline constexpr int32_t DuplicateKey = 457;
inline constexpr int32_t DllLoadFailed = 48;
inline constexpr int32_t ClassNotRegistered = 429;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t CantLoadRegistry = 336;
}  // namespace errc

// The run-time's standard text for its own numbers ("" for numbers it does not know).
[[gnu::visibility("default")]] std::string standardDescription(int32_t number);
// The standard text with `detail` (what was refused) on a line of its own.
[[gnu::visibility("default")]] std::string standardDescription(int32_t number, std::string_view detail);

class [[gnu::visibility("default")]] Error : public std::exception {
public:
    // An empty description takes the run-time's standard text for the number.
    Error(int32_t number, std::string source, std::string description = {});

    int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    // Defined in the object layer's library, so that the class's type information lives
    // there alone for every library that throws or catches it.
    const char* what() const noexcept override;

private:
    int32_t number_;
    std::string source_;
    std::string description_;
};

[[noreturn]] [[gnu::visibility("default")]] void raise(int32_t number, std::string source,
                                                       std::string description = {});

// An error raised inside a window event's handler, where no caller can receive it (it
// would otherwise unwind through the event loop). Each such error is reported once, here:
// to the handler the program installs (its error box), else on the standard error stream.
[[gnu::visibility("default")]] void reportWindowEventError(const Error& error);
using WindowEventErrorHandler = std::function<void(const Error&)>;
// Installs `handler` (an empty one restores the standard error stream); returns the
// handler installed before.
[[gnu::visibility("default")]] WindowEventErrorHandler setWindowEventErrorHandler(WindowEventErrorHandler handler);

}  // namespace com
