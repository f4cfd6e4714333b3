#include "platform/X11Windows.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QX11Info>
#include <memory>
#include <vector>

#include "core/Log.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace live {
namespace {

// Windows can vanish while we walk the list; their BadWindow errors must not end
// the process, so they are swallowed while a trap is alive.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display)
        : display_(display), previous_(XSetErrorHandler(&ErrorTrap::ignore)) {}
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    static int ignore(Display*, XErrorEvent*) { return 0; }
    Display* display_;
    XErrorHandler previous_;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    QByteArray data;  // format 32 items are stored as C longs, as Xlib hands them out
};

// Reads a property whole: first its size, then all of it, so long titles are never cut.
Property readProperty(Display* display, Window window, Atom name, Atom type) {
    Property result;
    long wanted = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, name, 0, wanted, False, type, &result.type,
                               &result.format, &result.count, &after, &data) != Success) {
            return {};
        }
        std::unique_ptr<unsigned char, int (*)(void*)> owned(data, XFree);
        if (result.type == None || (type != AnyPropertyType && result.type != type)) {
            return {};
        }
        if (after == 0) {
            const size_t unit = result.format == 32 ? sizeof(long) : size_t(result.format / 8);
            if (data) {
                result.data =
                    QByteArray(reinterpret_cast<const char*>(data), int(result.count * unit));
            }
            return result;
        }
        wanted += long((after + 3) / 4);
    }
    return {};
}

std::vector<unsigned long> longs(const Property& property) {
    if (property.format != 32) {
        return {};
    }
    const auto* first = reinterpret_cast<const unsigned long*>(property.data.constData());
    return std::vector<unsigned long>(first, first + property.count);
}

Atom atom(Display* display, const char* name) {
    return XInternAtom(display, name, False);
}

// _NET_WM_NAME in UTF-8 when the client sets it, else the legacy WM_NAME in its encoding.
QString windowTitle(Display* display, Window window) {
    const Property utf8 =
        readProperty(display, window, atom(display, "_NET_WM_NAME"), atom(display, "UTF8_STRING"));
    if (!utf8.data.isEmpty()) {
        return QString::fromUtf8(utf8.data);
    }
    XTextProperty text{};
    if (!XGetWMName(display, window, &text) || !text.value) {
        return {};
    }
    QString title;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) >= Success && count > 0) {
        title = QString::fromUtf8(list[0]);
        XFreeStringList(list);
    } else {
        title = QString::fromLatin1(reinterpret_cast<const char*>(text.value), int(text.nitems));
    }
    XFree(text.value);
    return title;
}

bool isMinimized(Display* display, Window window) {
    const Atom hidden = atom(display, "_NET_WM_STATE_HIDDEN");
    for (unsigned long state :
         longs(readProperty(display, window, atom(display, "_NET_WM_STATE"), XA_ATOM))) {
        if (state == hidden) {
            return true;
        }
    }
    const Atom wmState = atom(display, "WM_STATE");
    const std::vector<unsigned long> icccm = longs(readProperty(display, window, wmState, wmState));
    return !icccm.empty() && icccm.front() == IconicState;
}

// A transient window belongs to another one, as an owned window does elsewhere.
bool hasOwner(Display* display, Window window, Window root) {
    Window owner = None;
    return XGetTransientForHint(display, window, &owner) && owner != None && owner != root;
}

bool describe(Display* display, Window window, WindowInfo& info) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return false;
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    info.id = WId(window);
    info.rect = QRect(x, y, attributes.width, attributes.height);
    info.visible = attributes.map_state == IsViewable;
    info.hasParent = hasOwner(display, window, attributes.root);
    info.minimized = isMinimized(display, window);
    info.title = windowTitle(display, window);
    return true;
}

}  // namespace

QList<WindowInfo> X11Windows::topLevelWindows() {
    std::unique_ptr<Display, DisplayCloser> own;
    Display* display = QX11Info::isPlatformX11() ? QX11Info::display() : nullptr;
    if (!display) {
        own.reset(XOpenDisplay(nullptr));
        display = own.get();
    }
    if (!display) {
        log::debug("{}: no X display", "live::X11Windows::topLevelWindows");
        return {};
    }
    ErrorTrap trap(display);
    const Property clients = readProperty(display, DefaultRootWindow(display),
                                          atom(display, "_NET_CLIENT_LIST"), XA_WINDOW);
    if (clients.type == None) {
        log::warn("{}: the window manager publishes no client list",
                  "live::X11Windows::topLevelWindows");
    }
    QList<WindowInfo> result;
    for (unsigned long window : longs(clients)) {
        WindowInfo info;
        if (describe(display, Window(window), info)) {
            result.append(info);
        }
    }
    return result;
}

}  // namespace live
