#pragma once

// Sends the engine's log lines into the client's log. The engine logs from its own
// threads; the client's log is thread-safe.
class LogBridge {
public:
    static void install();
};
