"""A private desktop for the acceptance tests, and what a person has in front of it.

The runner (run_acceptance.py) starts a virtual X display of its own, a D-Bus session of its own and the
accessibility bus in it; this module starts the built application on a fresh home there and gives the tests
only what a person has: what the screen shows (read through the accessibility tree and screenshots), the
keyboard and the mouse (xdotool). Nothing here places the focus, calls the program or looks at its insides.
Waiting is allowed only for something to appear on the screen, with a time limit.
"""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import pyatspi

SOURCE_DIR = Path(__file__).resolve().parents[2]
APP = os.environ.get("QUILLORY_APP", str(SOURCE_DIR / "build" / "quillory"))
OUT_DIR = Path(os.environ.get("QUILLORY_ACCEPTANCE_OUT", tempfile.gettempdir()))
SCREEN = (1400, 1000)
# Where the pointer rests between actions: a corner of the screen that no window of the tests reaches, so
# that nothing under it is highlighted when a screenshot is taken.
REST = (SCREEN[0] - 2, SCREEN[1] - 2)

class NotShown(AssertionError):
    """What the test waited for did not appear on the screen in time."""


def wait_for(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns something true and returns that; fails naming `what` after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except AssertionError:  # the probe saw something that cannot come right (the program ended)
            raise
        except Exception:  # an accessible that went away while it was read
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise NotShown(f"{what} did not appear within {timeout:g} s")
        time.sleep(interval)


# ---- the accessibility tree ----------------------------------------------------------------------------------

def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def role(node):
    try:
        return node.getRole()
    except Exception:
        return None


def name(node):
    try:
        return node.name or ""
    except Exception:
        return ""


def states(node):
    try:
        return node.getState()
    except Exception:
        return None


def has_state(node, state):
    s = states(node)
    return bool(s and s.contains(state))


def showing(node):
    return has_state(node, pyatspi.STATE_SHOWING)


def enabled(node):
    s = states(node)
    return bool(s and s.contains(pyatspi.STATE_ENABLED) and s.contains(pyatspi.STATE_SENSITIVE))


def checked(node):
    return has_state(node, pyatspi.STATE_CHECKED)


def text(node):
    """What a label, an edit or a cell shows: its text when it has the text interface, else its name."""
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return name(node)


def extents(node):
    """(x, y, width, height) on the screen."""
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def walk(node, skip_tables=True, depth=0, max_depth=40):
    """Every node below `node`, depth first; the cells of tables and lists are skipped unless asked for."""
    yield node
    if depth >= max_depth:
        return
    if skip_tables and depth > 0 and role(node) in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE,
                                                    pyatspi.ROLE_LIST):
        return
    for child in children(node):
        yield from walk(child, skip_tables, depth + 1, max_depth)


def find_all(node, role_=None, name_=None, only_showing=True, skip_tables=True, match=None):
    found = []
    for n in walk(node, skip_tables):
        if role_ is not None and role(n) != role_:
            continue
        if name_ is not None and name(n) != name_:
            continue
        if match is not None and not match(n):
            continue
        if only_showing and not showing(n):
            continue
        found.append(n)
    return found


def find(node, role_=None, name_=None, **kw):
    found = find_all(node, role_, name_, **kw)
    return found[0] if found else None


def describe(node, depth=0, max_depth=6, limit=400):
    """The tree below node as indented lines of role: name, for failure messages."""
    lines = []

    def rec(n, d):
        if len(lines) >= limit:
            return
        lines.append("  " * d + f"{n.getRoleName() if role(n) is not None else '?'}: {name(n)!r}")
        if d < max_depth and role(n) not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST):
            for c in children(n):
                rec(c, d + 1)

    rec(node, depth)
    return "\n".join(lines)


def top_window(node):
    """The top-level window that holds node (a child of the application)."""
    try:
        while node.parent is not None and role(node.parent) != pyatspi.ROLE_APPLICATION:
            node = node.parent
        return node
    except Exception:
        return None


