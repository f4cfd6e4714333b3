#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace Ui {
class InfoBar;
}

// The strip above the preview: the room's name, the live and record clocks and the button
// that turns the room into the floating speech panel.
class InfoBar : public QWidget {
    Q_OBJECT
public:
    enum Clock : uint8_t { kClockLive = 0, kClockRecord = 1 };

    explicit InfoBar(QWidget* parent = nullptr);
    ~InfoBar() override;

    void setTitle(const QString& title);
    QString title() const;
    void setClock(uint8_t index, const QString& text);
    QString clock(uint8_t index) const;

signals:
    void signalSpeechMode();

private:
    std::unique_ptr<Ui::InfoBar> ui_;
};
