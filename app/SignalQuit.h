#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a quit of the event loop. The signal handler only writes one
// byte to a socket pair; the quit itself happens on the main thread.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; call before the application object exists.
    static void installHandlers();
    // Starts watching for delivered signals; a signal that came earlier is acted on at once.
    explicit SignalQuit(QObject* parent = nullptr);

private:
    void onSignal();

    QSocketNotifier* notifier_ = nullptr;
};
