// One move-only owner for every platform handle. A traits type names the
// handle type, its empty value and how it is released; each live owner is
// counted per traits type so tests can show that nothing leaks.
#pragma once

#include <atomic>
#include <utility>

namespace orva {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) { Track(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) { Track(); }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }

    // Gives up ownership without releasing, for handles that pass to the system.
    Handle release() noexcept {
        Handle handle = handle_;
        if (handle != Traits::invalid()) {
            --live_;
        }
        handle_ = Traits::invalid();
        return handle;
    }

    void reset(Handle handle = Traits::invalid()) noexcept {
        if (handle_ != Traits::invalid()) {
            --live_;
            Traits::close(handle_);
        }
        handle_ = handle;
        Track();
    }

    // For out-parameters: releases what is held, then lends the slot for the
    // rest of the full expression, after which the new handle is counted.
    class OutSlot {
    public:
        explicit OutSlot(UniqueHandle& owner) noexcept : owner_(owner) {}
        OutSlot(const OutSlot&) = delete;
        OutSlot& operator=(const OutSlot&) = delete;
        ~OutSlot() { owner_.Track(); }
        operator Handle*() noexcept { return &owner_.handle_; }

    private:
        UniqueHandle& owner_;
    };
    OutSlot put() noexcept {
        reset();
        return OutSlot(*this);
    }

    // Owners of this kind that hold a handle right now, process-wide.
    static int LiveCount() noexcept { return live_; }

private:
    void Track() noexcept {
        if (handle_ != Traits::invalid()) {
            ++live_;
        }
    }

    Handle handle_ = Traits::invalid();
    static inline std::atomic<int> live_{0};  // owners may end on another thread
};

}  // namespace orva
