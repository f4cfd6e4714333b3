"""Routing of the demo service: pages, the client's API and the debug read-back."""
import base64
import datetime
import json
import os
import re
import secrets
import socket
import time
from http.server import BaseHTTPRequestHandler
from urllib.parse import parse_qsl, urlsplit

from . import pages
from . import store as data

ASSETS = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "demo_assets")
MAX_BODY = 8 * 1024 * 1024
MAX_DELAY_MS = 10000
# Replies /debug/malform can make every API and static reply into, to see how a client copes
# with a broken proxy or service. "truncated" cuts the real reply in half.
MALFORMED = {
    "empty": (b"", "application/json; charset=utf-8"),
    "html": (b"<!DOCTYPE html><html><head><title>502 Bad Gateway</title></head>"
             b"<body><h1>Bad Gateway</h1><p>The upstream server is unavailable.</p></body></html>",
             "text/html; charset=utf-8"),
    "types": (json.dumps({
        "flag": "yes", "code": [], "msg": 42,
        "data": {"dataList": [7, "x", None, {"taskId": "abc", "startTime": 5, "taskName": {}}],
                 "totalRows": "many", "curPage": [], "pageSize": -5, "fileId": 3,
                 "inviteCode": {}, "nickname": [], "avatarUrl": 9, "phone": None,
                 "taskId": "x", "push_url": 1, "taskType": "live"}}).encode("utf-8"),
        "application/json; charset=utf-8"),
    "huge": (None, "application/json; charset=utf-8"),  # 60 MB, made when asked for
}
HUGE_BYTES = 60 * 1024 * 1024
IMAGE_TYPES = [
    (b"\x89PNG\r\n\x1a\n", ".png", "image/png"),
    (b"\xff\xd8\xff", ".jpg", "image/jpeg"),
    (b"GIF8", ".gif", "image/gif"),
    (b"BM", ".bmp", "image/bmp"),
]
UNAUTHORIZED = {"flag": 0, "code": 401, "msg": "未登录或登录已过期"}


class BadRequest(Exception):
    pass


class DemoHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "OrbDemo/1.0"
    # Headers and body go out in two writes; without this each reply waits for a delayed ACK.
    disable_nagle_algorithm = True

    # ---- plumbing ---------------------------------------------------------------------------

    def log_message(self, fmt, *args):
        if self.server.verbose:
            super().log_message(fmt, *args)

    def do_GET(self):
        self._dispatch("GET")

    def do_POST(self):
        self._dispatch("POST")

    def _dispatch(self, method):
        url = urlsplit(self.path)
        self.route = url.path
        self.query = dict(parse_qsl(url.query, keep_blank_values=True))
        try:
            self.body = self._read_body()
        except BadRequest as e:
            self.close_connection = True
            return self.send_json({"flag": 0, "msg": str(e)}, status=400)
        self.form = {}
        if self.headers.get("Content-Type", "").startswith("application/x-www-form-urlencoded"):
            self.form = dict(parse_qsl(self.body.decode("utf-8", "replace"),
                                       keep_blank_values=True))
        if not self.route.startswith("/debug/"):
            self._record(method, url.query)
        self._delay()
        if self._malformed():
            return
        handler = ROUTES.get((method, self.route)) or ROUTES.get(("*", self.route))
        if handler is None:
            handler = _prefixed(method, self.route)
        try:
            if handler is None:
                self.send_json({"flag": 0, "msg": "not found"}, status=404)
            else:
                handler(self)
        except Exception as e:  # a broken handler answers 500 rather than hanging the client
            self.send_json({"flag": 0, "msg": "server error: %s" % e}, status=500)

    def _read_body(self):
        # Clients send a body after its headers in a second write, held back by Nagle until
        # the headers are acknowledged: acknowledge at once instead of after the ACK delay.
        if hasattr(socket, "TCP_QUICKACK"):
            try:
                self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
            except OSError:
                pass
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            return self._read_chunked()
        length = self.headers.get("Content-Length")
        if not length:
            return b""
        if not length.isdigit() or int(length) > MAX_BODY:
            raise BadRequest("bad or too large body")
        return self.rfile.read(int(length))

    def _read_chunked(self):
        body = b""
        while True:
            size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
            if size == 0:
                self.rfile.readline()
                return body
            body += self.rfile.read(size)
            self.rfile.readline()
            if len(body) > MAX_BODY:
                raise BadRequest("body too large")

    def _record(self, method, query):
        self.server.store.record({
            "method": method,
            "path": self.route,
            "query": query,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": self.body.decode("utf-8", "replace"),
            "body_b64": base64.b64encode(self.body).decode("ascii"),
            "form": self.form,
            "time": time.time(),
        })

    def _delay(self):
        # Lets a test hold one reply back to see replies overtake each other.
        ms = self.params().get("delay_ms", "")
        if ms.isdigit():
            time.sleep(min(int(ms), MAX_DELAY_MS) / 1000.0)

    def _malformed(self):
        kind = getattr(self.server, "malform", "")
        if not kind or not (self.route.startswith("/api/") or self.route.startswith("/static/")):
            return False
        if kind in MALFORMED:
            body, content_type = MALFORMED[kind]
            if body is None:
                body = b'{"flag":1,"data":"' + b"A" * HUGE_BYTES + b'"}'
            try:
                self.send_bytes(body, content_type)
            except (BrokenPipeError, ConnectionResetError):
                self.close_connection = True  # the client gave up on a body it would not take
            return True
        return False  # "truncated": the real reply, cut in send_bytes

    def send_bytes(self, body, content_type, status=200, headers=()):
        if getattr(self.server, "malform", "") == "truncated" and (
                self.route.startswith("/api/") or self.route.startswith("/static/")):
            body = body[:len(body) // 2]
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def send_json(self, obj, status=200, wrapper=None):
        text = json.dumps(obj, ensure_ascii=False)
        if wrapper is not None:
            self.send_bytes((wrapper + "(" + text + ")").encode("utf-8"),
                            "application/javascript; charset=utf-8", status)
        else:
            self.send_bytes(text.encode("utf-8"), "application/json; charset=utf-8", status)

    def send_page(self, html, status=200, headers=()):
        self.send_bytes(html, "text/html; charset=utf-8", status, headers)

    @property
    def base(self):
        return self.server.base_url

    def params(self):
        merged = dict(self.query)
        merged.update(self.form)
        return merged

    def cookies(self):
        jar = {}
        for header in self.headers.get_all("Cookie") or []:
            for part in header.split(";"):
                name, sep, value = part.strip().partition("=")
                if sep and name not in jar:
                    jar[name] = value
        return jar

    def user(self):
        return self.server.sessions.user_of(self.cookies())

    def int_param(self, name, default=0):
        try:
            return int(self.params().get(name, default))
        except ValueError:
            return default

    def cookie_headers(self, values, max_age):
        names = self.server.sessions.names
        headers = []
        for name in names:
            attrs = ["%s=%s" % (name, values.get(name, "")), "Path=/", "Max-Age=%d" % max_age,
                     "SameSite=Lax"]
            if name != names[1]:
                attrs.append("HttpOnly")  # the page itself only ever needs the user id
            if self.server.https:
                attrs.append("Secure")
            headers.append(("Set-Cookie", "; ".join(attrs)))
        return headers

    # ---- pages ------------------------------------------------------------------------------

    def page_index(self):
        waiting = self.server.store.page(data.WAITING, "", 0, 1000)["dataList"]
        self.send_page(pages.index(self.base, data.ACCOUNT, data.PASSWORD, waiting))

    def page_login(self):
        auto = (data.ACCOUNT, data.PASSWORD) if getattr(self.server, "auto_sign_in", False) else None
        self.send_page(pages.login(self.query, auto=auto))

    def post_login(self):
        account = self.form.get("account", "")
        if account != data.ACCOUNT or self.form.get("password", "") != data.PASSWORD:
            return self.send_page(pages.login(self.query, "账号或密码错误", account))
        values = self.server.sessions.issue(data.USER_ID)
        headers = self.cookie_headers(values, 7 * 24 * 3600)
        self.send_page(pages.login_done(self.server.store.nickname), headers=headers)

    def post_logout(self):
        self.server.sessions.revoke(self.cookies())
        self.send_bytes(b'{"flag":1}', "application/json", headers=self.cookie_headers({}, 0))

    def page_login_success(self):
        self.send_page(pages.login_success(self.server.store.nickname if self.user() else None))

    def page_about(self):
        self.send_page(pages.about(self.query, self.base + "download"))

    def page_download(self):
        self.send_page(pages.download())

    def page_profile(self, message=None):
        if not self.user():
            return self.send_page(pages.sign_in_first("/login"))
        st = self.server.store
        self.send_page(pages.profile(st.nickname, data.PHONE, self.base + st.avatar, message))

    def post_profile(self):
        if not self.user():
            return self.send_page(pages.sign_in_first("/login"), status=401)
        nickname = self.form.get("nickname", "").strip()
        if not nickname or len(nickname) > 20:
            return self.page_profile("昵称需为 1 到 20 个字符")
        self.server.store.nickname = nickname
        self.page_profile("昵称已保存")

    def page_chat(self):
        task = self.server.store.find(self.int_param("taskId", -1))
        who = self.server.store.nickname if self.user() else "游客"
        self.send_page(pages.chat(self.query.get("taskId", ""), self.query.get("mode", ""),
                                  task["taskName"] if task else "", who,
                                  self.query.get("old") == "true", self.query.get("user", "")))

    def chat_messages(self):
        task_id = self.int_param("taskId", -1)
        st = self.server.store
        if self.command == "POST":
            text = self.params().get("text", "").strip()[:200]
            if text:
                who = st.nickname if self.user() else "游客"
                st.add_chat(task_id, who, text, datetime.datetime.now().strftime("%H:%M:%S"))
            return self.send_json({"flag": 1})
        self.send_json({"flag": 1, "data": st.chat_since(task_id, self.int_param("since", 0))})

    def page_finished(self):
        task = self.server.store.find(self.int_param("taskId", -1))
        self.send_page(pages.finished(task))

    def static_file(self):
        name = os.path.basename(self.route)
        path = os.path.join(ASSETS, name)
        if not re.fullmatch(r"avatar\.(png|jpg)", name) or not os.path.exists(path):
            return self.send_json({"flag": 0, "msg": "not found"}, status=404)
        with open(path, "rb") as f:
            body = f.read()
        self.send_bytes(body, "image/png" if name.endswith(".png") else "image/jpeg")

    def uploaded_file(self):
        stored = self.server.store.file(os.path.basename(self.route))
        if stored is None:
            return self.send_json({"flag": 0, "msg": "not found"}, status=404)
        self.send_bytes(stored[0], stored[1])

    # ---- watching a broadcast ------------------------------------------------------------------

    def _watched(self):
        task = self.server.store.find(self.int_param("taskId", -1))
        return task, ("orb%d" % task["taskId"]) if task else None

    def page_watch(self):
        task, _ = self._watched()
        self.send_page(pages.watch(task, task["push_url"] if task else ""))

    def watch_state(self):
        task, key = self._watched()
        if task is None:
            return self.send_json({"flag": 0, "msg": "任务不存在"}, status=404)
        stream, error = self.server.stream_watch.info(key)
        tid = str(task["taskId"])
        reports = [r for r in self.server.store.monitor_reports() if r.get("taskId") == tid]
        self.send_json({"flag": 1, "taskId": task["taskId"], "living": task["living"],
                        "stream": stream, "statError": error, "reports": reports,
                        "chart": pages.monitor_chart(reports)})

    def watch_frame(self):
        task, key = self._watched()
        watch = self.server.stream_watch
        # Without statistics ask the stream itself; with them, only a live one (a player of a
        # stream nobody publishes would wait for it).
        stream = watch.info(key)[0] if task and watch.stat_url else None
        jpeg = watch.frame(key) if task and (not watch.stat_url or (stream and stream["live"])) \
            else None
        if jpeg is None:
            return self.send_json({"flag": 0, "msg": "没有画面"}, status=404)
        self.send_bytes(jpeg, "image/jpeg")

    # ---- the client's API ---------------------------------------------------------------------

    def api(self, handler, old=False):
        user = self.server.sessions.user_of_key(self.params().get("userKey")) if old \
            else self.user()
        if not user:
            return self.send_json(UNAUTHORIZED, status=401)
        handler(self)

    def list_room(self, wrapper=None):
        p = self.params()
        size = self.int_param("pageSize", 10)
        size = size if 0 < size <= 100 else 10
        page = max(self.int_param("curPage", 0), 0)
        result = self.server.store.page(self.int_param("taskStatus", data.WAITING),
                                        p.get("taskName", ""), page, size)
        reply = {"flag": 1, "msg": "success", "data": result}
        callback = p.get("callback", "")
        self.send_json(reply, wrapper=wrapper if wrapper is not None else (callback or None))

    def list_room_old(self):
        # The older interface always wraps, with whatever callback name it was given.
        self.list_room(wrapper=self.params().get("callback", ""))

    def task_detail(self):
        task = self.server.store.find(self.int_param("taskId", -1))
        if task is None:
            return self.send_json({"flag": 0, "msg": "任务不存在", "data": {}})
        self.send_json({"flag": 1, "msg": "success", "data": data.public(task)})

    def get_user(self):
        st = self.server.store
        self.send_json({"flag": 1, "msg": "success", "data": {
            "userId": data.USER_ID, "nickname": st.nickname, "phone": data.PHONE,
            "avatarUrl": self.base + st.avatar}})

    def start_live(self):
        ok = self.server.store.start_live(self.int_param("taskId", -1))
        self.send_json({"flag": 1, "msg": "success"} if ok else {"flag": 0, "msg": "无法开始直播"})

    def stop_live(self):
        ok = self.server.store.stop_live(self.int_param("taskId", -1))
        self.send_json({"flag": 1, "msg": "success"} if ok else {"flag": 0, "msg": "无法结束直播"})

    def monitor(self):
        report = dict(self.params())
        report["received"] = time.time()
        self.server.store.add_monitor(report)
        self.send_json({"flag": 1, "msg": "success"})

    def user_image(self):
        name, content = _multipart_file(self.headers.get("Content-Type", ""), self.body)
        if content is None:
            return self.send_json({"flag": 0, "msg": "缺少文件", "data": {}})
        kind = next((t for t in IMAGE_TYPES if content.startswith(t[0])), None)
        if kind is None:
            return self.send_json({"flag": 0, "msg": "仅支持 PNG、JPEG、GIF、BMP 图片", "data": {}})
        stored = secrets.token_hex(8) + kind[1]
        self.server.store.add_file(stored, content, kind[2])
        self.send_json({"flag": 1, "msg": "success", "data": {
            "fileId": self.base + "files/" + stored, "fileName": name}})

    def user_update_avatar(self):
        url = self.params().get("avatarUrl", "")
        rel = url[len(self.base):] if url.startswith(self.base) else ""
        known = (rel.startswith("files/") and self.server.store.file(rel[6:]) is not None) or \
            rel in ("static/avatar.png", "static/avatar.jpg")
        if not known:
            return self.send_json({"flag": 0, "msg": "头像地址无效"})
        self.server.store.avatar = rel
        self.send_json({"flag": 1, "msg": "success"})

    def enter_room(self):
        task_id = self.int_param("taskId", -1)
        if self.server.store.find(task_id) is None:
            return self.send_json({"flag": 0, "msg": "任务不存在"})
        self.send_json({"flag": 1, "data": {"taskId": task_id, "roomId": 50000 + task_id}})

    def to_invite(self):
        task_id = self.int_param("taskId", -1)
        if self.server.store.find(task_id) is None:
            return self.send_json({"flag": 0, "msg": "任务不存在"})
        self.send_json({"flag": 1, "data": {"inviteCode": _invite_code(task_id)}})

    def ask_invite(self):
        code = self.params().get("inviteCode", "")
        for task in self.server.store.page(0, "", 0, 1000)["dataList"]:
            if _invite_code(task["taskId"]) == code:
                return self.send_json({"flag": 1, "data": {
                    "taskId": task["taskId"], "taskName": task["taskName"]}})
        self.send_json({"flag": 0, "msg": "邀请码无效"})

    def ok(self):
        self.send_json({"flag": 1, "msg": "success", "data": {}})

    # ---- debug read-back ----------------------------------------------------------------------

    def debug_requests(self):
        entries = self.server.store.recorded()
        if self.query.get("path"):
            entries = [e for e in entries if e["path"] == self.query["path"]]
        self.send_json({"requests": entries})

    def debug_monitor(self):
        self.send_json({"reports": self.server.store.monitor_reports()})

    def debug_malform(self):
        kind = self.query.get("kind", "")
        if kind and kind not in MALFORMED and kind != "truncated":
            return self.send_json({"flag": 0, "msg": "unknown kind"}, status=400)
        self.server.malform = kind
        self.send_json({"flag": 1, "kind": kind})

    def debug_reset(self):
        self.server.store.reset()
        self.send_json({"flag": 1})


def _invite_code(task_id):
    return "%06d" % (task_id * 7919 % 1000000)


def _multipart_file(content_type, body):
    """The name and bytes of the part named "file" of a multipart/form-data body."""
    match = re.search(r'boundary="?([^";]+)"?', content_type)
    if not content_type.startswith("multipart/form-data") or not match:
        return None, None
    delimiter = b"--" + match.group(1).encode("latin-1")
    for part in body.split(delimiter)[1:]:
        if part.startswith(b"--"):
            break
        head, sep, content = part.partition(b"\r\n\r\n")
        if not sep:
            continue
        disposition = re.search(rb'name="([^"]*)"(?:; filename="([^"]*)")?', head)
        if disposition and disposition.group(1) == b"file":
            name = (disposition.group(2) or b"").decode("utf-8", "replace")
            return name, content[:-2] if content.endswith(b"\r\n") else content
    return None, None


def _api(fn, old=False):
    return lambda h: h.api(fn, old)


API = {
    "/api/user/image": DemoHandler.user_image,
    "/api/task/list": DemoHandler.list_room,
    "/api/room/enter": DemoHandler.enter_room,
    "/api/room/dismiss": DemoHandler.ok,
    "/api/room/permission": lambda h: h.send_json({"flag": 1, "data": {"permission": 1}}),
    "/api/invite": lambda h: h.send_json({"flag": 1, "data": {"inviteList": []}}),
    "/api/invite/code": DemoHandler.to_invite,
    "/api/invite/ask": DemoHandler.ask_invite,
    "/api/broadcast": DemoHandler.ok,
    "/api/monitor": DemoHandler.monitor,
    "/api/mix/start": DemoHandler.ok,
    "/api/mix/cancel": DemoHandler.ok,
    "/api/user/info": DemoHandler.get_user,
    "/api/live/start": DemoHandler.start_live,
    "/api/live/stop": DemoHandler.stop_live,
    "/api/user/avatar": DemoHandler.user_update_avatar,
    "/api/task/detail": DemoHandler.task_detail,
}

ROUTES = {
    ("GET", "/"): DemoHandler.page_index,
    ("GET", "/login"): DemoHandler.page_login,
    ("POST", "/login"): DemoHandler.post_login,
    ("POST", "/logout"): DemoHandler.post_logout,
    ("GET", "/login/success"): DemoHandler.page_login_success,
    ("GET", "/about"): DemoHandler.page_about,
    ("GET", "/download"): DemoHandler.page_download,
    ("GET", "/user/update"): DemoHandler.page_profile,
    ("POST", "/user/update"): DemoHandler.post_profile,
    ("GET", "/chat"): DemoHandler.page_chat,
    ("*", "/chat/messages"): DemoHandler.chat_messages,
    ("GET", "/task/finished"): DemoHandler.page_finished,
    ("GET", "/watch"): DemoHandler.page_watch,
    ("GET", "/watch/state"): DemoHandler.watch_state,
    ("GET", "/watch/frame.jpg"): DemoHandler.watch_frame,
    ("*", "/old/api/task/list"): _api(DemoHandler.list_room_old, old=True),
    ("GET", "/debug/requests"): DemoHandler.debug_requests,
    ("GET", "/debug/monitor"): DemoHandler.debug_monitor,
    ("POST", "/debug/reset"): DemoHandler.debug_reset,
    ("POST", "/debug/malform"): DemoHandler.debug_malform,
}
ROUTES.update({("*", path): _api(fn) for path, fn in API.items()})


def _prefixed(method, path):
    if method == "GET" and path.startswith("/static/"):
        return DemoHandler.static_file
    if method == "GET" and path.startswith("/files/"):
        return DemoHandler.uploaded_file
    return None
