#include <QToolButton>
#include <QtTest>

#include "PrivateDisplay.h"
#include "StoredMaterial.h"
#include "frontend/OBSBasic.h"
#include "frontend/SourceFactory.h"
#include "frontend/SourceKinds.h"
#include "frontend/StudioTestKit.h"
#include "material/Material.h"
#include "studio/OrbOBS.h"

using studiotest::app;

namespace {
QString g_displayFailure;
}

// The studio on an X display without a window manager: window capture registers no input
// type there, and a kind the engine lacks must read as unavailable instead of aborting.
class TestStudioBare : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        ORB_REQUIRE(g_displayFailure.isEmpty(), g_displayFailure);
        STUDIO_REQUIRE();
        const SourceKind* window = SourceKinds::byKind(SourceKinds::kWindow);
        QVERIFY2(!SourceFactory::registered(window->typeId),
                 "window capture registered without a window manager");
    }

    void missingKindIsUnavailableNotACrash() {
        QVERIFY(materialChoices(SourceKinds::kWindow).isEmpty());
        QVERIFY(app()->GetMainWindow()->fastAddWindow(QStringLiteral("any")).isEmpty());
        QVERIFY(!OrbOBS::instance().unavailableReason(SourceKinds::kWindow).isEmpty());
        QVERIFY(OrbOBS::instance().unavailableReason(SourceKinds::kImage).isEmpty());
    }

    void panelDisablesTheMissingKind() {
        Material panel;
        for (uint8_t kind = 0; kind <= SourceKinds::kSlideshow; ++kind) {
            panel.setUnavailable(kind, OrbOBS::instance().unavailableReason(kind));
        }
        auto* window = panel.findChild<QToolButton*>(QStringLiteral("window"));
        auto* picture = panel.findChild<QToolButton*>(QStringLiteral("picture"));
        QVERIFY(window && picture);
        QVERIFY(!window->isEnabled());
        QVERIFY(window->toolTip().contains(QStringLiteral("xcomposite_input")));
        QVERIFY(picture->isEnabled());
        QVERIFY(picture->toolTip().isEmpty());
    }
};

int main(int argc, char** argv) {
    PrivateDisplay display;
    if (!display.start(false)) {
        g_displayFailure = display.failure();
        qunsetenv("DISPLAY");
    }
    return studiotest::runWithStudio(argc, argv, [&] {
        TestStudioBare test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_studio_bare.moc"
