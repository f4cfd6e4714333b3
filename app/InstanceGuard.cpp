#include "app/InstanceGuard.h"

#include <QSharedMemory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The segment's key file lies in the shared temporary folder, so one user's running client would
// lock every other user of the machine out. Windows already scopes the named segment to the
// session.
QString InstanceGuard::keyFor(const QString& key) {
#ifdef Q_OS_UNIX
    return key + QLatin1Char('.') + QString::number(::getuid());
#else
    return key;
#endif
}

InstanceGuard::InstanceGuard(const QString& key) : memory_(new QSharedMemory(keyFor(key))) {}

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
