#pragma once

#include <QLayout>
#include <QList>
#include <QStyle>

// Places its items left to right and wraps them into rows as the width demands.
// A negative spacing is taken from the surroundings (parent widget's style, parent
// layout, or the push-button spacing of the item's style).
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent, int margin = -1, int hSpacing = -1, int vSpacing = -1);
    explicit FlowLayout(int margin = -1, int hSpacing = -1, int vSpacing = -1);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    int horizontalSpacing() const { return hSpacing_; }
    int verticalSpacing() const { return vSpacing_; }

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in `rect` (or only measures) and returns the height used.
    int place(const QRect& rect, bool measureOnly) const;
    int spacingFor(QLayoutItem* item, Qt::Orientation direction) const;
    int surroundingSpacing(QStyle::PixelMetric metric) const;

    QList<QLayoutItem*> items_;
    int hSpacing_;
    int vSpacing_;
};
