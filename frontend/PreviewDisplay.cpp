#include "frontend/PreviewDisplay.h"

#include <QEvent>
#include <QHideEvent>
#include <QResizeEvent>
#include <QShowEvent>

#include <graphics/matrix4.h>
#ifdef Q_OS_LINUX
#include <obs-nix-platform.h>
#endif

#include <algorithm>

namespace {

void drawOutline() {
    gs_render_start(true);
    gs_vertex2f(0.0f, 0.0f);
    gs_vertex2f(1.0f, 0.0f);
    gs_vertex2f(1.0f, 1.0f);
    gs_vertex2f(0.0f, 1.0f);
    gs_vertex2f(0.0f, 0.0f);
    gs_render_stop(GS_LINESTRIP);
}

}  // namespace

PreviewDisplay::PreviewDisplay(QWidget* host) : QWidget(host) {
    setObjectName(QStringLiteral("studioPreview"));
    // The engine draws into this window itself; Qt must neither paint nor erase it.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
    setGeometry(host->rect());
    host->installEventFilter(this);
}

PreviewDisplay::~PreviewDisplay() {
    if (display_) {
        // Once removed, the render thread no longer calls back into this object.
        obs_remove_tick_callback(pace, this);
        obs_display_remove_draw_callback(display_, draw, this);
    }
    display_ = nullptr;
}

bool PreviewDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewDisplay::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shown_ = true;
    createDisplay();
}

void PreviewDisplay::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A hidden preview (speech mode, another page) would still cost a full draw per frame.
    shown_ = false;
}

void PreviewDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize size = pixelSize();
    if (display_) {
        obs_display_resize(display_, static_cast<uint32_t>(size.width()),
                           static_cast<uint32_t>(size.height()));
    } else if (isVisible()) {
        createDisplay();
    }
}

void PreviewDisplay::paintEvent(QPaintEvent*) {
    // Drawn by the engine.
}

QSize PreviewDisplay::pixelSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(std::max(1, static_cast<int>(width() * ratio)),
                 std::max(1, static_cast<int>(height() * ratio)));
}

void PreviewDisplay::createDisplay() {
    if (display_ || !isVisible()) {
        return;
    }
    const QSize size = pixelSize();
    gs_init_data info = {};
    info.cx = static_cast<uint32_t>(size.width());
    info.cy = static_cast<uint32_t>(size.height());
    info.format = GS_BGRA;
    info.zsformat = GS_ZS_NONE;
#ifdef Q_OS_WIN
    info.window.hwnd = reinterpret_cast<void*>(winId());
#else
    info.window.id = static_cast<uint32_t>(winId());
    info.window.display = obs_get_nix_platform_display();
#endif
    display_ = obs_display_create(&info, 0);
    if (display_) {
        obs_display_add_draw_callback(display_, draw, this);
        obs_add_tick_callback(pace, this);
    }
}

void PreviewDisplay::pace(void* param, float) {
    auto* self = static_cast<PreviewDisplay*>(param);
    const bool draw = self->pacer_.next(obs_get_lagged_frames(), obs_get_average_frame_time_ns(),
                                        obs_get_frame_interval_ns());
    obs_display_set_enabled(self->display_, self->shown_ && draw);
}

void PreviewDisplay::draw(void*, uint32_t cx, uint32_t cy) {
    obs_video_info ovi;
    if (!obs_get_video_info(&ovi) || ovi.base_width == 0 || ovi.base_height == 0) {
        return;
    }
    const float scale = std::min(static_cast<float>(cx) / static_cast<float>(ovi.base_width),
                                 static_cast<float>(cy) / static_cast<float>(ovi.base_height));
    const int width = static_cast<int>(static_cast<float>(ovi.base_width) * scale);
    const int height = static_cast<int>(static_cast<float>(ovi.base_height) * scale);
    const int x = (static_cast<int>(cx) - width) / 2;
    const int y = (static_cast<int>(cy) - height) / 2;

    gs_viewport_push();
    gs_projection_push();
    gs_ortho(0.0f, static_cast<float>(ovi.base_width), 0.0f, static_cast<float>(ovi.base_height),
             -100.0f, 100.0f);
    gs_set_viewport(x, y, width, height);
    obs_render_main_texture();

    OBSSourceAutoRelease program = obs_get_output_source(0);
    obs_scene_t* scene = obs_scene_from_source(program);
    if (scene) {
        drawSelection(scene);
    }
    gs_projection_pop();
    gs_viewport_pop();
}

void PreviewDisplay::drawSelection(obs_scene_t* scene) {
    gs_effect_t* solid = obs_get_base_effect(OBS_EFFECT_SOLID);
    gs_technique_t* tech = gs_effect_get_technique(solid, "Solid");
    vec4 color;
    vec4_set(&color, 1.0f, 0.0f, 0.0f, 1.0f);
    gs_effect_set_vec4(gs_effect_get_param_by_name(solid, "color"), &color);
    gs_technique_begin(tech);
    gs_technique_begin_pass(tech, 0);
    obs_scene_enum_items(
        scene,
        [](obs_scene_t*, obs_sceneitem_t* item, void*) {
            if (obs_sceneitem_selected(item) && obs_sceneitem_visible(item)) {
                matrix4 box;
                obs_sceneitem_get_box_transform(item, &box);
                gs_matrix_push();
                gs_matrix_mul(&box);
                drawOutline();
                gs_matrix_pop();
            }
            return true;
        },
        nullptr);
    gs_technique_end_pass(tech);
    gs_technique_end(tech);
}
