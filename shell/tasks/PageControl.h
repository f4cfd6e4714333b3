#pragma once

#include <QWidget>
#include <memory>

class QButtonGroup;

namespace Ui {
class PageControl;
}

// The paging bar under the task list. Pages are 1-based on screen and 0-based on the wire;
// the shown page changes only when the service's reply arrives (setData).
class PageControl : public QWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);
    ~PageControl() override;

    void setPageSize(int size);
    void setData(int totalRows, int curPageIndex);
    int pageSize() const { return pageSize_; }
    int currentPage() const { return currentPage_; }
    int pageCount() const { return pageCount_; }

signals:
    void getPageData(int pageIndex);

public slots:
    void slotButtonClicked(int id);

private:
    void update(int page);
    int targetPage(int id) const;

    std::unique_ptr<Ui::PageControl> ui_;
    QButtonGroup* group_;
    int totalRows_ = 0;
    int pageSize_ = 10;
    int currentPage_ = 1;
    int pageCount_ = 1;
};
