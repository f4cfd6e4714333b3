#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include "core/DialogSeam.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "material/AddMaterial.h"
#include "material/HotkeyEdit.h"
#include "studio/OrbOBS.h"
#include "studio/StoredMaterial.h"
#include "studio/StudioConfig.h"

using live::DialogSeam;
using orbLiveImp::OrbShortcut;
using orbLiveImp::SoureParam;
using studiotest::app;

namespace {

const char* const kWindowTitle = "OrbMaterialTarget";
const char* const kIncomplete = "配置未完成";
const uint32_t kVkLeft = 0x25;
const uint32_t kVkRight = 0x27;
const uint32_t kVkN = 0x4E;
const uint32_t kVkP = 0x50;

QStringList choices(uint8_t kind) {
    return materialChoices(kind);
}

QStringList warnings() {
    return studiotest::shownTexts("warning");
}

QString keyText(int combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

}  // namespace

// The add-material dialog against the real studio: every kind added from real inputs and
// read back through the wrapper, the camera preview, bad input, and the slide keys.
class TestAddMaterial : public QObject {
    Q_OBJECT

private:
    template <typename T>
    T* child(const char* name) {
        return dialog_->findChild<T*>(QLatin1String(name));
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>("ok"), Qt::LeftButton); }

    void screenshot(const QString& name) {
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog_.get(), 30000));
        QVERIFY(dialog_->grab().save(studiotest::screenshotPath("addmaterial_" + name + ".png")));
    }

    // Fills the dialog as a user adding `kind` would; returns what must reach the studio.
    SoureParam fillForAdd(uint8_t kind) {
        SoureParam expected;
        expected.type = kind;
        switch (kind) {
            case SourceKinds::kImage:
            case SourceKinds::kMedia:
                expected.value = kind == SourceKinds::kImage ? in_.png : in_.clip;
                DialogSeam::presetAnswer(expected.value);
                QTest::mouseClick(child<QPushButton>("browse2"), Qt::LeftButton);
                expected.primaryFlag = kind == SourceKinds::kMedia;
                child<QCheckBox>("loop2")->setChecked(expected.primaryFlag);
                break;
            case SourceKinds::kSlideshow:
                expected.value = in_.folder;
                DialogSeam::presetAnswer(in_.folder);
                QTest::mouseClick(child<QPushButton>("browse3"), Qt::LeftButton);
                child<QComboBox>("comboBox3")->setCurrentIndex(1);
                QTest::keyClick(child<HotkeyEdit>("shortcut2"), Qt::Key_N, Qt::ControlModifier);
                expected.hotkeys = {{0, kVkLeft, QString()},
                                    {uint32_t(Qt::ControlModifier), kVkN, QString()}};
                break;
            default: {
                expected.value =
                    kind == SourceKinds::kWindow ? QString(kWindowTitle) : choices(kind).value(0);
                auto* combo = child<QComboBox>("comboBox1");
                combo->setCurrentIndex(combo->findText(expected.value));
                expected.primaryFlag = true;
                child<QCheckBox>("hflip")->setChecked(true);
                break;
            }
        }
        return expected;
    }

    std::unique_ptr<AddMaterial> dialog_;
    StudioConfig config_;
    studiotest::Inputs in_;
    std::unique_ptr<QWidget> window_;

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QCOMPARE(config_.initResult(), uint8_t(0));
        OrbOBS::instance().init(config_.config());
        QVERIFY(in_.make());
        window_ = studiotest::showWindow(kWindowTitle);
        QTRY_VERIFY_WITH_TIMEOUT(choices(SourceKinds::kWindow).contains(kWindowTitle), 20000);
        dialog_ = std::make_unique<AddMaterial>();
    }

    void cleanupTestCase() {
        dialog_.reset();
        window_.reset();
    }

    void init() {
        for (const QString& name : studiotest::itemNames()) {
            app()->removeScenceItem(name, false);
        }
        DialogSeam::clearShown();
    }

    void cleanup() {
        if (dialog_ && dialog_->isVisible()) {
            dialog_->reject();
        }
    }

    void addEachKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("page");
        QTest::newRow("picture") << int(SourceKinds::kImage) << 1;
        QTest::newRow("video") << int(SourceKinds::kMedia) << 1;
        QTest::newRow("picgroup") << int(SourceKinds::kSlideshow) << 2;
        QTest::newRow("desktop") << int(SourceKinds::kMonitor) << 0;
        QTest::newRow("window") << int(SourceKinds::kWindow) << 0;
    }
    void addEachKind() {
        QFETCH(int, kind);
        QFETCH(int, page);
        dialog_->openForAdd(uint8_t(kind));
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), page);
        QCOMPARE(dialog_->param().typeId, QString(SourceKinds::byKind(uint8_t(kind))->typeId));
        const SoureParam expected = fillForAdd(uint8_t(kind));
        screenshot(QTest::currentDataTag());

        QSignalSpy added(dialog_.get(), &AddMaterial::signalMaterialAdded);
        clickOk();
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join('|')));
        QCOMPARE(added.count(), 1);
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        const QString name = added.at(0).at(0).toString();
        QCOMPARE(studiotest::itemNames(), QStringList{name});
        QCOMPARE(storedMaterial(name, kind == SourceKinds::kSlideshow), materialLine(expected));
    }

    void viewAndChange_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("desktop") << int(SourceKinds::kMonitor);
        QTest::newRow("window") << int(SourceKinds::kWindow);
        QTest::newRow("video") << int(SourceKinds::kMedia);
    }
    void viewAndChange() {
        QFETCH(int, kind);
        const QString value = kind == SourceKinds::kMedia    ? in_.clip
                              : kind == SourceKinds::kWindow ? QString(kWindowTitle)
                                                             : choices(uint8_t(kind)).value(0);
        SoureParam stored = studiotest::param(uint8_t(kind), value, true);
        const QString name = app()->addSceneItem(stored);
        QVERIFY(dialog_->openForView(name));
        QCOMPARE(dialog_->windowTitle().left(2), QString("查看"));
        QAbstractButton* flag = kind == SourceKinds::kMedia ? child<QAbstractButton>("loop2")
                                                            : child<QAbstractButton>("hflip");
        QVERIFY(flag->isChecked());
        if (kind == SourceKinds::kMedia) {
            QCOMPARE(child<QLineEdit>("input2")->text(), in_.clip);
        } else {
            QCOMPARE(child<QComboBox>("comboBox1")->currentText(), stored.value);
        }
        flag->setChecked(false);
        clickOk();
        stored.primaryFlag = false;
        QCOMPARE(storedMaterial(name), materialLine(stored));
        QCOMPARE(studiotest::itemNames(), QStringList{name});
    }

    void pictureFilterReachesTheFileDialog() {
        dialog_->openForAdd(SourceKinds::kImage);
        QTest::mouseClick(child<QPushButton>("browse2"), Qt::LeftButton);
        QCOMPARE(DialogSeam::shown().size(), 1);
        // Qt's filter syntax: patterns separated by blanks, or nothing would be listed.
        QCOMPARE(DialogSeam::shown().at(0).text,
                 QString("Picture (*.jpg *.jpeg *.png *.tga *.bmp *.gif)"));
        QVERIFY(child<QLineEdit>("input2")->text().isEmpty());
    }

    void cameraPreviewGoesOnCancelOrClose_data() {
        QTest::addColumn<bool>("byClose");
        QTest::newRow("cancel") << false;
        QTest::newRow("close") << true;
    }
    void cameraPreviewGoesOnCancelOrClose() {
        QFETCH(bool, byClose);
        const QString kept = app()->addSceneItem(studiotest::param(SourceKinds::kImage, in_.png));
        dialog_->openForAdd(SourceKinds::kCamera);
        const QString preview = dialog_->sourceName();
        QVERIFY(!preview.isEmpty());
        QCOMPARE(studiotest::itemNames(), QStringList({preview, kept}));
        if (choices(SourceKinds::kCamera).isEmpty()) {
            QVERIFY(child<QLabel>("tips1")->isVisibleTo(dialog_.get()));
        }
        screenshot(QStringLiteral("camera"));
        if (byClose) {
            QVERIFY(dialog_->close());
        } else {
            QTest::mouseClick(child<QPushButton>("cancel"), Qt::LeftButton);
        }
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(studiotest::itemNames(), QStringList{kept});
    }

    void viewedCameraStaysAndFlips() {
        const QString name = app()->addSceneItem(studiotest::param(SourceKinds::kCamera, ""));
        QVERIFY(!name.isEmpty());
        QVERIFY(dialog_->openForView(name));
        QVERIFY(dialog_->editing());
        QCOMPARE(dialog_->windowTitle(), QString("查看摄像头"));
        QVERIFY(!child<QCheckBox>("hflip")->isChecked());

        // Mirroring acts at once on the scene item.
        child<QCheckBox>("hflip")->setChecked(true);
        QCOMPARE(storedMaterial(name),
                 materialLine(studiotest::param(SourceKinds::kCamera, "", true)));

        // This platform's camera has no device dialog of its own.
        QTest::mouseClick(child<QPushButton>("set"), Qt::LeftButton);
        QCOMPARE(warnings(), QStringList{"无法获取相机高级配置，素材名称: " + name});

        dialog_->show();
        QVERIFY(dialog_->close());
        QCOMPARE(studiotest::itemNames(), QStringList{name});
    }

    void badInputChangesNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("warning");
        const QString text = in_.dir.filePath("notes.png");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("plain words, no picture");
        file.close();
        const QString empty = in_.dir.filePath("empty");
        QDir().mkpath(empty);
        const QString missing = in_.dir.filePath("missing.mp4");
        QTest::newRow("empty picture path") << int(SourceKinds::kImage) << QString() << kIncomplete;
        QTest::newRow("not a picture")
            << int(SourceKinds::kImage) << text << QString("无法读取图片：" + text);
        QTest::newRow("missing video")
            << int(SourceKinds::kMedia) << missing << QString("视频文件不存在：" + missing);
        QTest::newRow("empty folder")
            << int(SourceKinds::kSlideshow) << empty << QString("文件夹中没有图片：" + empty);
    }
    void badInputChangesNothing() {
        QFETCH(int, kind);
        QFETCH(QString, input);
        QFETCH(QString, warning);
        dialog_->openForAdd(uint8_t(kind));
        dialog_->show();
        child<QLineEdit>(kind == SourceKinds::kSlideshow ? "input3" : "input2")->setText(input);
        QSignalSpy added(dialog_.get(), &AddMaterial::signalMaterialAdded);
        clickOk();
        QCOMPARE(warnings(), QStringList{warning});
        QCOMPARE(added.count(), 0);
        QVERIFY(dialog_->isVisible());
        QVERIFY(studiotest::itemNames().isEmpty());
    }

    void windowClosedWhileOpen() {
        const QString title = QStringLiteral("OrbShortLivedWindow");
        std::unique_ptr<QWidget> gone = studiotest::showWindow(title);
        QTRY_VERIFY_WITH_TIMEOUT(choices(SourceKinds::kWindow).contains(title), 20000);
        dialog_->openForAdd(SourceKinds::kWindow);
        dialog_->show();
        auto* combo = child<QComboBox>("comboBox1");
        combo->setCurrentIndex(combo->findText(title));
        QCOMPARE(combo->currentText(), title);
        gone.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!choices(SourceKinds::kWindow).contains(title), 20000);

        clickOk();
        QCOMPARE(warnings(), QStringList{"所选窗口已关闭，请重新选择"});
        QVERIFY(dialog_->isVisible());
        QVERIFY(studiotest::itemNames().isEmpty());
        QCOMPARE(combo->findText(title), -1);
    }

    void sameShortcutWarnsOnce() {
        dialog_->openForAdd(SourceKinds::kSlideshow);
        auto* previous = child<HotkeyEdit>("shortcut1");
        auto* next = child<HotkeyEdit>("shortcut2");
        QVERIFY(!previous->isEnabled());
        child<QComboBox>("comboBox3")->setCurrentIndex(1);
        QVERIFY(previous->isEnabled() && next->isEnabled());
        QTest::keyClick(previous, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(warnings().isEmpty());

        QTest::keyClick(next, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(warnings(), QStringList{"上一页、下一页快捷键不能相同，请重新设置\n"});
        QCOMPARE(previous->text(), keyText(Qt::Key_Left));
        QCOMPARE(next->text(), keyText(Qt::Key_Right));
        uint32_t modifiers = 1;
        uint32_t key = 0;
        previous->getKey(modifiers, key);
        QCOMPARE(key, kVkLeft);
        QCOMPARE(modifiers, 0u);

        // Auto play has no keys.
        child<QComboBox>("comboBox3")->setCurrentIndex(0);
        QVERIFY(previous->text().isEmpty() && !previous->isEnabled());
        QCOMPARE(warnings().size(), 1);
    }

    void viewedManualGroupKeepsItsKeys() {
        SoureParam group = studiotest::param(SourceKinds::kSlideshow, in_.folder);
        const QString name = app()->addSceneItem(group);
        const std::vector<OrbShortcut> keys = {
            {uint32_t(Qt::ControlModifier | Qt::ShiftModifier), kVkP, QString()},
            {uint32_t(Qt::AltModifier), kVkN, QString()}};
        QVERIFY(OrbOBS::instance().setSourceHotkeys(name, keys));

        QVERIFY(dialog_->openForView(name));
        QCOMPARE(child<QComboBox>("comboBox3")->currentIndex(), 1);
        auto* previous = child<HotkeyEdit>("shortcut1");
        QVERIFY(previous->isEnabled());
        QCOMPARE(previous->text(), keyText(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
        QCOMPARE(child<HotkeyEdit>("shortcut2")->text(), keyText(Qt::ALT | Qt::Key_N));
        QVERIFY(warnings().isEmpty());
        screenshot(QStringLiteral("picgroup_view"));

        QSignalSpy changed(dialog_.get(), &AddMaterial::signalMaterialChanged);
        clickOk();
        QCOMPARE(changed.count(), 1);
        group.hotkeys = keys;
        QCOMPARE(storedMaterial(name, true), materialLine(group));
    }

    void viewingAMissingMaterialLeavesTheDialog() {
        dialog_->openForAdd(SourceKinds::kMedia);
        const QString title = dialog_->windowTitle();
        QVERIFY(!dialog_->openForView(QStringLiteral("NoSuchMaterial")));
        QCOMPARE(dialog_->windowTitle(), title);
        QVERIFY(!dialog_->editing());
    }
};

STUDIO_TEST_MAIN(TestAddMaterial)
#include "tst_addmaterial.moc"
