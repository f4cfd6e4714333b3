#include "RoomWiring.h"

#include "frontend/StudioCodes.h"
#include "room/Console.h"
#include "room/Scene.h"

using namespace orbLiveImp;

RoomWiring::RoomWiring(OBSApp* app, Scene* scene, Console* console)
    : app_(app), scene_(scene), console_(console) {
    if (scene) {
        QObject::connect(scene, &Scene::signalCtrlScene, app,
                         [app](uint8_t op, const QString& name, const QVariant& value) {
                             app->ctrlScene(op, name, value);
                         });
        QObject::connect(scene, &Scene::signalCtrlSceneItem, app,
                         [app](const QString& name, uint8_t op, const QVariant& value) {
                             app->ctrlSceneItem(name, op, value);
                         });
    }
    if (console) {
        QObject::connect(console, &Console::signalConsoleEvent, app,
                         [app](uint8_t code, uint8_t value) { app->ctrlVoice(code, value); });
    }
    app->OBSWinInit(
        nullptr,
        [this](uint8_t op, const QString& name, QVariant value) { onControl(op, name, value); },
        [this](const SceneItemData& data) {
            // Audio levels are the room's business, not the tabs'.
            if (scene_ && data.op != kItemAudioLevel) {
                scene_->ctrlSceneItem(data);
            }
        });
}

RoomWiring::~RoomWiring() {
    app_->OBSWinReset();
    if (scene_) {
        scene_->clear();
    }
}

void RoomWiring::onControl(uint8_t op, const QString& name, const QVariant& value) {
    if (op == kSceneStreaming || op == kSceneRecording) {
        outputs_.append(QStringLiteral("%1 %2").arg(op).arg(value.toBool() ? "true" : "false"));
        if (console_) {
            const bool on = value.toBool();
            if (op == kSceneStreaming) {
                console_->setState(on ? kStreamStart : kStreamStop, 0);
            } else {
                console_->setState(on ? kRecordStart : kRecordStop, 0);
            }
        }
    } else if (scene_) {
        scene_->ctrlScene(op, name, value);
    }
}
