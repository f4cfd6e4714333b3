#include "platform/NativeDisplay.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
bool NativeDisplay::available() {
    return true;
}

void* NativeDisplay::handle() {
    return nullptr;
}
#else
#include <QX11Info>

bool NativeDisplay::available() {
    return QX11Info::isPlatformX11() && QX11Info::display();
}

void* NativeDisplay::handle() {
    return available() ? QX11Info::display() : nullptr;
}
#endif
