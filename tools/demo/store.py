"""The demo service's data: one account, its tasks, uploads, chat and received reports."""
import collections
import datetime
import threading

ACCOUNT = "demo"
PASSWORD = "orb2024"
USER_ID = "10001"
NICKNAME = "演示主播"
PHONE = "13800138000"

WAITING_NAMES = [
    "高一数学：函数的单调性与最值", "初二物理：浮力与阿基米德原理", "高三英语冲刺（二）：阅读理解",
    "Python 入门 (第1讲)", "小学语文：古诗词赏析", "初三化学：酸碱盐综合复习",
    "高二生物：遗传的基本规律", "新员工入职培训：公司文化与制度", "产品发布会彩排",
    "季度经营分析会", "摄影基础：光线与构图", "家常菜烹饪：红烧肉的做法",
    "健身直播：30分钟燃脂训练", "书法入门：楷书基本笔画", "高一化学：物质的量",
    "初一数学：有理数的运算", "考研政治：马克思主义基本原理", "英语口语：日常会话练习",
    "少儿编程：图形化编程初体验", "中国历史：唐朝的兴衰", "心理健康讲座：如何缓解考试焦虑",
    "吉他弹唱入门", "理财知识：基金定投的基本方法", "地理专题：气候类型的判断",
    "家长会：新学期学习安排",
]
FINISHED_NAMES = [
    "高一数学：集合与常用逻辑用语", "初二物理：压强", "高三英语：完形填空技巧", "年终总结大会",
    "摄影后期：调色入门", "少儿美术：水彩画基础", "考研英语：长难句分析", "高二物理：电磁感应",
    "安全生产培训", "中国古代文学：宋词选读", "围棋入门：基本规则", "初三数学：二次函数综合",
]

WAITING = 1
FINISHED = 2
NOT_STARTED_MSG = "直播尚未开始，暂时不能结束直播"
MAX_RECORDED = 200


def stamp(moment):
    return moment.strftime("%Y%m%d%H%M%S")


def make_tasks(rtmp_port, now=None):
    """25 waiting tasks (the first two already on air) and 12 finished ones."""
    now = (now or datetime.datetime.now()).replace(minute=0, second=0, microsecond=0)
    tasks = []
    for i, name in enumerate(WAITING_NAMES):
        # The first two began a little while ago; the rest follow every three hours.
        start = now + (datetime.timedelta(minutes=-60 + 30 * i) if i < 2
                       else datetime.timedelta(hours=3 * (i - 1)))
        tasks.append(_task(1001 + i, name, WAITING, start, 90 if i % 3 else 120, i, rtmp_port))
        if i < 2:
            tasks[-1]["clickableEndLiveBtn"] = True
        else:
            tasks[-1].update(clickableEndLiveBtn=False,
                             disableClickableEndLiveBtnMsg=NOT_STARTED_MSG)
    for j, name in enumerate(FINISHED_NAMES):
        start = now - datetime.timedelta(days=j + 1, hours=5)
        tasks.append(_task(2001 + j, name, FINISHED, start, 60 + 15 * (j % 3), j, rtmp_port))
    return tasks


def _task(task_id, name, status, start, minutes, index, rtmp_port):
    task = {
        "taskId": task_id,
        "taskType": 0 if index % 5 == 4 else 1,
        "taskName": name,
        "taskStatus": status,
        "push_url": "rtmp://127.0.0.1:%d/live/orb%d" % (rtmp_port, task_id),
        "startTime": stamp(start),
        "endTime": stamp(start + datetime.timedelta(minutes=minutes)),
        "living": False,
    }
    return task


class Store:
    """Everything the service remembers; one lock, since requests run on their own threads."""

    def __init__(self, rtmp_port):
        self.rtmp_port = rtmp_port
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with self.lock:
            self.tasks = make_tasks(self.rtmp_port)
            self.monitor = []
            self.requests = collections.deque(maxlen=MAX_RECORDED)
            self.request_seq = 0
            self.files = {}
            self.chat = collections.defaultdict(list)
            self.avatar = "static/avatar.png"
            self.nickname = NICKNAME

    # ---- tasks ------------------------------------------------------------------------------

    def page(self, status, name, cur_page, page_size):
        with self.lock:
            rows = [t for t in self.tasks
                    if (status not in (WAITING, FINISHED) or t["taskStatus"] == status)
                    and (not name or name in t["taskName"])]
        rows.sort(key=lambda t: t["startTime"], reverse=(status == FINISHED))
        first = cur_page * page_size
        return {
            "dataList": [public(t) for t in rows[first:first + page_size]],
            "totalRows": len(rows),
            "curPage": cur_page,
            "pageSize": page_size,
        }

    def find(self, task_id):
        with self.lock:
            for t in self.tasks:
                if t["taskId"] == task_id:
                    return dict(t)
        return None

    def start_live(self, task_id):
        with self.lock:
            for t in self.tasks:
                if t["taskId"] == task_id and t["taskStatus"] == WAITING:
                    t["living"] = True
                    t["clickableEndLiveBtn"] = True
                    t.pop("disableClickableEndLiveBtnMsg", None)
                    return True
        return False

    def stop_live(self, task_id):
        """Ends a broadcast for good: the task moves to the finished ones."""
        with self.lock:
            for t in self.tasks:
                if (t["taskId"] == task_id and t["taskStatus"] == WAITING
                        and t.get("clickableEndLiveBtn")):
                    t["taskStatus"] = FINISHED
                    t["living"] = False
                    t.pop("clickableEndLiveBtn", None)
                    t.pop("disableClickableEndLiveBtnMsg", None)
                    return True
        return False

    # ---- reports, requests, files, chat -----------------------------------------------------

    def add_monitor(self, report):
        with self.lock:
            self.monitor.append(report)

    def monitor_reports(self):
        with self.lock:
            return list(self.monitor)

    def record(self, entry):
        with self.lock:
            self.request_seq += 1
            entry["seq"] = self.request_seq
            self.requests.append(entry)

    def recorded(self):
        with self.lock:
            return list(self.requests)

    def add_file(self, name, data, content_type):
        with self.lock:
            self.files[name] = (data, content_type)

    def file(self, name):
        with self.lock:
            return self.files.get(name)

    def add_chat(self, task_id, who, text, when):
        with self.lock:
            messages = self.chat[task_id]
            messages.append({"id": len(messages) + 1, "user": who, "text": text, "time": when})

    def chat_since(self, task_id, since):
        with self.lock:
            return [m for m in self.chat.get(task_id, []) if m["id"] > since]


def public(task):
    """A task as the list and detail replies show it."""
    return {k: v for k, v in task.items() if k != "living"}
