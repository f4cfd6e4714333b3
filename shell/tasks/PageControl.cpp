#include "shell/tasks/PageControl.h"

#include <QButtonGroup>

#include "ui_PageControl.h"

namespace {
enum ButtonId { kFirst = 1, kLast = 2, kPrevious = 3, kNext = 4, kJump = 5 };
}

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), ui_(new Ui::PageControl), group_(new QButtonGroup(this)) {
    ui_->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    group_->addButton(ui_->page_first, kFirst);
    group_->addButton(ui_->page_last, kLast);
    group_->addButton(ui_->page_previous, kPrevious);
    group_->addButton(ui_->page_next, kNext);
    group_->addButton(ui_->page_jump, kJump);
    connect(group_, &QButtonGroup::idClicked, this, &PageControl::slotButtonClicked);
    connect(ui_->page_num, &QLineEdit::returnPressed, this, [this] { slotButtonClicked(kJump); });
    update(1);
}

PageControl::~PageControl() = default;

void PageControl::update(int page) {
    pageCount_ = qMax(1, (totalRows_ + pageSize_ - 1) / pageSize_);
    currentPage_ = page == 0 ? 1 : qMin(page, pageCount_);
    ui_->tips->setText(tr("共%1条信息，分%2页显示").arg(totalRows_).arg(pageCount_));
    ui_->page_num->setText(QString::number(currentPage_));
}

void PageControl::setPageSize(int size) {
    if (size <= 0 || size == pageSize_) {
        return;
    }
    pageSize_ = size;
    update(currentPage_);
}

void PageControl::setData(int totalRows, int curPageIndex) {
    totalRows_ = qMax(0, totalRows);
    update(curPageIndex + 1);
}

int PageControl::targetPage(int id) const {
    switch (id) {
        case kFirst:
            return 1;
        case kLast:
            return pageCount_;
        case kPrevious:
            return qMin(qMax(1, currentPage_ - 1), pageCount_);
        case kNext:
            return qMin(currentPage_ + 1, pageCount_);
        case kJump: {
            bool ok = false;
            const uint typed = ui_->page_num->text().toUInt(&ok);
            const int page = ok && typed > 0 ? int(qMin<uint>(typed, INT_MAX)) : 1;
            return qMin(page, pageCount_);
        }
        default:
            return currentPage_;
    }
}

void PageControl::slotButtonClicked(int id) {
    const int target = targetPage(id);
    if (target != currentPage_) {
        emit getPageData(target - 1);
    }
}
