#pragma once

#include <QWidget>

class OBSBasic;
class QListWidget;
class QListWidgetItem;
class QToolButton;

// The current scene's materials, top-most first: a check box per row for visibility,
// buttons to move the selected one up or down, and the material menu on right click.
// It mirrors the studio's state; user actions go to the studio, never to the rows.
class SourceListWidget : public QWidget {
    Q_OBJECT
public:
    explicit SourceListWidget(OBSBasic* basic, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }

public slots:
    void refresh();

private slots:
    void onItemChanged(QListWidgetItem* item);
    void onSelectionChanged();
    void onMoveUp();
    void onMoveDown();
    void onContextMenu(const QPoint& pos);
    void onDoubleClicked(QListWidgetItem* item);

private:
    QString selectedName() const;

    OBSBasic* basic_;
    QListWidget* list_;
    QToolButton* up_;
    QToolButton* down_;
    bool refreshing_ = false;
};
