#include "app/InstanceGuard.h"

#include <QSharedMemory>

InstanceGuard::InstanceGuard(const QString& key) : memory_(new QSharedMemory(key)) {}

InstanceGuard::~InstanceGuard() {
    release();
    delete memory_;
}

bool InstanceGuard::acquire() {
    // Detaching the last attachment removes a segment whose owner died; a live owner keeps it.
    for (int round = 0; round < 2; ++round) {
        if (memory_->attach(QSharedMemory::ReadOnly)) {
            memory_->detach();
        }
    }
    if (!memory_->create(1, QSharedMemory::ReadWrite)) {
        return false;
    }
    memory_->attach(QSharedMemory::ReadOnly);
    return true;
}

void InstanceGuard::release() {
    if (memory_->isAttached()) {
        memory_->detach();
    }
}
