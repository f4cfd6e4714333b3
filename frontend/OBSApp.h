#pragma once

#include <QApplication>

// The process's Qt application, owning the studio engine's life.
class OBSApp : public QApplication {
    Q_OBJECT
public:
    OBSApp(int& argc, char** argv);
    ~OBSApp() override;

    // Starts the studio engine; negative when it cannot run here.
    int init();
};
