#include "platform/Win32Windows.h"

#include <windows.h>

#include <string>

namespace live {
namespace {

// The title in full and as Unicode: an ANSI read into a fixed buffer would cut long
// titles and garble those outside the local code page.
QString windowTitle(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring buffer(size_t(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return QString::fromWCharArray(buffer.data(), copied > 0 ? copied : 0);
}

BOOL CALLBACK collect(HWND window, LPARAM context) {
    auto* list = reinterpret_cast<QList<WindowInfo>*>(context);
    WindowInfo info;
    info.id = WId(window);
    RECT rect{};
    if (GetWindowRect(window, &rect)) {
        info.rect = QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    info.hasParent = GetParent(window) != nullptr;
    info.visible = IsWindowVisible(window) != FALSE;
    info.minimized = IsIconic(window) != FALSE;
    info.title = windowTitle(window);
    list->append(info);
    return TRUE;
}

}  // namespace

QList<WindowInfo> Win32Windows::topLevelWindows() {
    QList<WindowInfo> result;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&result));
    return result;
}

WId Win32Windows::desktopWindowId() {
    return WId(FindWindowA("", nullptr));
}

}  // namespace live
