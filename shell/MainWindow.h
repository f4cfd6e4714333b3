#pragma once

#include <QWidget>
#include <memory>

namespace live {
class IConfig;
}

// The client's one top-level window; start() runs the start-up sequence.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // 0 on success, 3 when the configuration cannot be loaded.
    int start();

    std::shared_ptr<live::IConfig> config() const { return config_; }

private:
    std::shared_ptr<live::IConfig> config_;
};
