// Writes a large catalog for the process benchmarks, with real files, and the same data as an SQLite script:
//   quillory_make_bench_catalog FOLDER ITEMS
// makes FOLDER/files/N/fileI.txt (1,000 files a folder), FOLDER/big/big.qlry with ITEMS items of 10
// categories (1,000 values each, 1 to 3 values an item) and FOLDER/big.sql, which builds the indexed
// database the benchmark queries.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER ITEMS\n", argv[0]);
        return 2;
    }
    const std::string folder = fs::absolute(argv[1]).lexically_normal().string();
    const int itemCount = std::stoi(argv[2]);
    constexpr int kCategories = 10;
    constexpr int kValues = 1000;
    std::mt19937 random(12345);
    CFileCatalog catalog;
    catalog.setPath(folder + "/big/big.qlry");
    fs::create_directories(folder + "/big");
    for (int c = 0; c < kCategories; ++c) {
        catalog.addCategory("Category " + std::to_string(c));
    }
    std::ofstream sql(folder + "/big.sql");
    sql << "PRAGMA journal_mode=OFF;\nBEGIN;\n"
           "CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT, path TEXT);\n"
           "CREATE TABLE item_values(item INTEGER, cat INTEGER, value TEXT);\n";
    for (int i = 0; i < itemCount; ++i) {
        const std::string sub = folder + "/files/" + std::to_string(i / 1000);
        if (i % 1000 == 0) {
            fs::create_directories(sub);
        }
        const std::string name = "file" + std::to_string(i) + ".txt";
        const std::string path = sub + "/" + name;
        std::ofstream(path) << i;
        auto item = catalog.newItem(false);
        item->setStoredPath(path);
        std::vector<std::string> values;
        sql << "INSERT INTO items VALUES(" << i << ",'" << name << "','" << path << "');\n";
        for (int c = 0; c < kCategories; ++c) {
            const int count = 1 + static_cast<int>(random() % 3);
            std::vector<std::string> pieces;
            for (int k = 0; k < count; ++k) {
                pieces.push_back("c" + std::to_string(c) + "-" + std::to_string(random() % kValues));
            }
            std::sort(pieces.begin(), pieces.end());
            pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
            for (const std::string& piece : pieces) {
                sql << "INSERT INTO item_values VALUES(" << i << "," << c << ",'" << piece << "');\n";
            }
            values.push_back(CFileItem::joinValues(pieces));
        }
        item->setValueStrings(values);
        catalog.addItem(std::move(item));
    }
    sql << "COMMIT;\nCREATE INDEX by_name ON items(name);\nCREATE INDEX by_item ON item_values(item, cat, value);\n";
    if (auto error = CCatalogFile::write(catalog, catalog.path())) {
        std::fprintf(stderr, "cannot write %s\n", catalog.path().c_str());
        return 1;
    }
    std::printf("%s\n", catalog.path().c_str());
    return 0;
}
