#include "com/error.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace com {

std::string standardDescription(int32_t number) {
    switch (number) {
    case errc::InvalidProcedureCall: return "Invalid procedure call or argument";
    case errc::Overflow: return "Valoare prea mare.";
    case errc::OutOfMemory: return "Out of memory";
    case errc::SubscriptOutOfRange: return "Subscript out of range";
    case errc::DivisionByZero: return "Division by zero";
    case errc::TypeMismatch: return "Tip de date nepotrivit.";
    case errc::DllLoadFailed: return "Error in loading DLL";
    case errc::BadFileNameOrNumber: return "Bad file name or number";
    case errc::FileNotFound: return "File not found";
    case errc::FileAlreadyExists: return "File already exists";
    case errc::PermissionDenied: return "Permission denied";
    case errc::PathFileAccessError: return "Path/File access error";
    case errc::PathNotFound: return "Path not found";
    case errc::ObjectNotSet: return "Object variable or With block variable not set";
    case errc::InvalidUseOfNull: return "Invalid use of Null";
    case errc::InvalidPropertyValue: return "Invalid property value";
    case errc::CantCreateObject: return "ActiveX component can't create object";
    case errc::NoSuchMember: return "Object doesn't support this property or method";
    case errc::WrongArgumentCount: return "Wrong number of arguments or invalid property assignment";
    case errc::DuplicateKey: return "This key is already associated with an element of this collection";
    default: return {};
    }
}

std::string standardDescription(int32_t number, std::string_view detail) {
    std::string text = standardDescription(number);
    if (!detail.empty()) text.append("\r\n").append(detail);
    return text;
}

Error::Error(int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {
    if (description_.empty()) description_ = standardDescription(number_);
    if (description_.empty()) description_ = "Application-defined or object-defined error";
}

const char* Error::what() const noexcept { return description_.c_str(); }

void raise(int32_t number, std::string source, std::string description) {
    throw Error(number, std::move(source), std::move(description));
}

namespace {

struct WindowEventErrors {
    std::mutex lock;
    WindowEventErrorHandler handler;
};

WindowEventErrors& windowEventErrors() {
    static WindowEventErrors state;
    return state;
}

}  // namespace

void reportWindowEventError(const Error& error) {
    WindowEventErrorHandler handler;
    {
        std::lock_guard guard(windowEventErrors().lock);
        handler = windowEventErrors().handler;
    }
    // The handler runs unlocked: it may show a window whose events report errors too.
    if (handler) {
        handler(error);
        return;
    }
    std::fprintf(stderr, "Error %d (%s): %s\n", static_cast<int>(error.number()), error.source().c_str(),
                 error.description().c_str());
}

WindowEventErrorHandler setWindowEventErrorHandler(WindowEventErrorHandler handler) {
    std::lock_guard guard(windowEventErrors().lock);
    return std::exchange(windowEventErrors().handler, std::move(handler));
}

}  // namespace com
