// Writes a large catalog for looking at the program and measuring it by hand: ITEMS items (100,000 by
// default), ten categories of about 1,000 values each with Japanese and ASCII values, 1 to 3 values per item
// and category. The items' files do not exist. Always the same catalog for the same arguments.
//
// Usage: quillory_make_big_catalog PARENT-FOLDER NAME [ITEMS]   (writes PARENT-FOLDER/NAME/NAME.qlry)

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/CLcg.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "model/CFileItem.h"

namespace {

constexpr int kValuesPerCategory = 1000;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: quillory_make_big_catalog PARENT-FOLDER NAME [ITEMS]\n";
        return 2;
    }
    const int itemCount = argc > 3 ? std::max(std::atoi(argv[3]), 0) : 100000;
    CFileCatalog catalog;
    if (const auto failure = CCatalogFolder(catalog).setLocation(argv[1], argv[2])) {
        std::cerr << "quillory_make_big_catalog: cannot make the catalog folder under " << argv[1] << "\n";
        return 2;
    }
    const std::vector<std::string> names = {"ジャンル", "作者", "年",   "評価",   "場所",
                                            "形式",     "タグ", "人物", "案件", "状態"};
    const std::vector<std::string> stems = {"値", "value", "東京", "item", "資料", "photo", "夏", "tag", "山田", "済"};
    for (const std::string& name : names) {
        catalog.addCategory(name);
    }
    CLcg random(2718);
    std::vector<std::unique_ptr<CFileItem>> items;
    items.reserve(static_cast<std::size_t>(itemCount));
    for (int i = 0; i < itemCount; ++i) {
        auto item = catalog.newItem(false);
        char path[128];
        std::snprintf(path, sizeof path, "/home/user/資料/folder%03u/document-%06d.pdf", random.next() % 1000, i);
        item->setStoredPath(path);
        std::vector<std::string> values(names.size());
        for (std::size_t c = 0; c < names.size(); ++c) {
            const int count = 1 + static_cast<int>(random.next() % 3);
            for (int v = 0; v < count; ++v) {
                values[c] += (v > 0 ? "," : "") + stems[c] + std::to_string(random.next() % kValuesPerCategory);
            }
        }
        item->setValueStrings(values);
        items.push_back(std::move(item));
    }
    catalog.setItems(std::move(items));
    if (CCatalogFile::write(catalog, catalog.path())) {
        std::cerr << "quillory_make_big_catalog: cannot write " << catalog.path() << "\n";
        return 1;
    }
    std::cout << catalog.path() << "\n";
    return 0;
}
