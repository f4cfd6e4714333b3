"""The service's web pages. They talk to the client through the page bridge when shown
inside it, and stay usable in an ordinary browser."""
import json
from html import escape
from urllib.parse import urlencode

STYLE = """
body{margin:0;font-family:"WenQuanYi Micro Hei","Microsoft YaHei",sans-serif;background:#f4f5f7;
color:#222}
.card{max-width:420px;margin:48px auto;background:#fff;border-radius:8px;padding:28px 32px;
box-shadow:0 2px 12px rgba(0,0,0,.12)}
h1{font-size:22px;margin:0 0 18px}
label{display:block;margin:12px 0 4px;font-size:14px;color:#555}
input[type=text],input[type=password]{width:100%;box-sizing:border-box;padding:9px 10px;
border:1px solid #ccc;border-radius:4px;font-size:15px}
button,.button{margin-top:18px;padding:9px 18px;border:0;border-radius:4px;background:#ff5500;
color:#fff;font-size:15px;cursor:pointer;text-decoration:none;display:inline-block}
button.plain{background:#e4e6ea;color:#333}
.error{color:#d22;margin-top:12px}
.muted{color:#888;font-size:13px}
.avatar{width:96px;height:96px;border-radius:50%;object-fit:cover;border:1px solid #ddd}
#messages{height:420px;overflow-y:auto;background:#fafafa;border:1px solid #e3e3e3;padding:8px}
.msg{margin:4px 0;font-size:14px}.msg b{color:#ff5500}
"""

# Reaches the client's bridge object over the web channel; calls made before the channel is
# up are queued. Outside the client there is no bridge and orbCall returns false.
BRIDGE = """
<script src="qrc:///qtwebchannel/qwebchannel.js"></script>
<script>
var orbBridge = null, orbPending = [];
function orbHasChannel() {
  return typeof qt !== 'undefined' && qt.webChannelTransport && typeof QWebChannel !== 'undefined';
}
function orbInvoke(method, arg) {
  if (!orbBridge || typeof orbBridge[method] !== 'function') { return false; }
  if (arg === undefined) { orbBridge[method](); } else { orbBridge[method](arg); }
  return true;
}
function orbCall(method, arg) {
  if (orbBridge) { return orbInvoke(method, arg); }
  if (orbHasChannel()) { orbPending.push([method, arg]); return true; }
  return false;
}
if (orbHasChannel()) {
  new QWebChannel(qt.webChannelTransport, function (channel) {
    orbBridge = channel.objects.orbnet_webview || null;
    var calls = orbPending; orbPending = [];
    calls.forEach(function (c) { orbInvoke(c[0], c[1]); });
  });
}
</script>
"""


def layout(title, body, bridge=False):
    return ("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
            "<title>%s</title><style>%s</style>%s</head><body>%s</body></html>"
            % (escape(title), STYLE, BRIDGE if bridge else "", body)).encode("utf-8")


def index(base, account, password, tasks=()):
    links = "".join('<li><a href="/%s">%s</a></li>' % (escape(u), escape(t)) for u, t in [
        ("login?client=pc&app=orblive_user&version=1.0.0", "登录 (login)"),
        ("login/success", "登录成功 (login_success)"),
        ("about?client=pc&name=orblive&app=orblive_user&version=1.0.0", "关于 (about)"),
        ("user/update?client=pc", "个人资料 (user_update)"),
        ("chat?user=orblive_user&taskId=1001&mode=1&old=false", "聊天室 (enter_chat_room)"),
        ("task/finished?client=pc&taskId=2001", "直播回放 (finished_task)"),
    ])
    body = ("<div class=\"card\"><h1>直播演示服务</h1><p>服务地址 %s</p>"
            "<p>演示账号 <b id=\"account\">%s</b> 密码 <b id=\"password\">%s</b></p><ul>%s</ul>"
            "</div>" % (escape(base), escape(account), escape(password), links))
    return layout("直播演示服务", body + (watch_links(tasks) if tasks else ""))


# Fills in the demo account and submits once; a refused sign-in shows its error instead.
AUTO_SIGN_IN = """<script>
window.addEventListener('load', function () {
  if (document.getElementById('error')) { return; }
  document.getElementById('account').value = %s;
  document.getElementById('password').value = %s;
  document.getElementById('login-form').submit();
});
</script>"""


