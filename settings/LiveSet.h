#pragma once

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "settings/LiveSetChoices.h"
#include "studio/LiveSettings.h"

class QSlider;

namespace Ui {
class LiveSet;
}

// The modal "直播设置" dialog: shows the studio's output settings, keeps the user's changes
// in a pending record (0 or empty means unchanged) and hands it to the studio wrapper on
// confirmation. Its volume sliders move the console's at once.
class LiveSet : public QDialog {
    Q_OBJECT
public:
    // The "name" tags of the buttons.
    enum Button : uint8_t {
        kClose = 0,
        kConfirm = 1,
        kCancel = 2,
        kBrowse = 3,
        kCopyAddress = 4,
        kCopyKey = 5,
        kRegainAddress = 6,
    };

    // `console` is the room's console (its "slider_speaker" and "slider_volume"), or none;
    // `serverType` the configuration's server variant (2 has no recording).
    LiveSet(QWidget* parent, QWidget* console = nullptr, uint8_t serverType = 0);
    ~LiveSet() override;

    // Runs the dialog modally for a room; the QDialog result.
    static int openFor(QWidget* parent, QWidget* console, uint8_t serverType);

    const LiveSettings& current() const { return current_; }
    const LiveSettings& pending() const { return pending_; }
    bool changed() const { return changed_; }

public slots:
    void onClicked(bool checked = false);
    void comboChanged(int index);
    void sliderChanged(int);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void labelTabs(uint8_t serverType);
    void tagControls();
    void load();
    void tieToConsole(QWidget* console);
    void confirm();
    void browse();
    LiveSetChoices::Boxes boxes() const;

    std::unique_ptr<Ui::LiveSet> ui_;
    LiveSettings current_;
    LiveSettings pending_;
    bool changed_ = false;
    const char* const tag_ = "name";
    bool dragging_ = false;
    QPoint dragOffset_;
};
