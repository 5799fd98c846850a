"""The command sweep: every command of the menus, chosen with the mouse from the window as it opens on the
sample catalog, must do something a person can see, or be greyed out.

The commands come from the menus themselves: each top menu is opened and read, submenus too; what is greyed
out then is greyed out as the window opens. Each command that is not is chosen, and what followed recorded:
- "dialog": a dialog, a question or a message appeared (it is closed with Escape, or its cancelling button;
  nothing is ever confirmed);
- "window": another window of the program appeared (the help window);
- "changed": the screen changed (the title, the status bar, the lists, the grid, a bar shown or hidden);
- "clipboard": something was put on the clipboard, as another program sees it;
- "external": the program asked the desktop to open a file, a folder or a web page;
- "saved": the program wrote the catalog's folder (上書き保存 of an unchanged catalog shows nothing else);
- "exited": the program ended (アプリケーションの終了);
- "greyed": the command is greyed out in its menu;
- "silent": the command is enabled and nothing of the above followed; this fails the sweep.
Between commands the window is brought back as a person would: dialogs are declined, a toggle is chosen
again. The program is started anew on a fresh copy of the sample when a window stays open, when the focus
moved in the main window (heard as a screen reader hears it), and after every few commands that changed the
window, so that each command is tried from the focus the window opened with. A command that is greyed out or
silent after other commands changed the window is tried again on a fresh start before it is recorded so.
Each top menu is one test (the view menu two); each prints its tally and writes it to sweep-<menu>.json in
the output folder, and the tally test adds them up.
"""

import json
import os
import shutil
import time
import unittest

import desktop_session as ds
from desktop_session import pyatspi

# How long a command has to show something before it counts as silent.
SETTLE_SECONDS = 3.0
# The program is started anew after this many commands that changed the window (and kept the focus where it
# was), so that changes do not pile up.
RESTART_AFTER_CHANGES = 4
# Buttons that decline or cancel, in the order they are tried when Escape does not close a window.
DECLINING = ("キャンセル", "ｷｬﾝｾﾙ", "いいえ", "閉じる", "Cancel", "No", "Close", "中止")


def command_path_text(path):
    return " → ".join(ds.plain(p) for p in path)


