#pragma once

#include <QPointer>

#include "frontend/OBSApp.h"

class Console;
class Scene;

// Connects the room controls to the studio library the way the live room does: the
// widgets' signals become library commands, the library's two callbacks become the
// widgets' reports. Either widget may be absent.
class RoomWiring {
public:
    RoomWiring(OBSApp* app, Scene* scene, Console* console);
    ~RoomWiring();

    // Scene ops 5 and 6 as they arrived: "5 true", "6 false"...
    const QStringList& outputEvents() const { return outputs_; }

private:
    void onControl(uint8_t op, const QString& name, const QVariant& value);

    OBSApp* app_;
    QPointer<Scene> scene_;
    QPointer<Console> console_;
    QStringList outputs_;
};
