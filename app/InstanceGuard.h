#pragma once

#include <QString>

class QSharedMemory;

// Machine-wide single-instance lock: a one-byte shared-memory segment whose existence is the lock.
class InstanceGuard {
public:
    explicit InstanceGuard(const QString& key);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // Clears a stale segment left by a crashed run, then creates ours; false when another runs.
    bool acquire();
    void release();

private:
    QSharedMemory* memory_;
};
