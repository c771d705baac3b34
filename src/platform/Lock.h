#pragma once

#include <mutex>

// Re-entrant lock with explicit Lock/Unlock, shared by the threads of the
// program. A thread holding it may take it again; each Lock needs an Unlock.
class Lock {
public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void lock() { mutex_.lock(); }
    void unlock() { mutex_.unlock(); }
    bool tryLock() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a Lock for the life of a scope.
class LockGuard {
public:
    explicit LockGuard(Lock& l) : lock_(l) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};
