#include "frontend/SourceListWidget.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "frontend/OBSBasic.h"
#include "frontend/SceneEventRelay.h"
#include "frontend/SceneItems.h"
#include "frontend/StudioCodes.h"

namespace {

QToolButton* makeButton(const QString& objectName, const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(text);
    return button;
}

}  // namespace

SourceListWidget::SourceListWidget(OBSBasic* basic, QWidget* parent)
    : QWidget(parent), basic_(basic) {
    setObjectName(QStringLiteral("studioSourceList"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("sourceList"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    up_ = makeButton(QStringLiteral("moveUp"), tr("上移"), this);
    down_ = makeButton(QStringLiteral("moveDown"), tr("下移"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(up_);
    buttons->addWidget(down_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::itemChanged, this, &SourceListWidget::onItemChanged);
    connect(list_, &QListWidget::itemSelectionChanged, this, &SourceListWidget::onSelectionChanged);
    connect(list_, &QListWidget::customContextMenuRequested, this,
            &SourceListWidget::onContextMenu);
    connect(list_, &QListWidget::itemDoubleClicked, this, &SourceListWidget::onDoubleClicked);
    connect(up_, &QToolButton::clicked, this, &SourceListWidget::onMoveUp);
    connect(down_, &QToolButton::clicked, this, &SourceListWidget::onMoveDown);
    connect(basic_->relay(), &SceneEventRelay::sceneEvent, this, &SourceListWidget::refresh);
    connect(basic_->relay(), &SceneEventRelay::itemEvent, this, &SourceListWidget::refresh);
    refresh();
}

void SourceListWidget::refresh() {
    refreshing_ = true;
    list_->clear();
    for (const OBSSceneItem& item : SceneItems::list(basic_->currentScene())) {
        auto* row = new QListWidgetItem(SceneItems::itemName(item), list_);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(obs_sceneitem_visible(item) ? Qt::Checked : Qt::Unchecked);
        row->setSelected(obs_sceneitem_selected(item));
    }
    refreshing_ = false;
}

QString SourceListWidget::selectedName() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void SourceListWidget::onItemChanged(QListWidgetItem* item) {
    if (!refreshing_) {
        basic_->ctrlSceneItem(item->text(), orbLiveImp::kItemVisible,
                              item->checkState() == Qt::Checked);
    }
}

void SourceListWidget::onSelectionChanged() {
    if (refreshing_) {
        return;
    }
    const QString name = selectedName();
    if (!name.isEmpty()) {
        basic_->ctrlSceneItem(name, orbLiveImp::kItemSelect, true);
        return;
    }
    OBSSceneItem selected = SceneItems::firstSelected(basic_->currentScene());
    if (selected) {
        basic_->ctrlSceneItem(SceneItems::itemName(selected), orbLiveImp::kItemSelect, false);
    }
}

void SourceListWidget::onMoveUp() {
    basic_->moveSceneItem(selectedName(), OBS_ORDER_MOVE_UP);
}

void SourceListWidget::onMoveDown() {
    basic_->moveSceneItem(selectedName(), OBS_ORDER_MOVE_DOWN);
}

void SourceListWidget::onContextMenu(const QPoint& pos) {
    QListWidgetItem* item = list_->itemAt(pos);
    if (!item) {
        return;
    }
    basic_->ctrlSceneItem(item->text(), orbLiveImp::kItemSelect, true);
    basic_->CreateSourcePopupMenu();
}

void SourceListWidget::onDoubleClicked(QListWidgetItem* item) {
    basic_->showProperties(item->text());
}
