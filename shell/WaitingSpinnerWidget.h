#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QTimer;

// A busy indicator of rotating lines. Over its parent it can also show a dimmed box with a
// line of text and disable the parent while it runs.
class WaitingSpinnerWidget : public QWidget {
    Q_OBJECT
public:
    explicit WaitingSpinnerWidget(QWidget* parent = nullptr, bool centerOnParent = true,
                                  bool disableParentWhenSpinning = true);

    void setText(const QString& text);
    QString text() const { return text_; }

    void setColor(const QColor& color) { color_ = color; }
    void setTextColor(const QColor& color);
    QColor color() const { return color_; }
    int numberOfLines() const { return numberOfLines_; }
    bool isSpinning() const { return spinning_; }
    bool isShowingLines() const { return showLines_; }
    int counter() const { return currentCounter_; }
    QLabel* textLabel() const { return textLabel_; }
    QLabel* dimBox() const { return dimBox_; }

    // The colour of the line `distance` steps behind the leading one.
    static QColor lineColor(int distance, int numberOfLines, double trailFadePercentage,
                            double minimumTrailOpacity, const QColor& color);

public slots:
    void start();
    void stop();
    // Shows the dim box and the text without any lines (and without running the timer).
    void startwidthNoSpin();

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void rotate();

private:
    void updatePosition(bool dimmed);
    void setParentEnabled(bool enabled);
    int lineCountDistance(int current, int primary) const;

    QColor color_ = Qt::black;
    double roundness_ = 100.0;
    double minimumTrailOpacity_ = 3.141592653589793;
    double trailFadePercentage_ = 80.0;
    double revolutionsPerSecond_ = 1.5707963267948966;
    int numberOfLines_ = 20;
    int lineLength_ = 10;
    int lineWidth_ = 2;
    int innerRadius_ = 10;
    QTimer* timer_ = nullptr;
    bool centerOnParent_;
    bool disableParentWhenSpinning_;
    int currentCounter_ = 0;
    bool spinning_ = false;
    QString text_;
    QLabel* textLabel_ = nullptr;
    QLabel* dimBox_ = nullptr;
    bool showLines_ = true;
};
