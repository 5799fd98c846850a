"""The 100,000-item catalog: opened, drilled down and back to 全て, its names drawn whole and its row count
right. The catalog is made once by tools/make_big_catalog.cpp and kept in the build folder."""

import os
import shutil
import subprocess
from pathlib import Path

import desktop_session as ds
from desktop_session import pyatspi
from faults_test import category_lists, column, item_table, list_entries, status_count

MAKER = os.environ.get("QUILLORY_MAKE_BIG_CATALOG", str(ds.SOURCE_DIR / "build" / "tools" / "quillory_make_big_catalog"))
CACHE = Path(os.environ.get("QUILLORY_BIG_CATALOG_CACHE", ds.SOURCE_DIR / "build" / "tests" / "acceptance"))
ITEMS = 100000


def big_catalog():
    """The cached catalog, made when missing or older than its maker."""
    catalog = CACHE / "Big" / "Big.qlry"
    if not catalog.exists() or catalog.stat().st_mtime < Path(MAKER).stat().st_mtime:
        CACHE.mkdir(parents=True, exist_ok=True)
        shutil.rmtree(CACHE / "Big", ignore_errors=True)
        subprocess.run([MAKER, str(CACHE), "Big", str(ITEMS)], check=True, stdout=subprocess.DEVNULL)
    return catalog


class BigCatalog(ds.AcceptanceCase):
    def test_big_catalog_drill_down_and_back(self):
        home = ds.new_home(self.scratch)
        target = home / "Big"
        shutil.copytree(big_catalog().parent, target)
        app = self.start(home, [target / "Big.qlry"])
        ds.rest_pointer()
        ds.wait_for("the item count in the status bar", lambda: status_count(app), 60)
        self.assertEqual(status_count(app), f"1/{ITEMS}", "the status bar counts every item")
        before = self.name_column(app, "big-as-opened")

        _, lists = category_lists(app)
        first = lists[0]
        value = list_entries(first)[1]
        ds.click(value)
        ds.rest_pointer()
        drilled = ds.wait_for("the item count after the drill-down",
                              lambda: status_count(app) if not status_count(app).endswith(f"/{ITEMS}") else None, 30)
        self.shot("big-drilled-down")
        self.assertLess(int(drilled.split("/")[1]), ITEMS)
        ds.click(next(e for e in list_entries(first) if ds.text(e).startswith("全て")))
        ds.rest_pointer()
        ds.wait_for("all items again", lambda: status_count(app).endswith(f"/{ITEMS}"), 30)
        after = self.name_column(app, "big-back-to-all")
        self.assertEqual(after["(heading text)"], before["(heading text)"])
        common = [k for k in before if k in after and not k.startswith("(heading text")]
        self.assertGreaterEqual(len(common), 3, f"rows seen both times: {common}")
        changed = [k for k in common if before[k] != after[k]]
        self.assertEqual(changed, [], "the name column is drawn as when the catalog opened; see "
                                      "big-as-opened.png and big-back-to-all.png")

    def name_column(self, app, label):
        shot = ds.screen_settled()
        shot.save(self.out / f"{label}.png")
        table = item_table(app)
        t = table.queryTable()
        c = column(table, "名前")
        header = t.getColumnHeader(c)
        pictures = {"(heading text)": ds.text(header), "(heading)": shot.crop(ds.extents(header)).data}
        for r in range(min(t.nRows, 40)):
            node = t.getAccessibleAt(r, c)
            if not ds.showing(node) or ds.has_state(node, pyatspi.STATE_SELECTED):
                continue
            pictures[ds.text(node)] = shot.crop(ds.extents(node)).data
        return pictures