class FocusWatch:
    """Hears where the keyboard focus goes, as a screen reader hears it (the accessibility bus's focus
    events): take() returns the objects that took the focus since the last call."""

    def __init__(self):
        self.events = []
        pyatspi.Registry.registerEventListener(self._heard, "object:state-changed:focused")

    def _heard(self, event):
        if event.detail1:
            self.events.append(event.source)

    def take(self):
        from gi.repository import GLib
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        heard, self.events = self.events, []
        return heard

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._heard, "object:state-changed:focused")


# ---- keyboard, mouse and screen ---------------------------------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, stdin=subprocess.DEVNULL)


def key(*keys):
    """Presses keys one after another, each an xdotool key name such as "ctrl+f", "Escape", "F3"."""
    xdotool("key", "--delay", "40", *keys)


def type_text(text_):
    xdotool("type", "--delay", "30", text_)


def click_at(x, y, button=1, double=False):
    xdotool("mousemove", str(x), str(y), "click", *(["--repeat", "2"] if double else []), str(button))


def click(node, double=False):
    x, y, w, h = extents(node)
    assert w > 0 and h > 0, f"{name(node)!r} has no place on the screen"
    click_at(x + w // 2, y + h // 2, double=double)


def click_within(node, container):
    """Clicks the middle of the part of node that shows inside container (a list entry half scrolled out)."""
    x, y, w, h = extents(node)
    cx, cy, cw, ch = extents(container)
    left, top = max(x, cx), max(y, cy)
    right, bottom = min(x + w, cx + cw), min(y + h, cy + ch)
    assert right > left and bottom > top, f"{name(node)!r} is not within {name(container)!r} on the screen"
    click_at((left + right) // 2, (top + bottom) // 2)


def hover(node):
    x, y, w, h = extents(node)
    xdotool("mousemove", str(x + w // 2), str(y + h // 2))


def rest_pointer():
    xdotool("mousemove", str(REST[0]), str(REST[1]))


class Shot:
    """A screenshot of the whole screen or a part of it: 4 bytes a pixel (blue, green, red, unused), row by row."""

    _display = None

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def take(cls):
        from Xlib import X, display
        if cls._display is None:
            cls._display = display.Display()
        root = cls._display.screen().root
        geometry = root.get_geometry()
        image = root.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
        return cls(geometry.width, geometry.height, bytes(image.data))

    def save(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "bgra:-",
                        "-alpha", "off", str(path)], input=self.data, check=True)
        return path

    def crop(self, box):
        x, y, w, h = box
        x0, y0 = max(x, 0), max(y, 0)
        w, h = min(x + w, self.width) - x0, min(y + h, self.height) - y0
        if w <= 0 or h <= 0:
            return Shot(0, 0, b"")
        stride = self.width * 4
        rows = [self.data[(y0 + r) * stride + x0 * 4:(y0 + r) * stride + (x0 + w) * 4] for r in range(h)]
        return Shot(w, h, b"".join(rows))

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return self.data[i:i + 3]

    def diff_box(self, other):
        """The smallest box (x, y, w, h) around the pixels that differ from `other`, or None."""
        if self.data == other.data:
            return None
        stride = self.width * 4
        top = bottom = None
        left, right = self.width, -1
        for r in range(self.height):
            a = self.data[r * stride:(r + 1) * stride]
            b = other.data[r * stride:(r + 1) * stride]
            if a == b:
                continue
            first = next(i for i in range(0, stride, 4) if a[i:i + 3] != b[i:i + 3]) // 4
            last = next(i for i in range(stride - 4, -1, -4) if a[i:i + 3] != b[i:i + 3]) // 4
            top = r if top is None else top
            bottom = r
            left, right = min(left, first), max(right, last)
        if top is None:
            return None
        return (left, top, right - left + 1, bottom - top + 1)

    def ink_columns(self, contrast=40):
        """How many columns of this picture hold a pixel that stands out from its most common colour (the
        background): the width of what is drawn on it."""
        counts = {}
        for i in range(0, len(self.data), 4):
            counts[self.data[i:i + 3]] = counts.get(self.data[i:i + 3], 0) + 1
        if not counts:
            return 0
        background = sum(max(counts, key=counts.get)) / 3
        inked = 0
        for c in range(self.width):
            if any(abs(sum(self.pixel(c, r)) / 3 - background) > contrast for r in range(self.height)):
                inked += 1
        return inked


def screen_settled(timeout=3.0):
    """Waits until two screenshots in a row are the same (the window has finished drawing); returns it."""
    previous = Shot.take()
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        time.sleep(0.15)
        current = Shot.take()
        if current.data == previous.data:
            return current
        previous = current
    return previous


def clipboard(target=None):
    """The clipboard's list of formats, or its contents in one format, as another program reads them."""
    args = ["xclip", "-o", "-selection", "clipboard", "-t", target or "TARGETS"]
    try:
        result = subprocess.run(args, capture_output=True, timeout=5, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None
    if result.returncode != 0:
        return None
    return result.stdout if target else result.stdout.decode(errors="replace").split()


class ClipboardMark:
    """Another program (xclip) owns the clipboard with a marker text until someone else copies."""

    def __init__(self, text_="quillory-acceptance-marker"):
        self.text = text_
        self.proc = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.proc.stdin.write(text_.encode())
        self.proc.stdin.close()
        wait_for("the clipboard marker", lambda: clipboard("UTF8_STRING") == text_.encode()
                 or clipboard("STRING") == text_.encode(), timeout=5)

    def taken(self):
        """True when something else has put anything on the clipboard since."""
        return self.proc.poll() is not None

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(3)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


# ---- the application ----------------------------------------------------------------------------------------

def kill_group(proc, grace=3.0):
    """Ends a process this module started and everything it started (its own process group)."""
    if proc is None or proc.poll() is not None and not _group_alive(proc.pid):
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)) if grace else ((signal.SIGKILL, 5.0),):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            break
        deadline = time.monotonic() + wait
        while time.monotonic() < deadline and (proc.poll() is None or _group_alive(proc.pid)):
            time.sleep(0.05)
        if proc.poll() is not None and not _group_alive(proc.pid):
            break


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def new_home(parent, first_start=False, sample=False, settings=None):
    """A fresh home folder; past the first start unless asked, with the sample catalog installed as
    tools/install-sample.sh installs it when asked. `settings`: extra "[Section] Key=Value" lines."""
    home = Path(tempfile.mkdtemp(prefix="home-", dir=parent))
    conf = home / ".config" / "Vemto"
    conf.mkdir(parents=True)
    lines = [] if first_start else ["[System]", "FirstExec=0"]
    for line in settings or []:
        lines.append(line)
    if lines:
        (conf / "Quillory.conf").write_text("\n".join(lines) + "\n", encoding="utf-8")
    (home / ".runtime").mkdir(mode=0o700)
    if sample:
        subprocess.run([str(SOURCE_DIR / "tools" / "install-sample.sh")], check=True, env=home_env(home),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    return home


def home_env(home):
    home = Path(home)
    env = dict(os.environ)
    env.update(HOME=str(home), XDG_CONFIG_HOME=str(home / ".config"), XDG_DATA_HOME=str(home / ".local/share"),
               XDG_CACHE_HOME=str(home / ".cache"), XDG_RUNTIME_DIR=str(home / ".runtime"))
    return env


def sample_path(home):
    return Path(home) / "Documents" / "Quillory" / "Sample3" / "Sample3.qlry"


def settings_text(home):
    path = Path(home) / ".config" / "Vemto" / "Quillory.conf"
    return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""


class App:
    """The built program on a home of its own, as started from a desktop: optionally with a catalog file as
    its argument (a double click on the file). Programs it opens through the desktop ("open with", a web
    page) are not started: a recorder stands in for xdg-open and writes each request into `opened`."""

    def __init__(self, home, args=(), log_name="app"):
        self.home = Path(home)
        self.args = [str(a) for a in args]
        self.proc = None
        self.node = None
        self.log_path = OUT_DIR / f"{log_name}.log"
        shims = self.home / ".shims"
        shims.mkdir(exist_ok=True)
        self.opened = shims / "opened.txt"
        recorder = shims / "xdg-open"
        recorder.write_text('#!/bin/sh\nprintf "%s\\n" "$*" >> "$QUILLORY_ACCEPTANCE_OPENED"\n')
        recorder.chmod(0o755)

    def start(self, wait_window=True, timeout=30):
        env = home_env(self.home)
        env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QTWEBENGINE_DISABLE_SANDBOX="1",
                   QUILLORY_ACCEPTANCE_OPENED=str(self.opened),
                   PATH=f"{self.home / '.shims'}:{env.get('PATH', '/usr/bin:/bin')}")
        env.pop("QT_ACCESSIBILITY", None)
        OUT_DIR.mkdir(parents=True, exist_ok=True)
        log = open(self.log_path, "ab")
        self.proc = subprocess.Popen([APP, *self.args], env=env, cwd=str(self.home), stdin=subprocess.DEVNULL,
                                     stdout=log, stderr=log, start_new_session=True)
        log.close()
        self.node = wait_for("the application on the accessibility bus", self._find_node, timeout)
        if wait_window:
            self.main_window(timeout)
        return self

    def _find_node(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for a in children(desktop):
            try:
                if a.get_process_id() == self.proc.pid:
                    return a
            except Exception:
                continue
        if self.proc.poll() is not None:
            raise AssertionError(f"the application exited with {self.proc.returncode} (log {self.log_path})")
        return None

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def stop(self, at_once=False):
        """Ends the program and all it started; at once (SIGKILL) when nothing it would save matters."""
        kill_group(self.proc, grace=0 if at_once else 3.0)
        self.node = None

    def windows(self):
        """The application's top-level windows on the screen (the main window, dialogs, open menus)."""
        return [c for c in children(self.node) if showing(c)]

    def main_window(self, timeout=30):
        return wait_for("the main window", lambda: next(
            (w for w in self.windows() if role(w) == pyatspi.ROLE_FRAME and name(w).endswith("Quillory")),
            None), timeout)

    def window_named(self, predicate, what, timeout=10):
        return wait_for(what, lambda: next((w for w in self.windows() if predicate(w)), None), timeout)

    def dialog(self, title=None, timeout=10):
        """A dialog or message box that has appeared (with the given title when given)."""
        def probe():
            for w in self.windows():
                if role(w) in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FILE_CHOOSER,
                               pyatspi.ROLE_COLOR_CHOOSER, pyatspi.ROLE_FONT_CHOOSER, pyatspi.ROLE_WINDOW) \
                        and (title is None or title in name(w)):
                    return w
            return None
        return wait_for(f"a dialog{' ' + repr(title) if title else ''}", probe, timeout)

    def status_texts(self):
        bar = find(self.main_window(), pyatspi.ROLE_STATUS_BAR)
        if bar is None:
            return []
        return [text(c) for c in children(bar) if showing(c)]

    # ---- menus --------------------------------------------------------------------------------------------

    def menu_bar(self):
        return wait_for("the menu bar", lambda: find(self.main_window(), pyatspi.ROLE_MENU_BAR))

    def open_menu(self, path):
        """Opens the menus along path with the mouse and returns the last entry (not yet chosen) while its menu
        is open. A name matches an entry whose shown text, without its mnemonic "(X)", equals it, starts
        with it, or ends with it (a recent file by its name)."""
        bar = self.menu_bar()
        entry = wait_for(f"menu {path[0]!r}", lambda: _entry(bar, path[0]), 5)
        click(entry)
        for part in path[1:]:
            menu = wait_for(f"the menu {name(entry)!r} open", lambda e=entry: _open_menu_of(e), 5)
            entry = wait_for(f"the entry {part!r} in menu {name(entry)!r}", lambda m=menu: _entry(m, part), 5)
            if children(entry) and part != path[-1]:
                click(entry)  # a submenu opens at once when clicked
        return entry

    def choose(self, path):
        """Chooses a menu command with the mouse, as a person does; fails when it is greyed out."""
        entry = self.open_menu(path)
        assert enabled(entry), f"menu command {' → '.join(path)} is greyed out"
        click(entry)
        rest_pointer()

    def close_menus(self):
        """Presses Escape until no menu is open (a person closing menus without choosing)."""
        for _ in range(6):
            if not self.open_popup_menus():
                break
            key("Escape")
            time.sleep(0.05)
        rest_pointer()

    def open_popup_menus(self):
        bar = find(self.main_window(), pyatspi.ROLE_MENU_BAR)
        found = []
        if bar is None:
            return found
        for top in children(bar):
            m = _open_menu_of(top)
            if m is not None:
                found.append(m)
        return found


def plain(menu_text):
    """A menu text without its mnemonic: "ファイル(&F)" → "ファイル", "開く(&O)..." → "開く..."."""
    return re.sub(r"\(&?.\)", "", menu_text).replace("&", "")


def _matches(shown, wanted):
    shown, wanted = plain(shown), plain(wanted)
    return shown == wanted or shown.startswith(wanted) or (len(wanted) > 3 and shown.endswith(wanted))


def _entry(menu, wanted):
    for c in children(menu):
        if role(c) in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM,
                       pyatspi.ROLE_MENU) and _matches(name(c), wanted) and showing(c):
            return c
    return None


def _open_menu_of(entry):
    """The menu that `entry` (a menu bar entry or a submenu's entry) opens, when it is open on the screen."""
    for c in children(entry):
        if role(c) in (pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_MENU) and showing(c):
            return c
    return None


def menu_entries(menu):
    """The entries of an open menu, in order: (kind, node) with kind "command", "submenu" or "separator"."""
    out = []
    for c in children(menu):
        r = role(c)
        if r == pyatspi.ROLE_SEPARATOR:
            out.append(("separator", c))
        elif r == pyatspi.ROLE_MENU:
            out.append(("submenu", c))
        elif r in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM):
            out.append(("submenu" if children(c) else "command", c))
    return out


