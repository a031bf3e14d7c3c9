// A process-wide lock (a critical section on Windows, a mutex on Linux) and its guard.
#pragma once

class CLock {
public:
    CLock();
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;
    virtual ~CLock();

    void Acquire();
    void Release();

private:
    // Storage for the system's lock object, interpreted only by the per-OS file.
    alignas(16) unsigned char m_storage[64];
};

class CLockGuard {
public:
    explicit CLockGuard(CLock& lock) : m_lock(lock) { m_lock.Acquire(); }
    CLockGuard(const CLockGuard&) = delete;
    CLockGuard& operator=(const CLockGuard&) = delete;
    ~CLockGuard() { m_lock.Release(); }

private:
    CLock& m_lock;
};
