#pragma once

#include <QHash>
#include <QWidget>
#include <cstdint>

class QHBoxLayout;

// The main window's body: one page shown at a time, each filed under the step numbers that
// show it (one browser page serves several steps).
class PageStack : public QWidget {
    Q_OBJECT
public:
    explicit PageStack(QWidget* parent = nullptr);

    void insert(uint8_t step, QWidget* page) { pages_.insert(step, page); }
    QWidget* take(uint8_t step) { return pages_.take(step); }
    QWidget* page(uint8_t step) const { return pages_.value(step); }
    void clear() { pages_.clear(); }

    // Hides the page on show and shows the one of `step` in its place; null when the step
    // has no page.
    QWidget* showStep(uint8_t step);

private:
    QHBoxLayout* hlay_;
    QHash<uint8_t, QWidget*> pages_;
};
