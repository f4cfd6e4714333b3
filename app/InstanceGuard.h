#pragma once

#include <QString>

class QSharedMemory;

// Per-user single-instance lock: a one-byte shared-memory segment whose existence is the lock.
class InstanceGuard {
public:
    explicit InstanceGuard(const QString& key);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // Clears a stale segment left by a crashed run, then creates ours; false when another runs.
    bool acquire();
    // The segment's key for this user: another user's client on the same machine is no rival.
    static QString keyFor(const QString& key);
    void release();

private:
    QSharedMemory* memory_;
};
