#pragma once

#include <QByteArray>
#include <QJsonObject>

namespace live {

// The task list and task details replies: JSON wrapped in a JSONP callback ("444(...)" for
// the default server, any callback name for variant 1).
class ListReply {
public:
    // The reply's "data" object; false when the unwrapped text is not a JSON object.
    static bool unwrap(const QByteArray& reply, int serverType, QJsonObject* data);
};

}  // namespace live
