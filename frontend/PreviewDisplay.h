#pragma once

#include <QWidget>

#include <obs.hpp>

#include <atomic>

#include "frontend/PreviewPacer.h"

// The live picture of the program: a native child window covering its host, drawn by the
// engine's graphics thread, letterboxed to keep the canvas aspect, with the selected items
// outlined. It is drawn only while shown, and at a lower rate while the engine is behind.
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
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createDisplay();
    QSize pixelSize() const;
    static void draw(void* param, uint32_t cx, uint32_t cy);
    // Runs on the render thread before each frame: whether the preview is drawn with it.
    static void pace(void* param, float seconds);
    static void drawSelection(obs_scene_t* scene);

    OBSDisplay display_;
    PreviewPacer pacer_;  // used on the render thread only
    std::atomic<bool> shown_{false};
};
