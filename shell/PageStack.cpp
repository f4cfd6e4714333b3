#include "shell/PageStack.h"

#include <QHBoxLayout>

PageStack::PageStack(QWidget* parent) : QWidget(parent), hlay_(new QHBoxLayout(this)) {
    setObjectName(QStringLiteral("welcome"));
    setAttribute(Qt::WA_StyledBackground);
    hlay_->setObjectName(QStringLiteral("hlay"));
    hlay_->setSpacing(0);
    hlay_->setContentsMargins(0, 0, 0, 0);
}

QWidget* PageStack::showStep(uint8_t step) {
    QWidget* page = pages_.value(step);
    if (!page) {
        return nullptr;
    }
    if (QLayoutItem* item = hlay_->takeAt(0)) {
        if (item->widget()) {
            item->widget()->hide();
        }
        delete item;
    }
    hlay_->addWidget(page);
    page->resize(size());
    page->show();
    return page;
}