class Sweeper:
    """Sweeps the commands under the top menu `top`; `part` keeps only those whose path (below the top menu)
    starts with it, `but` leaves out those that start with it, so that a large menu can be swept in two
    tests that run side by side."""

    def __init__(self, test, top, part=None, but=None):
        self.test = test
        self.top = top
        self.part = part
        self.but = but
        self.app = None
        self.records = []
        self.starts = 0
        self.start_seconds = 0.0
        self.fresh = True
        self.changes = 0
        self.focus = None

    # ---- the program ---------------------------------------------------------------------------------------

    def start(self):
        began = time.monotonic()
        try:
            self._start()
        finally:
            self.start_seconds += time.monotonic() - began

    def _start(self):
        self.stop()
        folder = ds.OUT_DIR / f"sweep-{self.test.slug}"
        folder.mkdir(parents=True, exist_ok=True)
        home = ds.new_home(folder, sample=True)
        self.starts += 1
        self.catalog_folder = ds.sample_path(home).parent
        self.app = ds.App(home, [ds.sample_path(home)], log_name=f"{folder.name}/app-{self.starts}").start()
        ds.rest_pointer()
        self.wait_opened()
        self.focus.take()
        self.fresh = True
        self.changes = 0

    def wait_opened(self):
        """The window has opened on the sample: the status bar counts the items, and drawing has settled."""
        ds.wait_for("the item count in the status bar",
                    lambda: any("/" in t for t in self.app.status_texts()), 20)
        ds.screen_settled()

    def stop(self):
        if self.app is not None:
            self.app.stop(at_once=True)
            shutil.rmtree(self.app.home, ignore_errors=True)
            self.app = None

    # ---- reading the menus ---------------------------------------------------------------------------------

    def commands(self):
        """Every command under the top menu, as a path of shown menu texts, read from the open menus."""
        found = []
        bar = self.app.menu_bar()
        tops = [c for c in ds.children(bar) if ds.showing(c)]
        top = next((t for t in tops if ds._matches(ds.name(t), self.top)), None)
        self.test.assertIsNotNone(top, f"no menu {self.top!r} in the menu bar: {[ds.name(t) for t in tops]}")
        ds.click(top)
        menu = ds.wait_for(f"the menu {self.top!r} open", lambda: ds._open_menu_of(top), 5)
        self._read(menu, (ds.name(top),), found)
        self.app.close_menus()
        ds.rest_pointer()
        ds.screen_settled()
        return found

    def _read(self, menu, prefix, found):
        for kind, node in ds.menu_entries(menu):
            if kind == "separator" or not ds.showing(node):
                continue
            path = prefix + (ds.name(node),)
            if kind == "command":
                # Checked as the window opens: a toggle that a second choice undoes (unchecked toggles are not
                # told apart from other commands by the accessibility tree).
                found.append((path, ds.enabled(node), ds.checked(node)))
            elif not ds.enabled(node):
                found.append((path, False, False))  # a greyed submenu: one greyed entry
            else:
                ds.hover(node)
                try:
                    sub = ds.wait_for(f"the submenu {ds.name(node)!r} open", lambda n=node: ds._open_menu_of(n), 3)
                except ds.NotShown:
                    found.append((path, False, False))  # a submenu that does not open acts as greyed
                    continue
                self._read(sub, path, found)
                ds.hover(node)  # back on the submenu's own entry, so that the parent menu stays in front

    # ---- trying one command ---------------------------------------------------------------------------------

    def window_keys(self):
        return [(ds.role(w), ds.name(w)) for w in self.app.windows()]

    def new_windows(self, before):
        left = list(before)
        new = []
        for w in self.app.windows():
            k = (ds.role(w), ds.name(w))
            if k in left:
                left.remove(k)
            elif ds.role(w) not in (pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_TOOL_TIP):
                new.append(w)
        return new

    def opened_lines(self):
        try:
            return self.app.opened.read_text().splitlines()
        except FileNotFoundError:
            return []

    def folder_state(self):
        return sorted((str(p), p.stat().st_mtime_ns, p.stat().st_size) for p in self.catalog_folder.rglob("*"))

    def try_command(self, path, checkable=False):
        shown = command_path_text(path)
        baseline = ds.screen_settled()
        before_windows = self.window_keys()
        before_title = ds.name(self.app.main_window())
        before_status = self.app.status_texts()
        before_opened = len(self.opened_lines())
        before_folder = self.folder_state()
        self.focus.take()
        mark = ds.ClipboardMark()
        try:
            try:
                entry = self.app.open_menu(path)
            except ds.NotShown as error:
                self.app.close_menus()
                self.record(path, "missing", str(error))
                return self.start()
            if not ds.enabled(entry):
                self.app.close_menus()
                ds.rest_pointer()
                if not self.fresh:
                    # Enabled as the window opened, greyed now: tried again on the window as it opens.
                    mark.close()
                    self.start()
                    return self.try_command(path, checkable)
                print(f"  {shown}: greyed", flush=True)
                return self.record(path, "greyed", "")
            ds.click(entry)
            ds.rest_pointer()
            outcome, detail = self.watch(baseline, before_windows, before_title, before_status, before_opened,
                                         before_folder, mark)
        finally:
            mark.close()
        if outcome == "silent" and not self.fresh:
            # Nothing showed after other commands had changed the window: tried again on the window as it opens.
            self.start()
            return self.try_command(path, checkable)
        self.record(path, outcome, detail)
        print(f"  {shown}: {outcome} {detail}", flush=True)
        if outcome == "changed" and checkable and self.toggled_back(path, baseline):
            return
        self.restore(baseline, outcome)

    def toggled_back(self, path, baseline):
        """A check command chosen a second time, as a person undoes a toggle: True when the window then looks
        as it did before, so that it need not be started anew."""
        try:
            self.app.choose(path)
        except (AssertionError, ds.NotShown):
            self.app.close_menus()
            return False
        try:
            ds.wait_for("the window as before", lambda: ds.Shot.take().diff_box(baseline) is None, 3)
            return True
        except ds.NotShown:
            return False

    def watch(self, baseline, before_windows, before_title, before_status, before_opened, before_folder, mark):
        deadline = time.monotonic() + SETTLE_SECONDS
        changed_box = None
        while True:
            if not self.app.running():
                return "exited", f"exit status {self.app.proc.returncode}"
            new = self.new_windows(before_windows)
            if new:
                time.sleep(0.3)  # let it finish drawing; a question may come up behind a first window
                new = self.new_windows(before_windows) or new
                w = new[0]
                kind = "window" if ds.role(w) == pyatspi.ROLE_FRAME else "dialog"
                return kind, f"{ds.name(w)!r} {self.dialog_text(w)}".strip()
            opened = self.opened_lines()[before_opened:]
            if opened:
                return "external", "; ".join(opened)
            if mark.taken():
                targets = ds.clipboard() or []
                return "clipboard", " ".join(t for t in targets if "/" in t)
            shot = ds.Shot.take()
            changed_box = baseline.diff_box(shot)
            if changed_box is not None:
                time.sleep(0.3)
                if self.new_windows(before_windows):
                    continue
                if not self.main_window_shown():
                    try:
                        ds.wait_for("the program to end", lambda: not self.app.running(), 5)
                    except ds.NotShown:
                        return "changed", "the main window closed"
                    continue
                return "changed", self.describe_change(changed_box, before_title, before_status)
            if time.monotonic() > deadline:
                written = sorted(set(self.folder_state()) - set(before_folder))
                if written:
                    return "saved", ", ".join(os.path.basename(w[0]) for w in written)
                return "silent", ""
            time.sleep(0.1)

    def main_window_shown(self):
        return any(ds.role(w) == pyatspi.ROLE_FRAME and ds.name(w).endswith("Quillory") for w in self.app.windows())

    def describe_change(self, box, before_title, before_status):
        parts = []
        try:
            title = ds.name(self.app.main_window(timeout=2))
            if title != before_title:
                parts.append(f"title {before_title!r} → {title!r}")
            status = self.app.status_texts()
            if status != before_status:
                parts.append(f"status {before_status} → {status}")
        except Exception:
            pass
        parts.append("screen area x=%d y=%d %dx%d" % box)
        return "; ".join(parts)

    def dialog_text(self, window):
        labels = [ds.text(n) for n in ds.find_all(window, pyatspi.ROLE_LABEL)][:3]
        return " / ".join(t.replace("\n", " ")[:80] for t in labels if t)

    def restore(self, baseline, outcome):
        """Closes what the command opened, declining everything. The program is started anew when a window
        stays open, when the focus has moved in the main window, or after every few commands that changed
        the window; otherwise the next command starts from the window as this one left it."""
        if outcome in ("exited", "missing", "window"):
            self.start()  # gone, or a window without a cancelling key (the help window)
            return
        for _ in range(6):
            windows = self.other_windows()
            if not windows:
                break
            w = windows[-1]
            before = len(self.app.windows())
            ds.key("Escape")
            try:
                ds.wait_for("the window closing", lambda: len(self.app.windows()) < before, 1.5)
                continue
            except ds.NotShown:
                pass
            button = next((b for label in DECLINING
                           for b in ds.find_all(w, pyatspi.ROLE_PUSH_BUTTON, match=lambda n, l=label:
                                                ds.plain(ds.name(n)) == l)), None)
            if button is None:
                break
            ds.click(button)
            ds.rest_pointer()
            try:
                ds.wait_for("the window closing", lambda: len(self.app.windows()) < before, 1.5)
            except ds.NotShown:
                break
        ds.rest_pointer()
        if self.other_windows() or self.focus_moved():
            self.start()
            return
        if ds.screen_settled().diff_box(baseline) is not None:
            self.fresh = False
            self.changes += 1
            if self.changes >= RESTART_AFTER_CHANGES:
                self.start()

    def other_windows(self):
        return [w for w in self.app.windows()
                if not (ds.role(w) == pyatspi.ROLE_FRAME and ds.name(w).endswith("Quillory"))]

    def focus_moved(self):
        """True when a widget of the main window took the focus since the command was chosen. Focus inside
        menus and dialogs does not count (it goes back where it was when they close), nor does a cell of a
        list or table: Qt tells a new current cell as focused whether or not its view has the focus."""
        for source in self.focus.take():
            if ds.role(source) in (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU,
                                   pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_TABLE_CELL,
                                   pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_TABLE_ROW_HEADER,
                                   pyatspi.ROLE_TABLE_COLUMN_HEADER):
                continue
            top = ds.top_window(source)
            if top is not None and ds.role(top) == pyatspi.ROLE_FRAME and ds.name(top).endswith("Quillory"):
                return True
        return False

    def record(self, path, outcome, detail):
        self.records.append({"command": command_path_text(path), "outcome": outcome, "detail": detail})

    # ---- the whole menu -----------------------------------------------------------------------------------

    def run(self):
        started = time.monotonic()
        self.focus = ds.FocusWatch()
        self.start()
        try:
            paths = [p for p in self.commands() if self.wanted(p[0])]
            self.test.assertTrue(paths, f"the menu {self.top!r} shows no commands")
            print(f"\nmenu {self.top}: {len(paths)} commands", flush=True)
            for path, enabled_as_opened, checkable in paths:
                if not enabled_as_opened:
                    # Greyed in the menu as the window opened (read while the menus were walked).
                    self.record(path, "greyed", "")
                    print(f"  {command_path_text(path)}: greyed", flush=True)
                    continue
                if not self.app.running():
                    self.start()
                self.try_command(path, checkable)
        finally:
            self.stop()
            self.focus.close()
        return self.tally(time.monotonic() - started)

    def wanted(self, path):
        below = path[1] if len(path) > 1 else ""
        if self.part is not None and not ds._matches(below, self.part):
            return False
        return self.but is None or not ds._matches(below, self.but)

    def tally(self, seconds):
        counts = {}
        for r in self.records:
            counts[r["outcome"]] = counts.get(r["outcome"], 0) + 1
        acting = sum(counts.get(k, 0) for k in ("dialog", "window", "changed", "clipboard", "external", "saved",
                                                "exited"))
        silent = [r["command"] for r in self.records if r["outcome"] in ("silent", "missing")]
        summary = {"menu": self.top, "tried": len(self.records), "acting": acting,
                   "greyed": counts.get("greyed", 0), "silent": len(silent), "silent_commands": silent,
                   "by_outcome": counts, "records": self.records, "seconds": round(seconds, 1),
                   "starts": self.starts, "start_seconds": round(self.start_seconds, 1)}
        ds.OUT_DIR.mkdir(parents=True, exist_ok=True)
        (ds.OUT_DIR / f"sweep-{self.test.slug}.json").write_text(json.dumps(summary, ensure_ascii=False, indent=1))
        print(f"\nmenu {self.top}: tried {summary['tried']}, acting {acting} {counts}, greyed {summary['greyed']}, "
              f"silent {len(silent)}{': ' + ', '.join(silent) if silent else ''} "
              f"({summary['seconds']} s, {self.starts} starts taking {summary['start_seconds']} s)", flush=True)
        return summary


class CommandSweep(unittest.TestCase):
    def sweep(self, top, slug, part=None, but=None):
        self.slug = slug
        summary = Sweeper(self, top, part, but).run()
        self.assertEqual(summary["silent"], 0,
                         f"enabled commands that did nothing visible: {', '.join(summary['silent_commands'])}")

    def test_file_menu(self):
        self.sweep("ファイル", "file")

    def test_edit_menu(self):
        self.sweep("編集", "edit")

    def test_item_menu(self):
        self.sweep("アイテム", "item")

    def test_view_menu(self):
        self.sweep("表示", "view", but="アイテムの整列")

    def test_view_sort_menu(self):
        self.sweep("表示", "view-sort", part="アイテムの整列")

    def test_category_menu(self):
        self.sweep("カテゴリ", "category")

    def test_preview_menu(self):
        self.sweep("プレビュー", "preview")

    def test_tools_menu(self):
        self.sweep("ツール", "tools")

    def test_help_menu(self):
        self.sweep("ヘルプ", "help")
