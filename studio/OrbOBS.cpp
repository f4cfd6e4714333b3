#include "studio/OrbOBS.h"

#include <QApplication>

#include "core/IConfig.h"
#include "frontend/OBSApp.h"
#include "frontend/OBSBasic.h"

// Placeholder bodies until the wrapper lands.

OrbOBS::OrbOBS() : app_(qobject_cast<OBSApp*>(QCoreApplication::instance())) {}

void OrbOBS::init(const std::shared_ptr<live::IConfig>& config) {
    config_ = config;
    loadFilterInfo();
}

void OrbOBS::loadFilterInfo() {}

bool OrbOBS::getSourceProp(const QString&, orbLiveImp::SoureParam&) {
    return false;
}

void OrbOBS::updateSource(const orbLiveImp::SoureParam&) {}

void OrbOBS::getSourceChoices(uint8_t, QString&, QStringList&, QList<QVariant>&) {}

bool OrbOBS::getSourceHotkeys(const QString&, std::vector<orbLiveImp::OrbShortcut>&) {
    return false;
}

void OrbOBS::getAudioDevices(QList<AudioDeviceEntry>&, QList<AudioDeviceEntry>&) {}

void OrbOBS::getLiveSettings(LiveSettings&) {}

void OrbOBS::setLiveSettings(const LiveSettings&) {}

void OrbOBS::flipSource(const QString&, bool) {}

void OrbOBS::ensureCamera() {}

void OrbOBS::raiseCamera() {}

void OrbOBS::removeCameras() {}

void OrbOBS::syncItemOrder(QStandardItemModel*) {}

void OrbOBS::reorderScene(int from, int to) {
    if (OBSBasic* basic = mainWindow()) {
        basic->reorderScene(from, to);
    }
}

void OrbOBS::getResourceUtility(orbLiveImp::ResourceUtil& util) {
    if (OBSBasic* basic = mainWindow()) {
        basic->getResourceUtility(util);
    }
}

OBSBasic* OrbOBS::mainWindow() const {
    return app_ ? app_->GetMainWindow() : nullptr;
}
