#pragma once

#include <atomic>
#include <cstdint>

// Shared between a long piece of work (a scan, a listing) and whoever watches it, possibly from
// another thread: the work counts what it has done and stops early once cancel is asked for.
struct SWorkProgress {
    std::atomic<std::uint64_t> nDone{0};
    std::atomic<bool> bCancel{false};

    void Add(std::uint64_t n) { nDone.fetch_add(n, std::memory_order_relaxed); }
    bool IsCancelled() const { return bCancel.load(std::memory_order_relaxed); }
    void Cancel() { bCancel.store(true, std::memory_order_relaxed); }
};
