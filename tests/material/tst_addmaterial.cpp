#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
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
const uint32_t kVkN = 0x4E;
const uint32_t kVkP = 0x50;

QStringList warnings() {
    return studiotest::shownTexts("warning");
}

QString keyText(int combination) {
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

}  // namespace

// The add-material dialog against the real studio: every kind added from real inputs, read
// back through the wrapper, viewed and changed, the camera preview, bad input, and the slide keys.
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
                expected.value = kind == SourceKinds::kWindow ? QString(kWindowTitle)
                                                              : materialChoices(kind).value(0);
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
        QTRY_VERIFY_WITH_TIMEOUT(materialChoices(SourceKinds::kWindow).contains(kWindowTitle),
                                 20000);
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
        SoureParam expected = fillForAdd(uint8_t(kind));
        screenshot(QTest::currentDataTag());
        if (kind == SourceKinds::kImage) {
            // Qt's filter syntax: patterns separated by blanks, or nothing would be listed.
            QCOMPARE(studiotest::shownTexts("file"),
                     QStringList{"Picture (*.jpg *.jpeg *.png *.tga *.bmp *.gif)"});
        }

        QSignalSpy added(dialog_.get(), &AddMaterial::signalMaterialAdded);
        clickOk();
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join('|')));
        QCOMPARE(added.count(), 1);
        const QString name = added.at(0).at(0).toString();
        QCOMPARE(studiotest::itemNames(), QStringList{name});
        QCOMPARE(storedMaterial(name, kind == SourceKinds::kSlideshow), materialLine(expected));
        if (kind == SourceKinds::kImage || kind == SourceKinds::kSlideshow) {
            return;  // a picture has no flag to change; the group is viewed with its keys below
        }

        // Viewed, it shows what was added, and a change reaches the studio in place.
        QVERIFY(dialog_->openForView(name));
        auto* flag = child<QAbstractButton>(page == 1 ? "loop2" : "hflip");
        QVERIFY(flag->isChecked());
        QCOMPARE(page == 1 ? child<QLineEdit>("input2")->text()
                           : child<QComboBox>("comboBox1")->currentText(),
                 expected.value);
        flag->setChecked(false);
        clickOk();
        expected.primaryFlag = false;
        QCOMPARE(storedMaterial(name), materialLine(expected));
    }

    // The camera is added at once as a preview, which cancel or close removes again; a viewed
    // camera stays on close, and mirroring acts on it at once.
    void cameraPreviewAndView() {
        const QString kept = app()->addSceneItem(studiotest::param(SourceKinds::kImage, in_.png));
        for (const bool byClose : {false, true}) {
            dialog_->openForAdd(SourceKinds::kCamera);
            const QString preview = dialog_->sourceName();
            QVERIFY(!preview.isEmpty());
            QCOMPARE(studiotest::itemNames(), QStringList({preview, kept}));
            screenshot(QStringLiteral("camera"));
            if (byClose) {
                QVERIFY(dialog_->close());
            } else {
                QTest::mouseClick(child<QPushButton>("cancel"), Qt::LeftButton);
            }
            QCOMPARE(studiotest::itemNames(), QStringList{kept});
        }

        const QString name = app()->addSceneItem(studiotest::param(SourceKinds::kCamera, ""));
        QVERIFY(!dialog_->openForView(QStringLiteral("NoSuchMaterial")));
        QVERIFY(dialog_->openForView(name));
        QCOMPARE(dialog_->windowTitle(), QString("查看摄像头"));
        child<QCheckBox>("hflip")->setChecked(true);
        QCOMPARE(storedMaterial(name),
                 materialLine(studiotest::param(SourceKinds::kCamera, "", true)));
        // This platform's camera has no device dialog of its own.
        QTest::mouseClick(child<QPushButton>("set"), Qt::LeftButton);
        QCOMPARE(warnings(), QStringList{"无法获取相机高级配置，素材名称: " + name});
        dialog_->show();
        QVERIFY(dialog_->close());
        QCOMPARE(studiotest::itemNames(), QStringList({name, kept}));
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
        clickOk();
        QCOMPARE(warnings(), QStringList{warning});
        QVERIFY(dialog_->isVisible());
        QVERIFY(studiotest::itemNames().isEmpty());
    }

    void windowClosedWhileOpen() {
        const QString title = QStringLiteral("OrbShortLivedWindow");
        std::unique_ptr<QWidget> gone = studiotest::showWindow(title);
        QTRY_VERIFY_WITH_TIMEOUT(materialChoices(SourceKinds::kWindow).contains(title), 20000);
        dialog_->openForAdd(SourceKinds::kWindow);
        dialog_->show();
        auto* combo = child<QComboBox>("comboBox1");
        combo->setCurrentIndex(combo->findText(title));
        gone.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!materialChoices(SourceKinds::kWindow).contains(title), 20000);

        clickOk();
        QCOMPARE(warnings(), QStringList{"所选窗口已关闭，请重新选择"});
        QVERIFY(dialog_->isVisible());
        QVERIFY(studiotest::itemNames().isEmpty());
    }

    void sameShortcutWarnsOnce() {
        dialog_->openForAdd(SourceKinds::kSlideshow);
        auto* previous = child<HotkeyEdit>("shortcut1");
        auto* next = child<HotkeyEdit>("shortcut2");
        child<QComboBox>("comboBox3")->setCurrentIndex(1);
        QTest::keyClick(previous, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(warnings().isEmpty());

        QTest::keyClick(next, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(warnings(), QStringList{"上一页、下一页快捷键不能相同，请重新设置\n"});
        QCOMPARE(previous->text(), keyText(Qt::Key_Left));
        QCOMPARE(next->text(), keyText(Qt::Key_Right));

        child<QComboBox>("comboBox3")->setCurrentIndex(0);  // auto play has no keys
        QVERIFY(previous->text().isEmpty() && !previous->isEnabled());
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
        QCOMPARE(child<HotkeyEdit>("shortcut1")->text(), keyText(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
        QCOMPARE(child<HotkeyEdit>("shortcut2")->text(), keyText(Qt::ALT | Qt::Key_N));
        screenshot(QStringLiteral("picgroup_view"));

        QSignalSpy changed(dialog_.get(), &AddMaterial::signalMaterialChanged);
        clickOk();
        QCOMPARE(changed.count(), 1);
        group.hotkeys = keys;
        QCOMPARE(storedMaterial(name, true), materialLine(group));
    }
};

STUDIO_TEST_MAIN(TestAddMaterial)
#include "tst_addmaterial.moc"
