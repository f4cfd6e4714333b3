#pragma once

#include <QWidget>

class QPushButton;

// The action cell of one task row: enter the room (or watch the playback) and end the broadcast.
class orbLive_jionRoomItem : public QWidget {
    Q_OBJECT
public:
    orbLive_jionRoomItem(int status, int row, int column, QWidget* parent = nullptr);

    void setEndLiveEnabled(bool clickable, const QString& msg);
    // The old server variant cannot end broadcasts from the client.
    void setServerType(int type);

signals:
    void joinroom(int row, int column);
    void backplay(int row, int column);
    void endTask(int row, int column);

private slots:
    void on_pushButton_jion_clicked();
    void on_pushButton_endTask_clicked();

private:
    int row_;
    int column_;
    int status_;
    QPushButton* join_;
    QPushButton* end_;
};
