#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <cstdint>

class QWidget;

namespace live {
class INetwork;
}

// A request the user is waiting for: when it cannot even be sent, it is logged and the user
// is told, instead of a wait for a reply that never comes.
class RequestNotice {
    Q_DECLARE_TR_FUNCTIONS(RequestNotice)

public:
    static bool send(live::INetwork* net, uint8_t type, const QStringList& args, QWidget* parent,
                     const char* tag);
};
