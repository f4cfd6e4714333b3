#include <QFile>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include "core/Log.h"
#include "material/Material.h"
#include "material/obsSourceManage.h"

namespace {

// The panel built on a form that lacks the picture-group button.
class MaterialWithoutPicgroup : public Material {
public:
    MaterialWithoutPicgroup()
        : Material(nullptr, [](QWidget* form) {
              auto* grid = new QGridLayout(form);
              const char* names[] = {"camera", "desktop", "picture", "window", "video"};
              int index = 0;
              for (const char* name : names) {
                  auto* button = new QToolButton(form);
                  button->setObjectName(QLatin1String(name));
                  grid->addWidget(button, index / 3, index % 3);
                  ++index;
              }
          }) {}
};

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
    const QPoint local = target->mapFromGlobal(global);
    QMouseEvent event(type, local, global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

class TestMaterial : public QObject {
    Q_OBJECT

private slots:
    void buttonsEmitTheirKind_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("camera") << "camera" << 0 << QStringLiteral("摄像头");
        QTest::newRow("desktop") << "desktop" << 1 << QStringLiteral("桌面");
        QTest::newRow("picture, first row") << "picture" << 3 << QStringLiteral("图片");
        QTest::newRow("window, second row") << "window" << 2 << QStringLiteral("窗口");
        QTest::newRow("video") << "video" << 4 << QStringLiteral("视频");
        QTest::newRow("picgroup") << "picgroup" << 5 << QStringLiteral("图片组");
    }
    void buttonsEmitTheirKind() {
        QFETCH(QString, button);
        QFETCH(int, kind);
        QFETCH(QString, text);
        Material panel;
        QCOMPARE(panel.size(), QSize(250, 285));
        auto* target = panel.findChild<QToolButton*>(button);
        QVERIFY(target);
        QCOMPARE(target->text(), text);
        QCOMPARE(target->property("id").toInt(), kind);
        QCOMPARE(emittedKind(panel, button), kind);
    }

    void aMissingButtonIsLoggedOnceAndTheOthersWork() {
        QTemporaryDir dir;
        const QString base = dir.path() + "/orblive_log";
        live::initLogger(base.toUtf8().constData(), live::kWarn);
        {
            MaterialWithoutPicgroup panel;
            QCOMPARE(emittedKind(panel, "camera"), 0);
            QCOMPARE(emittedKind(panel, "desktop"), 1);
            QCOMPARE(emittedKind(panel, "window"), 2);
            QCOMPARE(emittedKind(panel, "picture"), 3);
            QCOMPARE(emittedKind(panel, "video"), 4);
        }
        live::closeLogger();
        QFile file(base + ".txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count("no button name"), 1);
        QVERIFY(text.contains("Material::Material: no button name picgroup"));
    }

    void slotIgnoresSendersThatAreNotToolButtons() {
        Material panel;
        QSignalSpy spy(&panel, &Material::signalAddMaterial);
        QPushButton other;
        other.setProperty("id", 4);
        connect(&other, &QPushButton::clicked, &panel, &Material::slotOnClicked);
        other.click();
        panel.slotOnClicked();
        QCOMPARE(spy.count(), 0);
    }

    void closingTheSourceManagerEmitsOnceAndHides() {
        obsSourceManage manager;
        QCOMPARE(manager.size(), QSize(330, 336));
        QVERIFY(manager.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(manager.isWindow());
        QCOMPARE(manager.sourceWidget()->objectName(), QStringLiteral("widget_obssource"));
        QCOMPARE(manager.sourceLayout(), manager.sourceWidget()->layout());
        QCOMPARE(manager.sourceLayout()->objectName(), QStringLiteral("verticalLayout_obssource"));

        QSignalSpy visible(&manager, &obsSourceManage::signalVisble);
        manager.show();
        QVERIFY(QTest::qWaitForWindowExposed(&manager, 30000));
        auto* close = manager.findChild<QPushButton*>(QStringLiteral("pushButton_close"));
        QVERIFY(close);
        QTest::mouseClick(close, Qt::LeftButton);
        QCOMPARE(visible.count(), 1);
        QCOMPARE(visible.at(0).at(0).toBool(), false);
        QVERIFY(!manager.isVisible());

        manager.show();
        manager.close();  // as the window system closes it
        QCOMPARE(visible.count(), 2);
        QVERIFY(!manager.isVisible());
        manager.close();  // already hidden: nothing more to report
        QCOMPARE(visible.count(), 2);
    }

    void theSourceManagerFollowsALeftButtonDrag() {
        obsSourceManage manager;
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
    }
};

QTEST_MAIN(TestMaterial)
#include "tst_material.moc"
