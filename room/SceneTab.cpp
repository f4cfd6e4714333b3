#include "room/SceneTab.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "core/Log.h"
#include "frontend/OBSBasic.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioCodes.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"

using namespace orbLiveImp;

namespace {

const char* const kPlaceholder =
    QT_TRANSLATE_NOOP("SceneTab", "还未添加素材\n从底部素材区进行添加吧");

QString stateIcon(SceneTab::Column column, bool on) {
    if (column == SceneTab::kColEnable) {
        return on ? QStringLiteral(":/image/material_enable.png")
                  : QStringLiteral(":/image/material_enable_off.png");
    }
    return on ? QStringLiteral(":/image/material_lock.png")
              : QStringLiteral(":/image/material_lock_off.png");
}

QString kindIcon(const QString& typeId) {
    const SourceKind* kind = SourceKinds::byTypeId(typeId.toUtf8().constData());
    QString icon;
    Scheme::materialIcon(kind ? kind->kind : 0, icon);
    return icon;
}

QStandardItem* fixedItem(const QIcon& icon, const QString& text = QString()) {
    auto* item = new QStandardItem(icon, text);
    item->setEditable(false);
    return item;
}

}  // namespace

SceneTab::SceneTab(QWidget* parent)
    : QWidget(parent),
      model_(new QStandardItemModel(0, 4, this)),
      table_(new QTableView(this)),
      placeholder_(new QLabel(tr(kPlaceholder), this)) {
    qRegisterMetaType<uint8_t>("uint8_t");
    model_->setHorizontalHeaderLabels({tr("Name"), tr("Enable"), tr("Delete"), tr("Lock")});
    table_->setObjectName(QStringLiteral("table"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setShowGrid(false);
    table_->verticalHeader()->hide();
    // The icon columns are too narrow for their titles; the icons speak for themselves.
    table_->horizontalHeader()->hide();
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(kColName, QHeaderView::Stretch);
    for (int column : {kColEnable, kColDelete, kColLock}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, kIconColumnWidth);
    }
    placeholder_->setObjectName(QStringLiteral("placeholder"));
    placeholder_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    layout->addWidget(placeholder_);
    showPlaceholder(true);

    connect(table_, &QTableView::clicked, this, &SceneTab::slotOnTableClicked);
    connect(table_, &QTableView::doubleClicked, this, &SceneTab::slotOnTableDoubleClicked);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SceneTab::slotSelectionChanged);
    connect(table_, &QWidget::customContextMenuRequested, this, &SceneTab::slotSourceMenuRequested);
}

SceneTab::~SceneTab() = default;

int SceneTab::rowOf(const QString& itemName) const {
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (nameAt(row) == itemName) {
            return row;
        }
    }
    return -1;
}

bool SceneTab::itemState(const QString& itemName, Column column) const {
    const int row = rowOf(itemName);
    return row >= 0 && model_->item(row, column)->data(kStateRole).toBool();
}

QString SceneTab::nameAt(int row) const {
    return model_->item(row, kColName)->text();
}

void SceneTab::ctrlItem(const SceneItemData& data) {
    const int row = rowOf(data.itemName);
    if (row < 0 && data.op != kItemAdded && data.op != kItemOrder) {
        live::log::error("{}: scene item not found, name {}", "SceneTab::ctrlItem", data.itemName);
        return;
    }
    switch (data.op) {
        case kItemAdded:
            appendRow(data);
            break;
        case kItemRemove:
            // The row's selection goes with it; the studio has no item left to deselect.
            muteSelection_ = true;
            model_->removeRow(row);
            muteSelection_ = false;
            showPlaceholder(model_->rowCount() == 0);
            break;
        case kItemVisible:
            setState(row, kColEnable, data.value != 0);
            break;
        case kItemLock:
            setState(row, kColLock, data.value != 0);
            break;
        case kItemSelect:
            selectRow(row, data.value != 0);
            break;
        case kItemRename:
            model_->item(row, kColName)->setText(data.newName);
            break;
        case kItemOrder:
            OrbOBS::instance().syncItemOrder(model_);
            break;
        case kItemProperties:
            emit signalShowSourceProp(data.itemName);
            break;
        default:
            break;
    }
}

void SceneTab::appendRow(const SceneItemData& data) {
    showPlaceholder(false);
    auto* enable = fixedItem(QIcon(stateIcon(kColEnable, data.visible)));
    enable->setData(data.visible, kStateRole);
    auto* lock = fixedItem(QIcon(stateIcon(kColLock, data.locked)));
    lock->setData(data.locked, kStateRole);
    model_->appendRow({fixedItem(QIcon(kindIcon(data.typeId)), data.itemName), enable,
                       fixedItem(QIcon(QStringLiteral(":/image/material_delete.png"))), lock});
}

void SceneTab::setState(int row, Column column, bool on) {
    QStandardItem* cell = model_->item(row, column);
    cell->setData(on, kStateRole);
    cell->setIcon(QIcon(stateIcon(column, on)));
}

void SceneTab::selectRow(int row, bool select) {
    QItemSelectionModel* selection = table_->selectionModel();
    const QModelIndex index = model_->index(row, kColName);
    if (selection->isRowSelected(row, QModelIndex()) == select) {
        return;
    }
    // The studio already knows: its own report must not come back to it as a command.
    muteNextSelection_ = true;
    selection->select(
        index, (select ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Deselect) |
                   QItemSelectionModel::Rows);
}

void SceneTab::showPlaceholder(bool show) {
    placeholderShown_ = show;
    placeholder_->setVisible(show);
    table_->setVisible(!show);
}

void SceneTab::slotOnTableClicked(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    const QString name = nameAt(index.row());
    switch (index.column()) {
        case kColEnable:
            emit signalCtrlSceneItem(name, kItemVisible, !itemState(name, kColEnable));
            break;
        case kColLock:
            emit signalCtrlSceneItem(name, kItemLock, !itemState(name, kColLock));
            break;
        case kColDelete:
            emit signalCtrlSceneItem(name, kItemRemove, true);
            break;
        default:
            break;
    }
}

void SceneTab::slotOnTableDoubleClicked(const QModelIndex& index) {
    if (!index.isValid() || index.column() != kColName) {
        return;
    }
    const QString oldName = nameAt(index.row());
    QString newName;
    if (NameDialog::askItemName(this, oldName, taken_, newName) && !newName.isEmpty()) {
        emit signalCtrlSceneItem(oldName, kItemRename, newName);
    }
}

void SceneTab::slotSelectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected) {
    if (muteSelection_) {
        return;
    }
    if (muteNextSelection_) {
        muteNextSelection_ = false;
        return;
    }
    if (!selected.indexes().isEmpty()) {
        emit signalCtrlSceneItem(nameAt(selected.indexes().first().row()), kItemSelect, true);
    } else if (!deselected.indexes().isEmpty()) {
        emit signalCtrlSceneItem(nameAt(deselected.indexes().first().row()), kItemSelect, false);
    }
}

void SceneTab::slotSourceMenuRequested(const QPoint& pos) {
    const QModelIndex index = table_->indexAt(pos);
    if (!index.isValid() || index.column() != kColName) {
        return;
    }
    if (OBSBasic* basic = OrbOBS::instance().mainWindow()) {
        basic->CreateSourcePopupMenu();
    }
}
