#include "frontend/RendererProbe.h"

#include <QRegularExpression>

#include <obs.h>
#ifndef Q_OS_WIN
#include <GL/gl.h>
#endif

QString RendererProbe::rendererName() {
#ifdef Q_OS_WIN
    // The Direct3D counterpart is the adapter's description ("Microsoft Basic Render Driver"
    // for the software one); until it is wired, Windows keeps the engine's defaults.
    return QString();
#else
    obs_enter_graphics();
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const QString result = name ? QString::fromUtf8(name) : QString();
    obs_leave_graphics();
    return result;
#endif
}

bool RendererProbe::isSoftware(const QString& rendererName) {
    static const QRegularExpression software(
        QStringLiteral("llvmpipe|softpipe|swrast|software|Basic Render"),
        QRegularExpression::CaseInsensitiveOption);
    return rendererName.contains(software);
}
