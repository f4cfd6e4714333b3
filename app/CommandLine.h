#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// The client's own options. Everything else on the command line belongs to Qt and the browser
// engine, which read it from the application object; those options are let through here, and
// anything unknown to all three is refused before a window or the single-instance lock exists.
class CommandLine {
public:
    enum class Action { Run, Version, Help, Unknown };

    CommandLine(int argc, char** argv);

    Action action() const { return action_; }
    const QString& unknownOption() const { return unknown_; }
    bool endsHere() const { return action_ != Action::Run; }

    // Prints what the action asks for and returns the process's exit status.
    int respond(std::FILE* out, std::FILE* err) const;

    static QString versionText();
    static QString helpText();

private:
    void parse(const QStringList& args);
    static bool takesValue(const QString& option);
    static bool isPassedOn(const QString& option);

    Action action_ = Action::Run;
    QString unknown_;
};
