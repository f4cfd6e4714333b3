#pragma once

#include <QItemSelection>
#include <QVariant>
#include <QWidget>
#include <cstdint>

#include "frontend/SceneItemData.h"
#include "room/NameDialog.h"

class QLabel;
class QStandardItem;
class QStandardItemModel;
class QTableView;

// One scene's materials as the studio reports them: name with its kind's icon, then the
// visible, delete and lock cells. The user's clicks become item commands; only the studio's
// reports (ctrlItem) change the rows.
class SceneTab : public QWidget {
    Q_OBJECT
public:
    enum Column { kColName = 0, kColEnable = 1, kColDelete = 2, kColLock = 3 };
    // Where the visible and locked states live in their cells.
    static constexpr int kStateRole = Qt::UserRole + 1;
    static constexpr int kIconColumnWidth = 32;

    explicit SceneTab(QWidget* parent = nullptr);
    ~SceneTab() override;

    void ctrlItem(const orbLiveImp::SceneItemData& data);
    // Names already taken, for the item-name dialog; the room answers from the studio.
    void setNameTaken(const NameDialog::Taken& taken) { taken_ = taken; }

    QStandardItemModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    bool placeholderShown() const { return placeholderShown_; }
    // -1 when no row has that name.
    int rowOf(const QString& itemName) const;
    bool itemState(const QString& itemName, Column column) const;

signals:
    void signalCtrlSceneItem(const QString& name, uint8_t type, const QVariant& value);
    void signalShowSourceProp(const QString& name);

public slots:
    void slotOnTableClicked(const QModelIndex& index);
    void slotOnTableDoubleClicked(const QModelIndex& index);
    void slotSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void slotSourceMenuRequested(const QPoint& pos);

private:
    void appendRow(const orbLiveImp::SceneItemData& data);
    void setState(int row, Column column, bool on);
    void selectRow(int row, bool select);
    void showPlaceholder(bool show);
    QString nameAt(int row) const;

    QStandardItemModel* model_;
    QTableView* table_;
    QLabel* placeholder_;
    bool placeholderShown_ = false;
    bool muteNextSelection_ = false;
    bool muteSelection_ = false;
    NameDialog::Taken taken_;
};
