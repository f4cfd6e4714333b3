#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class Speaker;
}

class Console;
class QAbstractButton;

// The small floating panel that stands in for the room in speech mode: mute buttons, chat,
// live and record, leave, and the live clock. Its buttons only report their "value"; the
// room turns them into console clicks and tells it the resulting states.
class Speaker : public QWidget {
    Q_OBJECT
public:
    // The "value" of each button, carried by signalSpeechEvent, and the codes of setState.
    enum Button : uint8_t {
        kSpeaker = 0,
        kVolume = 1,
        kChat = 2,
        kLive = 3,
        kRecord = 4,
        kQuit = 5,
    };

    explicit Speaker(QWidget* parent = nullptr);
    ~Speaker() override;

    // 0..2 check their button (`value` as checked); 3 and 4 say whether live or record runs.
    void setState(uint8_t code, bool value);
    void setAudioActivity(bool active);
    // Takes the console's mute and output states, then shows.
    void showBound(const Console* console);
    void setTime(const QString& text);

    bool isChecked(Button button) const;
    QString buttonText(Button button) const;

signals:
    void signalSpeechEvent(uint8_t type);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QAbstractButton* button(Button which) const;
    void onButtonClicked();
    void updateMuteIcons();

    std::unique_ptr<Ui::Speaker> ui_;
    bool dragging_ = false;
    QPoint dragOffset_;
    bool audioActive_ = false;
};
