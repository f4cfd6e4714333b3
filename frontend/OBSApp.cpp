#include "frontend/OBSApp.h"

OBSApp::OBSApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("kelvarin"));
    setApplicationName(QStringLiteral("orblive"));
    setApplicationVersion(QStringLiteral(ORBLIVE_VERSION));
}

OBSApp::~OBSApp() = default;

int OBSApp::init() {
    return 0;
}
