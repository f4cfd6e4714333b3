// The client signed in under the English catalogue, its pages, rooms and dialogs walked widget
// by widget: a Chinese character outside the user's own data is a text that escaped translation.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

#include "app/AppContext.h"
#include "app/RoomFactory.h"
#include "app/Translations.h"
#include "core/DialogSeam.h"
#include "core/IConfig.h"
#include "frontend/OBSBasic.h"
#include "frontend/SourceKinds.h"
#include "frontend/SourceMenu.h"
#include "material/AddMaterial.h"
#include "net/DemoService.h"
#include "net/OrbHttpMgr.h"
#include "room/Console.h"
#include "room/NameDialog.h"
#include "room/Room.h"
#include "room/RoomSimple.h"
#include "room/RoomTestMain.h"
#include "room/Scene.h"
#include "room/Speaker.h"
#include "settings/LiveSet.h"
#include "share/orbLive_ShareWinEnumWidget.h"
#include "shell/MainWindow.h"
#include "shell/ormLive_AskDialog.h"
#include "shell/tasks/Task.h"
#include "shell/web/OrbWebView.h"
#include "support/PageScript.h"

using live::DialogSeam;

namespace {

constexpr int kWait = 60000;

// Installed with the application object, before the studio names its first scene, as start-up
// does under an English locale.
void installEnglish() {
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ORB_STAGE_DIR));
    loadTranslations();
    QDir::setCurrent(cwd);
}
Q_COREAPP_STARTUP_FUNCTION(installEnglish)

bool hasCjk(QString text, const QStringList& userData) {
    for (const QString& data : userData) {
        text.remove(data);
    }
    static const QRegularExpression cjk(
        QStringLiteral("[\\x{3000}-\\x{303f}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return cjk.match(text).hasMatch();
}

// Every text a widget shows: its own, its actions', its items' and headers'.
QStringList textsOf(QWidget* w) {
    QStringList texts{w->toolTip()};
    if (w->isWindow()) {
        texts << w->windowTitle();
    }
    for (QAction* action : w->actions()) {
        texts << action->text() << action->toolTip();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        texts << label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        texts << button->text();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        texts << edit->text() << edit->placeholderText();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        texts << combo->placeholderText() << combo->currentText();
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        texts << box->title();
    } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < bar->count(); ++i) {
            texts << bar->tabText(i) << bar->tabToolTip(i);
        }
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        if (QAbstractItemModel* model = view->model()) {
            for (int c = 0; c < model->columnCount(); ++c) {
                texts << model->headerData(c, Qt::Horizontal).toString();
                for (int r = 0; r < model->rowCount(); ++r) {
                    texts << model->index(r, c).data().toString()
                          << model->index(r, c).data(Qt::ToolTipRole).toString();
                }
            }
        }
    }
    return texts;
}

// "Class objectName: text" for every untranslated text in the tree under `root`.
QStringList offenders(QWidget* root, const QStringList& userData) {
    QStringList found;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        for (const QString& text : textsOf(w)) {
            if (hasCjk(text, userData)) {
                found << QStringLiteral("%1 %2: %3")
                             .arg(w->metaObject()->className(), w->objectName(), text);
            }
        }
    }
    return found;
}

QStringList seamOffenders(const QStringList& userData) {
    QStringList found;
    for (const DialogSeam::Shown& shown : DialogSeam::shown()) {
        if (hasCjk(shown.title + shown.text, userData)) {
            found << QStringLiteral("%1 box: %2 / %3").arg(shown.kind, shown.title, shown.text);
        }
    }
    return found;
}

#define VERIFY_ENGLISH(list)                                                           \
    do {                                                                               \
        const QStringList found_ = (list);                                             \
        QVERIFY2(found_.isEmpty(), qPrintable("\n" + found_.join(QLatin1Char('\n')))); \
    } while (false)

}  // namespace

class TestEnglish : public QObject {
    Q_OBJECT

    DemoService demo_;
    QTemporaryDir dir_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
    QStringList userData_;

    Room* room() const { return qobject_cast<Room*>(window_->room()); }
    QTableWidget* table() const {
        return window_->taskList()->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    }

    QPushButton* rowButton(int row, const char* name) const {
        QWidget* cell = table() ? table()->cellWidget(row, 3) : nullptr;
        return cell ? cell->findChild<QPushButton*>(QLatin1String(name)) : nullptr;
    }

