"""Signed sign-in sessions, so that a restart of the service does not sign the user out."""
import hashlib
import hmac
import os
import secrets
import threading
import time

LIFETIME = 7 * 24 * 3600
DEFAULT_NAMES = ["ORB_SESSION", "ORB_USER", "ORB_TOKEN"]


def load_secret(state_dir):
    """The signing key, kept in the state folder (created on first use, private to the user)."""
    if not state_dir:
        return secrets.token_bytes(32)
    os.makedirs(state_dir, mode=0o700, exist_ok=True)
    path = os.path.join(state_dir, "secret")
    try:
        with open(path, "rb") as f:
            key = f.read()
        if len(key) >= 32:
            return key
    except OSError:
        pass
    key = secrets.token_bytes(32)
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(fd, "wb") as f:
        f.write(key)
    return key


class Sessions:
    """The three sign-in cookies: session (HttpOnly), user id, and token (HttpOnly).

    The token doubles as the user key that the older list interface takes in its body.
    """

    def __init__(self, secret, names):
        self.secret = secret
        self.names = (list(names) + DEFAULT_NAMES[len(names):])[:3] if names else DEFAULT_NAMES
        self.revoked = set()
        self.lock = threading.Lock()

    def _sign(self, label, text):
        digest = hmac.new(self.secret, (label + ":" + text).encode(), hashlib.sha256)
        return digest.hexdigest()[:32]

    def issue(self, user_id):
        base = "%s.%d.%s" % (user_id, int(time.time()), secrets.token_hex(8))
        return {
            self.names[0]: base + "." + self._sign("session", base),
            self.names[1]: user_id,
            self.names[2]: base + "." + self._sign("token", base),
        }

    def _valid(self, label, value):
        parts = value.split(".")
        if len(parts) != 4:
            return None
        base = ".".join(parts[:3])
        if not hmac.compare_digest(parts[3], self._sign(label, base)):
            return None
        if not parts[1].isdigit() or time.time() - int(parts[1]) > LIFETIME:
            return None
        with self.lock:
            if parts[2] in self.revoked:
                return None
        return parts[0]

    def user_of(self, cookies):
        """The signed-in user id when all three cookies are present and belong together."""
        values = [cookies.get(n, "") for n in self.names]
        if not all(values):
            return None
        user = self._valid("session", values[0])
        if user is None or user != values[1] or self._valid("token", values[2]) != user:
            return None
        if values[0].split(".")[:3] != values[2].split(".")[:3]:
            return None
        return user

    def user_of_key(self, key):
        return self._valid("token", key or "")

    def revoke(self, cookies):
        value = cookies.get(self.names[0], "")
        parts = value.split(".")
        if len(parts) == 4:
            with self.lock:
                self.revoked.add(parts[2])
