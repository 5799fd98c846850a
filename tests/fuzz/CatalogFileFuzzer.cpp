// The catalog reader under libFuzzer: whatever the bytes, reading never crashes, hangs or allocates more
// than the file can justify, and a catalog that was read writes a file that reads back to the same
// catalog. Texts are compared by structure only: bytes that form no code page 932 character cannot all
// survive the way through UTF-8, and the duplicate codes of code page 932 are written in their standard
// form.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"

namespace {

constexpr const char* kCatalogFolder = "/catalogs/fuzz";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "catalog file fuzzer: %s\n", what);
    std::abort();
}

bool sameStructure(const CFileCatalog& a, const CFileCatalog& b) {
    if (a.reserved() != b.reserved() || a.showName() != b.showName() || a.showDate() != b.showDate() ||
        a.showSize() != b.showSize() || a.useShortcuts() != b.useShortcuts() ||
        a.relativePaths() != b.relativePaths()) {
        return false;
    }
    if (!(a.sortKeys() == b.sortKeys()) || a.filters().count() != b.filters().count())
        return false;
    for (int i = 0; i < a.filters().count(); ++i) {
        const CItemFilter& f = a.filters().at(i);
        const CItemFilter& g = b.filters().at(i);
        if (f.target() != g.target() || f.operatorIndex() != g.operatorIndex() ||
            f.conjunction() != g.conjunction()) {
            return false;
        }
    }
    if (a.categoryCount() != b.categoryCount() || a.itemCount() != b.itemCount())
        return false;
    for (int i = 0; i < a.categoryCount(); ++i) {
        const CCategory& c = a.category(i);
        const CCategory& d = b.category(i);
        if (c.listWidth() != d.listWidth() || c.columnWidth() != d.columnWidth() || c.flags() != d.flags() ||
            c.selection().size() != d.selection().size()) {
            return false;
        }
    }
    for (int i = 0; i < a.itemCount(); ++i) {
        if (a.item(i).valueCount() != a.categoryCount() || b.item(i).valueCount() != a.categoryCount())
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CFileCatalog catalog;
    if (CCatalogFile::parse(catalog, bytes)) {
        if (catalog.categoryCount() != 0 || catalog.itemCount() != 0)
            fail("a failed read left data behind");
        return 0;
    }
    const std::string written = CCatalogFile::serialize(catalog, kCatalogFolder);
    CFileCatalog again;
    if (CCatalogFile::parse(again, written))
        fail("a written catalog does not read back");
    if (!sameStructure(catalog, again))
        fail("a written catalog reads back changed");
    // The model must cope with whatever a file holds (sort keys and filters on missing categories, odd
    // flags); the file system is left alone.
    catalog.recomputeWithoutRefresh();
    return 0;
}