def login(query, error=None, account="", auto=None):
    action = "/login" + ("?" + urlencode(query) if query else "")
    err = '<div class="error" id="error">%s</div>' % escape(error) if error else ""
    body = """<div class="card"><h1>登录直播平台</h1>
<form method="post" action="%s" id="login-form">
<label for="account">账号</label><input type="text" id="account" name="account" value="%s"
 autocomplete="username">
<label for="password">密码</label><input type="password" id="password" name="password"
 autocomplete="current-password">
<button type="submit" id="login-button">登录</button>%s
</form><p class="muted">客户端 %s · 版本 %s</p></div>""" % (
        escape(action), escape(account), err, escape(query.get("client", "")),
        escape(query.get("version", "")))
    if auto:
        body += AUTO_SIGN_IN % (json.dumps(auto[0]), json.dumps(auto[1]))
    return layout("登录", body, bridge=True)


def login_done(nickname):
    body = """<div class="card"><h1 id="welcome">登录成功</h1><p>欢迎你，%s</p>
<p class="muted" id="hint">正在进入客户端…</p></div>
<script>
if (!orbCall('orbPcClientSuccess')) {
  document.getElementById('hint').innerHTML = '<a href="/login/success">继续</a>';
}
</script>""" % escape(nickname)
    return layout("登录成功", body, bridge=True)


def login_success(nickname):
    text = "欢迎回来，%s" % escape(nickname) if nickname else "尚未登录"
    body = ('<div class="card"><h1>登录成功</h1><p id="user">%s</p>'
            '<p class="muted">正在加载直播任务…</p></div>' % text)
    return layout("登录成功", body, bridge=True)


def about(query, download_url):
    body = """<div class="card"><h1>关于直播客户端</h1>
<p>客户端 <span id="client">%s</span> · 名称 <span id="name">%s</span></p>
<p>版本 <span id="version">%s</span></p>
<p>手机端可以随时观看直播与回放。</p>
<button id="download" onclick="if(!orbCall('openDefaultBrowser','%s')){window.open('%s');}">
下载手机客户端</button>
<button class="plain" id="close" onclick="if(!orbCall('closeAbout')){history.back();}">关闭</button>
</div>""" % (escape(query.get("client", "")), escape(query.get("name", "")),
             escape(query.get("version", "")), escape(download_url), escape(download_url))
    return layout("关于", body, bridge=True)


def download():
    return layout("下载", '<div class="card"><h1>下载客户端</h1>'
                  '<p>演示服务不提供安装包。</p></div>')


def sign_in_first(login_url):
    body = ('<div class="card"><h1>请先登录</h1><p><a class="button" href="%s">去登录</a></p>'
            '</div>' % escape(login_url))
    return layout("请先登录", body, bridge=True)


def profile(nickname, phone, avatar_url, message=None):
    masked = phone[:3] + "****" + phone[-4:] if len(phone) >= 7 else phone
    note = '<p class="muted" id="message">%s</p>' % escape(message) if message else ""
    body = """<div class="card"><h1>个人资料</h1>
<p><img class="avatar" id="avatar" src="%s" alt="头像"></p>
<button class="plain" id="change-avatar" onclick="if(!orbCall('orbUploadAvahost')){
document.getElementById('message-area').textContent='请在客户端中更换头像';}">更换头像</button>
<form method="post" action="/user/update"><label for="nickname">昵称</label>
<input type="text" id="nickname" name="nickname" value="%s"><button type="submit" id="save">
保存昵称</button></form>
<p>手机号 <span id="phone">%s</span></p>%s<p class="muted" id="message-area"></p>
<button id="done" onclick="if(!orbCall('closeLoginModal')){history.back();}">完成</button>
<button class="plain" id="logout" onclick="orbLogout()">退出登录</button></div>
<script>
function orbLogout() {
  fetch('/logout', {method: 'POST', credentials: 'same-origin'}).then(function () {
    if (!orbCall('orbPcClientLogOutput', %s)) { location.href = '/login'; }
  });
}
</script>""" % (escape(avatar_url), escape(nickname), escape(masked), note,
                _js_string(nickname))
    return layout("个人资料", body, bridge=True)


