#pragma once

#include <QWidget>

#include <obs.hpp>

// The live picture of the program: a native child window covering its host, drawn by the
// engine's graphics thread, letterboxed to keep the canvas aspect, with the selected items
// outlined.
class PreviewDisplay : public QWidget {
    Q_OBJECT
public:
    explicit PreviewDisplay(QWidget* host);
    ~PreviewDisplay() override;

    bool hasDisplay() const { return display_ != nullptr; }
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createDisplay();
    QSize pixelSize() const;
    static void draw(void* param, uint32_t cx, uint32_t cy);
    static void drawSelection(obs_scene_t* scene);

    OBSDisplay display_;
};
