#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QWidget>
#include <memory>

class QButtonGroup;

namespace Ui {
class Task;
}
namespace live {
class IConfig;
class INetwork;
}  // namespace live

// The signed-in user's task list: header, status filter, search, the task table and paging.
// It talks to the service only through the request manager and to the window through signals.
class Task : public QWidget {
    Q_OBJECT
public:
    Task(std::shared_ptr<live::IConfig> config, std::shared_ptr<live::INetwork> net,
         QWidget* parent = nullptr);
    ~Task() override;

    void refresh();
    // A reply of the list (task 1) or of a task's details (task 22). A list reply that
    // arrives while a task is being joined fills the table and leaves the join waiting.
    // False when the reply cannot be read.
    bool setData(const QByteArray& reply, uint8_t type);
    void setUserInfo(const QString& name, const QString& avatarPath);

signals:
    void signalLogout();
    void signalChangeUserInfo();
    void signalEnterRoom(QString name, QString url, int roomId, int taskid, int tasktype);
    void signalBackplay(QString url);

public slots:
    void on_flush_clicked();
    void slotButtonClicked(int id);
    void joinroom(int row, int column);
    void backplay(int row, int column);
    void endTask(int row, int column);
    void on_logout_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupTable();
    void request(int pageIndex, int pageSize, int status, const QString& name);
    void fillTable(const QJsonObject& data);
    void fillRow(int row, const QJsonObject& task);
    void onTaskDetails(const QJsonObject& data);
    int serverType() const;

    std::unique_ptr<Ui::Task> ui_;
    std::shared_ptr<live::IConfig> config_;
    std::shared_ptr<live::INetwork> net_;
    QButtonGroup* group_;
    int status_ = 1;
    QJsonArray dataList_;
    bool joining_ = false;
    int joiningTaskId_ = 0;
};