def chat(task_id, mode, task_name, who, old, client=""):
    body = """<div class="card" style="max-width:560px"><h1>聊天室</h1>
<p>任务 <span id="task-id">%s</span> · 模式 <span id="mode">%s</span> · <span id="task-name">%s</span>
</p><p class="muted">我是 <span id="me">%s</span> · 客户端 <span id="client">%s</span>
<span id="old">%s</span></p>
<div id="messages"></div>
<form id="chat-form" onsubmit="return sendMessage()">
<input type="text" id="input" maxlength="200" placeholder="说点什么…">
<button type="submit" id="send">发送</button></form></div>
<script>
var taskId = %s, lastId = 0;
function show(list) {
  var box = document.getElementById('messages');
  list.forEach(function (m) {
    var div = document.createElement('div'); div.className = 'msg';
    var who = document.createElement('b'); who.textContent = m.user + '：';
    div.appendChild(who); div.appendChild(document.createTextNode(m.text));
    box.appendChild(div); lastId = Math.max(lastId, m.id);
  });
  box.scrollTop = box.scrollHeight;
}
function poll() {
  fetch('/chat/messages?taskId=' + encodeURIComponent(taskId) + '&since=' + lastId, {credentials: 'same-origin'})
    .then(function (r) { return r.json(); }).then(function (j) { show(j.data || []); })
    .catch(function () {});
}
function sendMessage() {
  var input = document.getElementById('input'), text = input.value.trim();
  if (!text) { return false; }
  var body = new URLSearchParams({taskId: taskId, text: text});
  fetch('/chat/messages', {method: 'POST', body: body, credentials: 'same-origin'})
    .then(function () { input.value = ''; poll(); });
  return false;
}
poll(); setInterval(poll, 2000);
</script>""" % (escape(str(task_id)), escape(str(mode)), escape(task_name), escape(who),
                escape(client), "· 旧版接口" if old else "", _js_string(str(task_id)))
    return layout("聊天室", body, bridge=True)


def finished(task):
    if not task:
        return layout("直播回放", '<div class="card"><h1>直播回放</h1>'
                      '<p id="missing">没有找到这场直播。</p></div>')
    body = """<div class="card" style="max-width:640px"><h1>直播回放</h1>
<h2 id="task-name" style="font-size:18px">%s</h2>
<p class="muted">开播 %s · 结束 %s · 任务 <span id="task-id">%d</span></p>
<video id="player" controls width="560" height="315" style="background:#000"
 poster=""></video><p class="muted">回放视频生成后即可在此观看。</p></div>""" % (
        escape(task["taskName"]), _human(task["startTime"]), _human(task["endTime"]),
        task["taskId"])
    return layout("直播回放", body)


def _human(stamp):
    return "%s-%s-%s %s:%s" % (stamp[0:4], stamp[4:6], stamp[6:8], stamp[8:10], stamp[10:12])


def _js_string(text):
    return json.dumps(text, ensure_ascii=False).replace("</", "<\\/")


def watch_links(tasks):
    """The index's list of waiting tasks, each linking to its watch page."""
    rows = "".join('<li><a href="/watch?taskId=%d">%s</a> <span class="muted">orb%d</span></li>'
                   % (t["taskId"], escape(t["taskName"]), t["taskId"]) for t in tasks)
    return '<div class="card"><h1>直播监看 (watch)</h1><ul id="watch-links">%s</ul></div>' % rows


WATCH_STYLE = """<style>
.watch{max-width:1200px;margin:24px auto;display:flex;gap:16px;flex-wrap:wrap;align-items:flex-start}
.watch .card{margin:0;max-width:none}
.picture{width:640px;height:360px;background:#111;display:flex;align-items:center;
justify-content:center;color:#aaa;border-radius:4px;overflow:hidden}
.picture img{max-width:100%;max-height:100%}
table.facts td{padding:3px 10px 3px 0;font-size:14px}
.on{color:#0a0;font-weight:bold}.off{color:#999;font-weight:bold}
#reports{font-size:13px;border-collapse:collapse}#reports td,#reports th{padding:2px 8px;
border-bottom:1px solid #eee;text-align:right}
iframe{border:0;width:100%;height:620px}
</style>"""