# ---- a test case with its own output folder ------------------------------------------------------------------

import unittest  # noqa: E402  (kept beside the class that needs it)


class AcceptanceCase(unittest.TestCase):
    """A test that starts the program as it needs and always ends it; screenshots go to a folder named after
    the test in the output folder."""

    def setUp(self):
        self.apps = []
        self.out = OUT_DIR / self.id().split(".")[-1]
        self.out.mkdir(parents=True, exist_ok=True)
        self.scratch = Path(tempfile.mkdtemp(prefix="work-", dir=self.out))

    def tearDown(self):
        result = getattr(self._outcome, "result", None)
        failed = result is not None and any(test is self for test, _ in result.failures + result.errors)
        if failed:
            try:
                self.shot("at-failure")
            except Exception:
                pass
        for app in self.apps:
            app.stop()
        if not failed:
            shutil.rmtree(self.scratch, ignore_errors=True)  # the homes; screenshots and logs stay

    def start(self, home, args=(), wait_window=True):
        app = App(home, args, log_name=f"{self.out.name}/app-{len(self.apps) + 1}")
        self.apps.append(app)
        return app.start(wait_window=wait_window)

    # The window of a person who has used the program before: as wide as the screen, the pointer's resting
    # place left free below it.
    WINDOW = ["[Window size]", f'Rect="0,0,{SCREEN[0]},{SCREEN[1] - 40}"']

    def start_on_sample(self, settings=None, before_start=None):
        """A fresh home past the first start with the sample installed; the program opened on the sample
        as a double click on the catalog file opens it. before_start(home) may change the files first.
        Unless settings are given, the window is as large as the screen (it opens at 700×500 without)."""
        home = new_home(self.scratch, sample=True, settings=self.WINDOW if settings is None else settings)
        if before_start:
            before_start(home)
        app = self.start(home, [sample_path(home)])
        rest_pointer()
        wait_for("the item count in the status bar", lambda: any("/" in t for t in app.status_texts()), 20)
        screen_settled()
        return app, home

    def shot(self, label):
        """Takes a screenshot into the test's folder and returns it."""
        s = Shot.take()
        s.save(self.out / f"{label}.png")
        return s
