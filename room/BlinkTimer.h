#pragma once

#include <QObject>
#include <QTimer>

class QAbstractButton;

// Makes a button's small dot blink red and white while an output runs. The phase lives
// outside (one per kind of output, shared by every console) so a console built later
// blinks in step with the earlier one.
class BlinkTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 500;
    // The button property naming the dot it shows.
    static constexpr const char* kIconProperty = "blinkIcon";

    BlinkTimer(QAbstractButton* button, bool& phase, QObject* parent = nullptr);

    // Shows the white dot.
    void reset();
    void start();
    // Stops; the dot turns white one interval later.
    void stop();
    bool isActive() const { return timer_.isActive(); }

    static QString whiteIcon();
    static QString redIcon();

private:
    void tick();
    void show(const QString& icon);

    QAbstractButton* button_;
    bool& phase_;
    QTimer timer_;
};
