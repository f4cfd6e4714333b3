#include "app/CommandLine.h"

namespace {

// Qt's QGuiApplication and QApplication options; they are accepted with one or two dashes.
const char* const kQtOptionsWithValue[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "title",         "name",   "qmljsdebugger",
    "dialogs",     "fontengine",
};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "visual"};

// Browser engine switches worth passing when a page must be debugged on a user's machine.
const char* const kEngineSwitches[] = {
    "remote-debugging-port", "enable-logging", "log-level",      "v",
    "disable-gpu",           "no-sandbox",     "single-process", "ignore-gpu-blacklist",
    "ignore-gpu-blocklist",
};

QString optionName(const QString& arg) {
    QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
    return name.left(name.indexOf(QLatin1Char('=')));
}

template <std::size_t N>
bool listed(const char* const (&names)[N], const QString& name) {
    for (const char* n : names) {
        if (name == QLatin1String(n)) {
            return true;
        }
    }
    return false;
}

void print(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
    std::fflush(to);
}

}  // namespace

CommandLine::CommandLine(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.append(QString::fromLocal8Bit(argv[i]));
    }
    parse(args);
}

void CommandLine::parse(const QStringList& args) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--")) {
            return;
        }
        if (!arg.startsWith(QLatin1Char('-')) || arg.size() == 1) {
            continue;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            action_ = Action::Help;
            return;
        }
        if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            action_ = Action::Version;
            return;
        }
        if (!isPassedOn(arg)) {
            action_ = Action::Unknown;
            unknown_ = arg;
            return;
        }
        if (takesValue(arg) && !arg.contains(QLatin1Char('='))) {
            ++i;
        }
    }
}

bool CommandLine::takesValue(const QString& option) {
    return listed(kQtOptionsWithValue, optionName(option));
}

bool CommandLine::isPassedOn(const QString& option) {
    const QString name = optionName(option);
    if (listed(kQtOptionsWithValue, name) || listed(kQtFlags, name)) {
        return true;
    }
    return option.startsWith(QLatin1String("--")) && listed(kEngineSwitches, name);
}

int CommandLine::respond(std::FILE* out, std::FILE* err) const {
    switch (action_) {
        case Action::Version:
            print(out, versionText());
            return 0;
        case Action::Help:
            print(out, helpText());
            return 0;
        case Action::Unknown:
            print(err, QStringLiteral("orblive: unknown option '%1'\n\n").arg(unknown_));
            print(err, helpText());
            return 2;
        case Action::Run:
            break;
    }
    return 0;
}

QString CommandLine::versionText() {
    return QStringLiteral("orblive " ORBLIVE_VERSION "\n");
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "Usage: orblive [options]\n"
        "Live broadcasting client: sign in to the service, open a scheduled broadcast,\n"
        "compose its picture, stream it to the service and record it.\n"
        "\n"
        "Options:\n"
        "  -h, --help       show this help and exit\n"
        "  -v, --version    show the version and exit\n"
        "\n"
        "Qt's options (-platform, -style, ...) and the browser engine's debugging switches\n"
        "(--remote-debugging-port=PORT, --enable-logging, --disable-gpu, ...) are passed on.\n"
        "\n"
        "Files:\n"
        "  data/config.json, data/network.json   deployment, beside the executable\n"
        "  ~/.local/share/kelvarin/orblive/       sign-in state, window geometry and log\n"
        "\n"
        "Only one copy runs at a time; a second start is refused.\n");
}
