// The reference for the studio library's cost: the same stream made by a program written
// straight on libobs, with nothing of ours in between. Streams a looping clip to an RTMP
// server with the same video, encoder and output settings as the library, and prints what it
// cost as one JSON line, like bench_stream.
//   bench_bare <rtmp server url> <key> <clip> <seconds> <kbps> [Video/<Key>=<value>...]
// The Video keys are the profile's: ColorFormat (NV12, I420), ScaleType (bilinear, bicubic,
// lanczos, area) and GPUConversion (true, false; unnamed: off on a software renderer).
#include <GL/gl.h>
#include <X11/Xlib.h>
#include <obs-nix-platform.h>
#include <obs.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct Service {
    std::string server;
    std::string key;
};

// The engine's own RTMP service list needs a module that goes to the internet at load.
void registerService() {
    obs_service_info info = {};
    info.id = "bench_rtmp";
    info.get_name = [](void*) { return "RTMP"; };
    info.create = [](obs_data_t* settings, obs_service_t*) -> void* {
        return new Service{obs_data_get_string(settings, "server"),
                           obs_data_get_string(settings, "key")};
    };
    info.destroy = [](void* data) { delete static_cast<Service*>(data); };
    info.get_url = [](void* data) { return static_cast<Service*>(data)->server.c_str(); };
    info.get_key = [](void* data) { return static_cast<Service*>(data)->key.c_str(); };
    info.get_output_type = [](void*) { return "rtmp_output"; };
    obs_register_service(&info);
}

void loadModules() {
    obs_find_modules2(
        [](void*, const obs_module_info2* info) {
            // Modules that need the original frontend, or the internet, at load.
            for (const char* skip : {"frontend-tools", "obs-websocket", "decklink-output-ui",
                                     "decklink-captions", "rtmp-services"}) {
                if (std::strcmp(info->name, skip) == 0) {
                    return;
                }
            }
            obs_module_t* module = nullptr;
            if (obs_open_module(&module, info->bin_path, info->data_path) == MODULE_SUCCESS) {
                obs_init_module(module);
            }
        },
        nullptr);
    obs_post_load_modules();
}

void applyVideoKey(obs_video_info* ovi, const std::string& key, const std::string& value) {
    if (key == "Video/ColorFormat") {
        ovi->output_format = value == "I420" ? VIDEO_FORMAT_I420 : VIDEO_FORMAT_NV12;
    } else if (key == "Video/ScaleType") {
        ovi->scale_type = value == "bilinear"  ? OBS_SCALE_BILINEAR
                          : value == "lanczos" ? OBS_SCALE_LANCZOS
                          : value == "area"    ? OBS_SCALE_AREA
                                               : OBS_SCALE_BICUBIC;
    } else if (key == "Video/GPUConversion") {
        ovi->gpu_conversion = value == "true";
    }
}

bool softwareRenderer() {
    obs_enter_graphics();
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const bool software = name && (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe"));
    obs_leave_graphics();
    return software;
}

bool resetVideo(int argc, char** argv) {
    obs_video_info ovi = {};
    ovi.graphics_module = "libobs-opengl";
    ovi.fps_num = 30;
    ovi.fps_den = 1;
    ovi.base_width = ovi.output_width = 1280;
    ovi.base_height = ovi.output_height = 720;
    ovi.output_format = VIDEO_FORMAT_NV12;
    ovi.colorspace = VIDEO_CS_709;
    ovi.range = VIDEO_RANGE_PARTIAL;
    ovi.scale_type = OBS_SCALE_BICUBIC;
    ovi.gpu_conversion = true;
    bool conversionNamed = false;
    for (int i = 6; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            applyVideoKey(&ovi, arg.substr(0, eq), arg.substr(eq + 1));
            conversionNamed = conversionNamed || arg.substr(0, eq) == "Video/GPUConversion";
        }
    }
    if (obs_reset_video(&ovi) != OBS_VIDEO_SUCCESS) {
        return false;
    }
    // As the studio does: on a software renderer the processor converts the colours, unless a
    // key said otherwise.
    if (!conversionNamed && softwareRenderer()) {
        ovi.gpu_conversion = false;
        if (obs_reset_video(&ovi) != OBS_VIDEO_SUCCESS) {
            return false;
        }
    }
    obs_audio_info oai = {48000, SPEAKERS_STEREO};
    return obs_reset_audio(&oai);
}

void addClip(const char* path) {
    obs_data_t* settings = obs_data_create();
    obs_data_set_bool(settings, "is_local_file", true);
    obs_data_set_string(settings, "local_file", path);
    obs_data_set_bool(settings, "looping", true);
    obs_source_t* clip = obs_source_create("ffmpeg_source", "Pattern", settings, nullptr);
    obs_data_release(settings);
    obs_scene_t* scene = obs_scene_create("Scene");
    obs_scene_add(scene, clip);
    obs_set_output_source(0, obs_scene_get_source(scene));
    obs_source_release(clip);
    obs_scene_release(scene);
}

double cpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKb() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Stream {
    obs_encoder_t* video = nullptr;
    obs_encoder_t* audio = nullptr;
    obs_service_t* service = nullptr;
    obs_output_t* output = nullptr;
    std::atomic<int> state{0};  // 1 started, -1 stopped

    Stream(const char* server, const char* key, int kbps) {
        obs_data_t* v = obs_data_create();
        obs_data_set_string(v, "rate_control", "CBR");
        obs_data_set_int(v, "bitrate", kbps);
        obs_data_set_int(v, "keyint_sec", 2);
        obs_data_set_string(v, "preset", "veryfast");
        video = obs_video_encoder_create("obs_x264", "video", v, nullptr);
        obs_data_release(v);
        obs_data_t* a = obs_data_create();
        obs_data_set_int(a, "bitrate", 160);
        audio = obs_audio_encoder_create("ffmpeg_aac", "audio", a, 0, nullptr);
        obs_data_release(a);
        obs_encoder_set_video(video, obs_get_video());
        obs_encoder_set_audio(audio, obs_get_audio());
        obs_data_t* s = obs_data_create();
        obs_data_set_string(s, "server", server);
        obs_data_set_string(s, "key", key);
        service = obs_service_create("bench_rtmp", "service", s, nullptr);
        obs_data_release(s);
        output = obs_output_create("rtmp_output", "stream", nullptr, nullptr);
        obs_output_set_video_encoder(output, video);
        obs_output_set_audio_encoder(output, audio, 0);
        obs_output_set_service(output, service);
        signal_handler_t* handler = obs_output_get_signal_handler(output);
        signal_handler_connect(
            handler, "start",
            [](void* self, calldata_t*) { static_cast<Stream*>(self)->state = 1; }, this);
        signal_handler_connect(
            handler, "stop",
            [](void* self, calldata_t*) { static_cast<Stream*>(self)->state = -1; }, this);
    }

    ~Stream() {
        obs_output_release(output);
        obs_service_release(service);
        obs_encoder_release(video);
        obs_encoder_release(audio);
    }

    bool waitFor(int wanted, int seconds) {
        for (int i = 0; i < seconds * 20 && state != wanted; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return state == wanted;
    }
};

int stream(const char* server, const char* key, const char* clip, int seconds, int kbps) {
    addClip(clip);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the clip starts playing
    Stream out(server, key, kbps);
    const uint32_t laggedBefore = obs_get_lagged_frames();
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (!obs_output_start(out.output) || !out.waitFor(1, 15)) {
        std::fprintf(stderr, "the server did not take the stream\n");
        return 4;
    }
    const auto began = std::chrono::steady_clock::now();
    const uint64_t bytesBegan = obs_output_get_total_bytes(out.output);
    std::this_thread::sleep_for(std::chrono::seconds(seconds) - (began - start));
    const double streamed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double liveFor =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const double cpu = cpuSeconds() - cpuBefore;
    const uint32_t lagged = obs_get_lagged_frames() - laggedBefore;
    const double kbs = (obs_output_get_total_bytes(out.output) - bytesBegan) * 8.0 / 1000.0 /
                       (liveFor > 0.0 ? liveFor : 1.0);
    const int frames = obs_output_get_total_frames(out.output);
    const int dropped = obs_output_get_frames_dropped(out.output);
    obs_output_stop(out.output);
    out.waitFor(-1, 15);
    std::printf(
        "{\"seconds\":%.3f,\"cpu_seconds\":%.3f,\"frames\":%d,\"dropped\":%d,\"lagged\":%u,"
        "\"kbs\":%.1f,\"peak_rss_kb\":%ld}\n",
        streamed, cpu, frames, dropped, lagged, kbs, peakRssKb());
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: bench_bare <server> <key> <clip> <seconds> <kbps> "
                     "[Video/<Key>=<value>...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 3;
    }
    // The engine logs to standard output by default, where the figures go.
    base_set_log_handler(
        [](int, const char* format, va_list args, void*) {
            std::vfprintf(stderr, format, args);
            std::fputc('\n', stderr);
        },
        nullptr);
    obs_set_nix_platform(OBS_NIX_PLATFORM_X11_EGL);
    obs_set_nix_platform_display(display);
    if (!obs_startup("en-US", nullptr, nullptr) || !resetVideo(argc, argv)) {
        std::fprintf(stderr, "the engine did not start\n");
        return 3;
    }
    loadModules();
    registerService();
    const int status = stream(argv[1], argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    obs_set_output_source(0, nullptr);
    obs_shutdown();
    XCloseDisplay(display);
    return status;
}
