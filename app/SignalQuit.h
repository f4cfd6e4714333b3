#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM (on Windows the console's Ctrl+C and close events) into a quit of
// the event loop. The signal handler only writes one byte to a socket pair; the quit itself
// happens on the main thread.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; call before the application object exists, and again once the
    // browser engine has started (it puts its own in place).
    static void installHandlers();
    // Starts watching for delivered signals; a signal that came earlier is acted on at once.
    explicit SignalQuit(QObject* parent = nullptr);

    // A signal was acted on. QCoreApplication::exec() forgets a quit that came before it
    // (events may be processed during start-up), so the caller asks before entering it.
    bool requested() const { return requested_; }

private:
    void onSignal();

    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};
