#pragma once
// Reference-counted objects with interfaces found by id, and the smart pointer that holds them.
#include <atomic>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "com/guid.h"

namespace com {

// Every interface derives from IUnknown, declares `static constexpr Guid iid` and names
// its parent interface as `using Base = ...;` so that QueryInterface finds it by any
// id of its chain.
class IUnknown {
public:
    using Base = void;
    static constexpr Guid iid = Guid::of("{00000000-0000-0000-C000-000000000046}");

    // Returns the interface asked for with one reference added, or nullptr.
    virtual void* QueryInterface(const Guid& iid) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a reference of its own.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& o) : p_(o.get()) {
        if (p_) p_->AddRef();
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(ComPtr<U>&& o) noexcept : p_(o.detach()) {}
    ~ComPtr() {
        if (p_) p_->Release();
    }

    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }

    // Takes over a reference already counted (as QueryInterface returns it).
    static ComPtr adopt(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    T* detach() { return std::exchange(p_, nullptr); }
    void reset() { ComPtr().swap(*this); }
    void swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

    // QueryInterface for U; empty when the object does not have it.
    template <class U>
    ComPtr<U> query() const {
        if (!p_) return {};
        return ComPtr<U>::adopt(static_cast<U*>(p_->QueryInterface(U::iid)));
    }

private:
    T* p_ = nullptr;
};

namespace detail {
template <class I>
constexpr bool inChain(const Guid& id) {
    if (id == I::iid) return true;
    if constexpr (std::is_same_v<typename I::Base, void>) return false;
    else return inChain<typename I::Base>(id);
}
// Live objects of the process, for DllCanUnloadNow.
[[gnu::visibility("default")]] void objectCreated() noexcept;
[[gnu::visibility("default")]] void objectDestroyed() noexcept;
}  // namespace detail

[[gnu::visibility("default")]] uint32_t liveObjectCount() noexcept;

// Implements IUnknown for a class that implements the given interfaces. The first
// interface answers for IUnknown.
template <class First, class... Rest>
class Object : public First, public Rest... {
public:
    Object() { detail::objectCreated(); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() { detail::objectDestroyed(); }

    void* QueryInterface(const Guid& id) override {
        void* found = nullptr;
        if (id == IUnknown::iid) found = static_cast<First*>(this);
        else find<First, Rest...>(id, found);
        if (found) AddRef();
        return found;
    }
    uint32_t AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32_t Release() override {
        const uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    // Owns the object through its first interface (or any other).
    template <class I = First>
    ComPtr<I> self() {
        return ComPtr<I>(static_cast<I*>(this));
    }

private:
    template <class I, class... More>
    void find(const Guid& id, void*& found) {
        if (detail::inChain<I>(id)) {
            found = static_cast<I*>(this);
            return;
        }
        if constexpr (sizeof...(More) > 0) find<More...>(id, found);
    }
    std::atomic<uint32_t> refs_{0};
};

// Creates an object and holds it through interface I (its first interface by default).
template <class T, class I = void, class... Args>
auto make(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    if constexpr (std::is_void_v<I>) return ComPtr<T>(object);
    else return ComPtr<I>(static_cast<I*>(object));
}

}  // namespace com
