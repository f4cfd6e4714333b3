#pragma once

#include <QPixmap>
#include <QWidget>
#include <memory>

namespace Ui {
class orbLive_ShareWindowPreItem;
}

// One thumbnail of the share picker. An entry without title and window only fills a
// slot of the grid: it never reacts to clicks and is never selected.
class orbLive_ShareWindowPreItem : public QWidget {
    Q_OBJECT
public:
    orbLive_ShareWindowPreItem(QWidget* parent, const QString& title, WId windowId);
    ~orbLive_ShareWindowPreItem() override;

    void setThumbnail(const QPixmap& picture);
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    bool isPlaceholder() const { return placeholder_; }
    QString title() const { return title_; }
    WId windowId() const { return windowId_; }

signals:
    void preItemChecked();
    void preItemOK();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<Ui::orbLive_ShareWindowPreItem> ui_;
    QString title_;
    WId windowId_;
    bool placeholder_;
    bool selected_ = false;
};
