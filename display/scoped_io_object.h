// Owns one registry handle and releases it with IOObjectRelease when it goes
// out of scope, unless it was handed on with release().
#pragma once

#include <utility>

#include "display/iokit.h"

namespace lsscreens {

class ScopedIOObject {
public:
    ScopedIOObject() = default;
    explicit ScopedIOObject(io_object_t handle) : handle_(handle) {}
    ScopedIOObject(ScopedIOObject&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}
    ScopedIOObject& operator=(ScopedIOObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }
    ScopedIOObject(const ScopedIOObject&) = delete;
    ScopedIOObject& operator=(const ScopedIOObject&) = delete;
    ~ScopedIOObject() { reset(); }

    io_object_t get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }

    void reset()
    {
        if (handle_ != 0)
            IOObjectRelease(std::exchange(handle_, 0));
    }

private:
    io_object_t handle_ = 0;
};

}  // namespace lsscreens