WATCH_SCRIPT = """<script>
var taskId = %s;
function fact(id, text) { document.getElementById(id).textContent = text; }
function render(s) {
  var st = s.stream, live = !!(st && st.live);
  var state = document.getElementById('live');
  state.textContent = live ? '直播中' : '未在直播';
  state.className = live ? 'on' : 'off';
  fact('service-state', s.living ? '已开始' : '未开始');
  fact('size', st && st.width ? st.width + ' × ' + st.height : '—');
  fact('codec', st && st.codec ? st.codec + (st.profile ? ' ' + st.profile : '') +
       (st.audioCodec ? ' / ' + st.audioCodec : '') : '—');
  fact('fps', st && st.fps ? st.fps + ' fps' : '—');
  fact('bitrate', st && live ? (st.kbps ? st.kbps + ' kbps' : '统计中…') : '—');
  fact('stat-error', s.statError || '');
  document.getElementById('chart').innerHTML = s.chart;
  var rows = s.reports.slice(-10).reverse().map(function (r) {
    return '<tr><td>' + [r.pointTime, r.kbs, r.fps, r.cpu, r.originFrame, r.lostFrame]
      .map(function (v) { return String(v === undefined ? '' : v).replace(/[<&]/g, ''); })
      .join('</td><td>') + '</td></tr>';
  }).join('');
  document.getElementById('report-rows').innerHTML = rows;
  fact('report-count', s.reports.length);
  var pic = document.getElementById('picture');
  if (live) {
    var img = new Image();
    img.onload = function () { pic.innerHTML = ''; img.id = 'frame'; pic.appendChild(img); };
    img.src = '/watch/frame.jpg?taskId=' + taskId + '&t=' + Date.now();
  } else {
    pic.textContent = '暂无画面';
  }
}
function refresh() {
  fetch('/watch/state?taskId=' + taskId).then(function (r) { return r.json(); })
    .then(render).catch(function () { fact('stat-error', '演示服务无应答'); });
}
refresh(); setInterval(refresh, 4000);
</script>"""


def watch(task, rtmp_url):
    if not task:
        return layout("直播监看", '<div class="card"><h1>直播监看</h1>'
                      '<p id="missing">没有找到这场直播。</p></div>')
    tid = task["taskId"]
    chat_url = "/chat?" + urlencode({"user": "watch", "taskId": tid, "mode": 1, "old": "false"})
    body = """%s<div class="watch"><div class="card"><h1 id="task-name">%s</h1>
<p>状态 <span id="live" class="off">…</span> · 服务端 <span id="service-state">…</span></p>
<div class="picture" id="picture">暂无画面</div>
<table class="facts"><tr><td>推流地址</td><td id="push-url">%s</td></tr>
<tr><td>画面尺寸</td><td id="size">—</td></tr><tr><td>编码</td><td id="codec">—</td></tr>
<tr><td>帧率</td><td id="fps">—</td></tr><tr><td>码率</td><td id="bitrate">—</td></tr></table>
<p class="error" id="stat-error"></p>
<h2 style="font-size:16px">统计上报（<span id="report-count">0</span> 条）</h2>
<div id="chart"></div>
<table id="reports"><tr><th>时间</th><th>kbps</th><th>fps</th><th>CPU%%</th><th>帧数</th>
<th>丢帧</th></tr><tbody id="report-rows"></tbody></table></div>
<div class="card" style="flex:1;min-width:320px"><h1>聊天室</h1>
<iframe id="chat" src="%s"></iframe></div></div>%s""" % (
        WATCH_STYLE, escape(task["taskName"]), escape(rtmp_url), escape(chat_url),
        WATCH_SCRIPT % _js_string(str(tid)))
    return layout("直播监看 · %s" % task["taskName"], body)


CHART_SERIES = [("kbs", "#ff5500", "kbps"), ("fps", "#2a7ae2", "fps"),
                ("lostFrame", "#d22", "丢帧")]


def monitor_chart(reports, width=600, height=160):
    """An inline SVG of kbs, fps and lost frames over the reports, each scaled to its own top."""
    if not reports:
        return '<p class="muted" id="no-reports">尚未收到统计上报</p>'
    pad = 24
    n = len(reports)
    parts = ['<svg id="monitor-chart" xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
             'viewBox="0 0 %d %d" style="background:#fafafa">' % (width, height, width, height)]
    for i, (key, color, label) in enumerate(CHART_SERIES):
        values = [_number(r.get(key)) for r in reports]
        top = max(values) or 1.0
        points = " ".join("%.1f,%.1f" % (
            pad + (width - 2 * pad) * (j / (n - 1) if n > 1 else 0.5),
            height - pad - (height - 2 * pad) * v / top) for j, v in enumerate(values))
        parts.append('<polyline class="series-%s" fill="none" stroke="%s" stroke-width="2" '
                     'points="%s"/>' % (key, color, points))
        parts.append('<text x="%d" y="14" font-size="12" fill="%s">%s 最高 %s</text>'
                     % (pad + 150 * i, color, label, _short(top)))
    parts.append("</svg>")
    return "".join(parts)


def _number(value):
    try:
        return max(float(value), 0.0)
    except (TypeError, ValueError):
        return 0.0


def _short(value):
    return ("%d" % value) if float(value).is_integer() else ("%.2f" % value)
