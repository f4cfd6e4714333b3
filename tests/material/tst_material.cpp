#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "frontend/SourceKinds.h"
#include "material/Material.h"
#include "material/obsSourceManage.h"

namespace {

// The kind the button named `button` asks for; -1 without such a button, -2 without a request.
int emittedKind(Material& panel, const QString& button) {
    QSignalSpy spy(&panel, &Material::signalAddMaterial);
    auto* target = panel.findChild<QToolButton*>(button);
    if (!target) {
        return -1;
    }
    QTest::mouseClick(target, Qt::LeftButton);
    return spy.count() == 1 ? int(spy.at(0).at(0).value<uint8_t>()) : -2;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons) {
    QMouseEvent event(type, target->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

class TestMaterial : public QObject {
    Q_OBJECT

private slots:
    void buttonsAskForTheirKind() {
        Material panel;
        const QList<QPair<QString, int>> buttons = {
            {"camera", SourceKinds::kCamera}, {"desktop", SourceKinds::kMonitor},
            {"window", SourceKinds::kWindow}, {"picture", SourceKinds::kImage},
            {"video", SourceKinds::kMedia},   {"picgroup", SourceKinds::kSlideshow}};
        for (const auto& [button, kind] : buttons) {
            QCOMPARE(emittedKind(panel, button), kind);
        }
        // Only the panel's own buttons ask.
        QSignalSpy spy(&panel, &Material::signalAddMaterial);
        QPushButton other;
        other.setProperty("id", 4);
        connect(&other, &QPushButton::clicked, &panel, &Material::slotOnClicked);
        other.click();
        panel.slotOnClicked();
        QCOMPARE(spy.count(), 0);
    }

    // The source manager closes by its button or by the window system, reporting it once,
    // and follows a left-button drag only while the button is down.
    void sourceManagerClosesAndFollowsADrag() {
        obsSourceManage manager;
        QSignalSpy visible(&manager, &obsSourceManage::signalVisble);
        manager.move(100, 100);
        manager.show();
        QVERIFY(QTest::qWaitForWindowExposed(&manager, 30000));
        const QPoint start = manager.pos() + QPoint(60, 15);
        sendMouse(&manager, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(&manager, QEvent::MouseMove, start + QPoint(120, 40), Qt::LeftButton);
        QCOMPARE(manager.pos(), QPoint(220, 140));
        sendMouse(&manager, QEvent::MouseButtonRelease, start + QPoint(120, 40), Qt::NoButton);
        sendMouse(&manager, QEvent::MouseMove, start + QPoint(300, 300), Qt::NoButton);
        QCOMPARE(manager.pos(), QPoint(220, 140));

        QTest::mouseClick(manager.findChild<QPushButton*>("pushButton_close"), Qt::LeftButton);
        QCOMPARE(visible.count(), 1);
        QCOMPARE(visible.at(0).at(0).toBool(), false);
        QVERIFY(!manager.isVisible());
        manager.show();
        manager.close();  // as the window system closes it
        QCOMPARE(visible.count(), 2);
        manager.close();  // already hidden: nothing more to report
        QCOMPARE(visible.count(), 2);
    }
};

QTEST_MAIN(TestMaterial)
#include "tst_material.moc"
