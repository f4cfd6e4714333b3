#!/usr/bin/env python3
"""Streaming cost: the studio library against ffmpeg as the peer.

Both push the same moving 1280x720 30 fps test pattern with a tone (a looping clip made with
ffmpeg's testsrc2 and sine) to a local nginx RTMP server for the same time, x264 veryfast CBR
at the same bit rate plus AAC 160 kbps, one after the other. Prints for each the CPU seconds
per minute of stream, dropped frames, render lag frames, peak RSS, and the ratio ours/peer.

    python3 tools/bench_stream.py [--seconds 60] [--kbps 2500]

Needs what scripts/setup installs and the project's build (build/, or ORB_BUILD_DIR).
"""
import argparse
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.environ.get("ORB_BUILD_DIR", os.path.join(ROOT, "build"))
DRIVER = os.path.join(BUILD, "tools", "bench_stream")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_listening(port, proc, timeout=10.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if proc.poll() is not None:
            return False
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def start_nginx(work):
    port = free_port()
    conf = os.path.join(work, "nginx.conf")
    with open(conf, "w") as f:
        f.write(
            "load_module /usr/lib/nginx/modules/ngx_rtmp_module.so;\n"
            "daemon off;\nmaster_process off;\n"
            f"pid {work}/nginx.pid;\nerror_log {work}/error.log warn;\n"
            "events { worker_connections 64; }\n"
            f"rtmp {{ server {{ listen 127.0.0.1:{port}; chunk_size 4096;\n"
            "  application live { live on; record off; } } }\n")
    proc = subprocess.Popen(["nginx", "-p", work, "-c", conf, "-e", f"{work}/error.log"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_listening(port, proc):
        proc.kill()
        sys.exit("nginx did not start")
    return proc, f"rtmp://127.0.0.1:{port}/live"


def start_display():
    """An Xvfb with a window manager when there is no display; the studio needs X."""
    if os.environ.get("DISPLAY"):
        return []
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24",
                             "-nolisten", "tcp"], pass_fds=(write,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    # Xvfb ends itself when it cannot write the whole line, so the pipe stays open.
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    number = number.decode().strip()
    if not number:
        sys.exit("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number
    wm = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return [wm, xvfb]


def make_clip(path):
    subprocess.run(["ffmpeg", "-v", "error", "-y",
                    "-f", "lavfi", "-i", "testsrc2=duration=20:size=1280x720:rate=30",
                    "-f", "lavfi", "-i", "sine=frequency=440:duration=20",
                    "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-g", "60",
                    "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", path], check=True)


def cpu_of(usage):
    return usage.ru_utime + usage.ru_stime


def run_ours(work, url, clip, seconds, kbps):
    home = os.path.join(work, "home")
    os.makedirs(os.path.join(home, "runtime"), mode=0o700, exist_ok=True)
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=f"{home}/data",
               XDG_CONFIG_HOME=f"{home}/config", XDG_CACHE_HOME=f"{home}/cache",
               XDG_RUNTIME_DIR=f"{home}/runtime")
    proc = subprocess.Popen([DRIVER, url + "/", "ours", clip, str(seconds), str(kbps)],
                            env=env, stdout=subprocess.PIPE, stderr=open(os.path.join(work, "driver.log"), "w"),
                            text=True)
    out = proc.communicate(timeout=seconds + 120)[0]
    if proc.returncode != 0:
        with open(os.path.join(work, "driver.log")) as log:
            tail = log.read()[-3000:]
        sys.exit(f"the driver failed with {proc.returncode}:\n{tail}")
    r = json.loads(out.strip().splitlines()[-1])
    return {"cpu_per_min": r["cpu_seconds"] * 60.0 / r["seconds"], "dropped": r["dropped"],
            "lagged": r["lagged"], "rss_mb": r["peak_rss_kb"] / 1024.0, "kbs": r["kbs"],
            "frames": r["frames"]}


def run_peer(url, clip, seconds, kbps):
    cmd = ["ffmpeg", "-v", "error", "-nostats", "-progress", "pipe:1",
           "-re", "-stream_loop", "-1", "-i", clip, "-t", str(seconds),
           "-c:v", "libx264", "-preset", "veryfast", "-b:v", f"{kbps}k",
           "-minrate", f"{kbps}k", "-maxrate", f"{kbps}k", "-bufsize", f"{kbps}k",
           "-x264-params", "nal-hrd=cbr", "-g", "60", "-pix_fmt", "yuv420p",
           "-c:a", "aac", "-b:a", "160k", "-f", "flv", url + "/peer"]
    start = time.time()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    progress = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = os.waitstatus_to_exitcode(status)
    elapsed = time.time() - start
    if proc.returncode != 0:
        sys.exit(f"ffmpeg failed with {proc.returncode}")

    def last(key):
        found = re.findall(rf"^{key}=(\S+)$", progress, re.M)
        return found[-1] if found else "0"

    rate = last("bitrate").replace("kbits/s", "")
    return {"cpu_per_min": cpu_of(usage) * 60.0 / elapsed, "dropped": int(last("drop_frames")),
            "lagged": int(last("dup_frames")), "rss_mb": usage.ru_maxrss / 1024.0,
            "kbs": float(rate) if re.match(r"^[\d.]+$", rate) else 0.0,
            "frames": int(last("frame"))}


def ratio(a, b):
    return f"{a / b:.2f}" if b else ("1.00" if a == b else "inf")


def stop_all(procs, work):
    """Ends the processes in order (closing their input first) and removes the work folder."""
    for p in procs:
        if p.stdin:
            p.stdin.close()
        p.terminate()
        p.wait()
    shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=int, default=60)
    parser.add_argument("--kbps", type=int, default=2500)
    args = parser.parse_args()
    build = subprocess.run(["cmake", "--build", BUILD, "--target", "bench_stream"],
                           capture_output=True, text=True)
    if build.returncode != 0:
        sys.exit(build.stdout + build.stderr)
    work = tempfile.mkdtemp(prefix="bench_stream.")
    helpers = start_display()
    nginx = None
    try:
        nginx, url = start_nginx(work)
        clip = os.path.join(work, "pattern.mp4")
        make_clip(clip)
        print(f"streaming {args.seconds} s of 1280x720 30 fps at {args.kbps} kbps "
              f"video + 160 kbps audio to {url}", flush=True)
        ours = run_ours(work, url, clip, args.seconds, args.kbps)
        peer = run_peer(url, clip, args.seconds, args.kbps)
        rows = [("CPU seconds per minute", "cpu_per_min", "{:.1f}"),
                ("dropped frames", "dropped", "{}"),
                ("render lag frames", "lagged", "{}"),
                ("peak RSS (MB)", "rss_mb", "{:.0f}"),
                ("measured kbps", "kbs", "{:.0f}"),
                ("frames sent", "frames", "{}")]
        print(f"{'':26}{'ours':>10}{'ffmpeg':>10}{'ours/peer':>11}")
        for label, key, fmt in rows:
            print(f"{label:26}{fmt.format(ours[key]):>10}{fmt.format(peer[key]):>10}"
                  f"{ratio(ours[key], peer[key]):>11}")
        print("(ffmpeg's render lag column counts its duplicated frames)")
    finally:
        stop_all(([nginx] if nginx else []) + helpers, work)


if __name__ == "__main__":
    main()