    // The user's own data: task titles, the service's own messages and the nickname.
    void noteUserData() {
        for (int r = 0; r < table()->rowCount(); ++r) {
            if (QTableWidgetItem* item = table()->item(r, 0)) {
                userData_ << item->text();
            }
            if (QPushButton* end = rowButton(r, "pushButton_endTask")) {
                userData_ << end->toolTip();
            }
        }
        userData_ << window_->findChild<QLabel*>(QStringLiteral("user_info"))->text();
        userData_.removeAll(QString());
    }

private slots:
    void initTestCase() {
        STUDIO_REQUIRE();
        QFile catalogue(QStringLiteral(ORB_SOURCE_DIR "/translations/orblive_en.ts"));
        QVERIFY(catalogue.open(QIODevice::ReadOnly));
        QVERIFY2(!catalogue.readAll().contains("type=\"unfinished\""),
                 "orblive_en.ts has texts left to translate");
        QVERIFY(demo_.start());
        const QString data = dir_.filePath("data");
        QVERIFY(QDir().mkpath(data));
        QVERIFY(!DemoService::writeConfigFile(data).isEmpty());
        QVERIFY(!demo_.writeNetworkFile(data).isEmpty());
        QGuiApplication::setQuitOnLastWindowClosed(false);

        context_ = std::make_unique<AppContext>();
        QCOMPARE(context_->start(dir_.path()), 0);
        window_ = std::make_unique<MainWindow>();
        window_->setRoomFactory(RoomFactory::make(context_->config(), context_->network()));
        QCOMPARE(window_->start(context_->config(), context_->network(), context_->user()), 0);
        if (window_->requestedStep() == MainWindow::kStepSignIn) {
            QVERIFY(PageScript::signIn(window_->webView()->view()->page(), kWait));
        }
        QTRY_VERIFY_WITH_TIMEOUT(rowButton(0, "pushButton_jion"), kWait);
        noteUserData();
    }

    void init() { DialogSeam::clearShown(); }

    void cleanupTestCase() {
        window_.reset();
        context_.reset();
    }

    void mainWindowTaskListAndAskDialogs() {
        VERIFY_ENGLISH(offenders(window_.get(), userData_));
        for (auto buttons : {ormLive_AskDialog::kOk, ormLive_AskDialog::kOkCancel,
                             ormLive_AskDialog::kJoin, ormLive_AskDialog::kCopy}) {
            ormLive_AskDialog ask(QStringLiteral("Question"), QString(), buttons, window_.get());
            VERIFY_ENGLISH(offenders(&ask, userData_));
        }
        // Asked before quitting; the seam says no, so the window stays.
        context_->config()->runtime().reconfirm = true;
        QVERIFY(!window_->close());
        QVERIFY(!DialogSeam::shown().isEmpty());
        VERIFY_ENGLISH(seamOffenders(userData_));
    }

    void studioRoomAndItsDialogs() {
        QTest::mouseClick(rowButton(0, "pushButton_jion"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            room() && room()->isVisible() && room()->scene()->currentIndex() >= 0, kWait);
        VERIFY_ENGLISH(offenders(window_.get(), userData_));
        QDir().mkpath(QStringLiteral(ORB_BINARY_DIR "/screenshots"));
        window_->grab().save(QStringLiteral(ORB_BINARY_DIR "/screenshots/room_english.png"));

        for (uint8_t kind : {SourceKinds::kCamera, SourceKinds::kMonitor, SourceKinds::kWindow,
                             SourceKinds::kImage, SourceKinds::kMedia, SourceKinds::kSlideshow}) {
            room()->slotAddMaterial(kind);
            AddMaterial* dialog = room()->materialDialog();
            QVERIFY(dialog->isVisible());
            VERIFY_ENGLISH(offenders(dialog, userData_));
            dialog->reject();
        }
        LiveSet settings(window_.get(), room()->console());
        VERIFY_ENGLISH(offenders(&settings, userData_));
        VERIFY_ENGLISH(offenders(room()->speaker(), userData_));
        std::unique_ptr<QMenu> menu(
            SourceMenu::create(studiotest::app()->GetMainWindow(), QString(), true));
        VERIFY_ENGLISH(offenders(menu.get(), userData_));

        // A name too long: the warning, then the question again.
        QString name;
        DialogSeam::presetAnswer(QStringLiteral("a name far longer than sixteen letters"));
        DialogSeam::presetAnswer(int(QMessageBox::Ok));
        DialogSeam::presetAnswer(int(QDialog::Rejected));
        QVERIFY(!NameDialog::askItemName(window_.get(), "old", nullptr, name));
        VERIFY_ENGLISH(seamOffenders(userData_));
        window_->close();  // leaves the room for the list
        QTRY_COMPARE_WITH_TIMEOUT(window_->requestedStep(), uint8_t(MainWindow::kStepTasks), kWait);
    }

    void speechRoomAndSharePicker() {
        QVERIFY(QDir().mkpath(dir_.filePath("speech")));
        auto config = std::make_shared<live::IConfig>();
        QCOMPARE(config->init(DemoService::writeConfigFile(dir_.filePath("speech"), {{"type", 1}})),
                 uint8_t(0));
        RoomSimple speech(nullptr, config, context_->network());
        QString url = QStringLiteral("rtmp://127.0.0.1:1/live/none");
        const QString title = userData_.first();
        speech.enterRoom(title, url, 1001, 1);
        QTRY_VERIFY_WITH_TIMEOUT(speech.isVisible(), kWait);
        VERIFY_ENGLISH(offenders(&speech, userData_));
        orbLive_ShareWinEnumWidget picker(&speech);
        VERIFY_ENGLISH(offenders(&picker, userData_));
        QVERIFY(speech.leaveRoom());
        VERIFY_ENGLISH(seamOffenders(userData_));
    }
};

ROOM_TEST_MAIN(TestEnglish)

#include "tst_english.moc"
