"""What the RTMP server says about a task's stream, and a picture taken from it."""
import subprocess
import threading
import time
import urllib.request
import xml.etree.ElementTree as ET

STAT_TIMEOUT_S = 3
FRAME_TIMEOUT_S = 12
FRAME_MAX_AGE_S = 3
APPLICATION = "live"


def parse_stat(xml_text, key, application=APPLICATION):
    """The stream `key` of the RTMP server's statistics page, or None when it is not there."""
    root = ET.fromstring(xml_text)
    for app in root.iter("application"):
        if app.findtext("name") != application:
            continue
        for stream in app.iter("stream"):
            if stream.findtext("name") == key:
                return _stream_info(stream)
    return None


def _int(element, path):
    try:
        return int(element.findtext(path) or 0)
    except ValueError:
        return 0


def _stream_info(stream):
    video = stream.find("meta/video")
    audio = stream.find("meta/audio")
    info = {
        "live": stream.find("publishing") is not None,
        "seconds": _int(stream, "time") // 1000,
        "kbps": round(_int(stream, "bw_in") / 1000),
        "videoKbps": round(_int(stream, "bw_video") / 1000),
        "audioKbps": round(_int(stream, "bw_audio") / 1000),
        "viewers": max(_int(stream, "nclients") - 1, 0),
    }
    if video is not None:
        info.update(width=_int(video, "width"), height=_int(video, "height"),
                    fps=_int(video, "frame_rate"), codec=video.findtext("codec") or "",
                    profile=video.findtext("profile") or "")
    if audio is not None:
        info.update(audioCodec=audio.findtext("codec") or "",
                    sampleRate=_int(audio, "sample_rate"), channels=_int(audio, "channels"))
    return info


class StreamWatch:
    """Asks the RTMP server (statistics page, play URL) about the tasks' streams."""

    def __init__(self, stat_url, rtmp_port):
        self.stat_url = stat_url
        self.rtmp_port = rtmp_port
        self.lock = threading.Lock()
        self.frames = {}  # key -> (taken at, jpeg bytes)
        self.grabbing = {}  # key -> lock, so one ffmpeg per stream at a time

    def play_url(self, key):
        return "rtmp://127.0.0.1:%d/%s/%s" % (self.rtmp_port, APPLICATION, key)

    def info(self, key):
        """(stream info or None, error text or None)."""
        if not self.stat_url:
            return None, "RTMP 服务器统计地址未配置（--rtmp-stat）"
        try:
            with urllib.request.urlopen(self.stat_url, timeout=STAT_TIMEOUT_S) as reply:
                return parse_stat(reply.read(), key), None
        except (OSError, ET.ParseError) as e:
            return None, "无法读取 RTMP 服务器统计：%s" % e

    def frame(self, key):
        """A JPEG of the stream no older than a few seconds, or None when nothing plays."""
        with self.lock:
            grab_lock = self.grabbing.setdefault(key, threading.Lock())
        with grab_lock:
            with self.lock:
                cached = self.frames.get(key)
            if cached and time.time() - cached[0] < FRAME_MAX_AGE_S:
                return cached[1]
            jpeg = self._grab(key)
            with self.lock:
                if jpeg:
                    self.frames[key] = (time.time(), jpeg)
                else:
                    self.frames.pop(key, None)
            return jpeg

    def _grab(self, key):
        try:
            done = subprocess.run(
                ["ffmpeg", "-nostdin", "-loglevel", "error", "-rw_timeout", "5000000",
                 "-i", self.play_url(key), "-frames:v", "1", "-vf", "scale=640:-2",
                 "-f", "image2", "-c:v", "mjpeg", "pipe:1"],
                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                timeout=FRAME_TIMEOUT_S, check=False)
        except (OSError, subprocess.TimeoutExpired):
            return None
        return done.stdout if done.returncode == 0 and done.stdout.startswith(b"\xff\xd8") \
            else None
