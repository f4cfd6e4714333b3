#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

class OrbWebView;
class QPushButton;

namespace live {
class IConfig;
class INetwork;
}  // namespace live

namespace Ui {
class ChatRoom;
}

// The chat side panel of a room: the service's chat page for the running task, a fold
// button that narrows the panel to a strip, and a detached always-on-top window for the
// speech mode.
class ChatRoom : public QWidget {
    Q_OBJECT
public:
    explicit ChatRoom(QWidget* parent = nullptr);
    ~ChatRoom() override;

    // The configuration gives the user name and the server variant, the manager the chat
    // page's address (task 20). Without them load() has nothing to show.
    void setServices(std::shared_ptr<live::IConfig> config,
                     std::shared_ptr<live::INetwork> network);

    // Shows the chat page of a task in the given room mode.
    void load(uint32_t taskId, uint32_t mode);
    // Detaches the panel into its own window at the top right of the screen, or docks it.
    void setFloating(bool floating);

    bool isFloating() const { return floating_; }
    bool isFolded() const;
    int expandedWidth() const { return expandedWidth_; }
    int expandedHeight() const { return expandedHeight_; }
    OrbWebView* webView() const { return web_; }
    QPushButton* foldButton() const;

    // Task 20's address template filled with its four values; the user name is
    // percent-encoded so that it stays one value.
    static QString chatUrl(const QString& pattern, const QString& userName, uint32_t taskId,
                           uint32_t mode, bool oldVariant);

public slots:
    void on_ctrl_clicked(bool checked);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void dock();
    void detach();
    void placeAtTopRight();
    void slotFramePoll();

    std::unique_ptr<Ui::ChatRoom> ui_;
    OrbWebView* web_ = nullptr;
    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::INetwork> network_;
    int expandedWidth_ = 0;
    int expandedHeight_ = 0;
    int foldedWidth_ = 0;
    bool floating_ = false;
    QTimer framePoll_;
    int framePolls_ = 0;
};
