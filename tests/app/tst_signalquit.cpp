#include <QTimer>
#include <QtTest>

#include <csignal>

#include "app/SignalQuit.h"

// An interrupt that arrives while start-up still processes events must end the program: the
// quit it asks for is forgotten once the main loop begins.
class TestSignalQuit : public QObject {
    Q_OBJECT

private slots:
    void interruptDuringStartUpIsKept() {
        SignalQuit::installHandlers();
        SignalQuit quit;
        ::raise(SIGINT);
        QTRY_VERIFY_WITH_TIMEOUT(quit.requested(), 20000);
        // What the main loop would do with only the quit to go on.
        QTimer::singleShot(2000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 7);
    }
};

QTEST_GUILESS_MAIN(TestSignalQuit)
#include "tst_signalquit.moc"
