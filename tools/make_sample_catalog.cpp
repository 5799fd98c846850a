// Writes the sample catalog Sample3.qlry into the given sample folder (made by tools/make-sample.sh): its
// categories, one item per sample file, folder and web address, with Japanese values. The catalog stores
// relative paths, so it works wherever the folder is installed.
//
// Usage: quillory_make_sample SAMPLE-FOLDER

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "model/CFileItem.h"

namespace {

struct SampleItem {
    const char* path;  // relative to the sample folder, or a URL
    const char* title;
    const char* memo;
    std::vector<const char*> values;  // one value string per category
};

const std::vector<const char*> kCategories = {"種類", "季節", "場所", "評価"};

const std::vector<SampleItem> kItems = {
    {"画像/富士山.png", "", "PNG形式の画像です。", {"画像", "冬,春", "静岡,山梨", "★★★"}},
    {"画像/桜.jpg", "", "JPEG形式の画像です。", {"画像", "春", "東京", "★★★★"}},
    {"画像/海.gif", "", "GIF形式の画像です。", {"画像", "夏", "沖縄", "★★"}},
    {"画像/紅葉.bmp", "", "ビットマップ形式の画像です。", {"画像", "秋", "京都", "★★★"}},
    {"画像/雪景色.tif", "", "TIFF形式の画像です。", {"画像", "冬", "北海道", "★"}},
    {"文書/説明_シフトJIS.txt", "", "シフトJISのテキストです。", {"テキスト,シフトJIS", "", "", "★★"}},
    {"文書/説明_EUC.txt", "", "EUC-JPのテキストです。", {"テキスト,EUC", "", "", "★"}},
    {"文書/説明_JIS.txt", "", "JIS（ISO-2022-JP）のテキストです。", {"テキスト,JIS", "", "", "★"}},
    {"文書/説明_UTF8.txt", "", "UTF-8のテキストです。", {"テキスト,UTF-8", "", "", "★★"}},
    {"文書/会議メモ.rtf", "会議メモ（リッチテキスト）", "太字・色付きの文字を含みます。", {"リッチテキスト", "春", "東京", "★★★"}},
    {"資料", "資料フォルダ", "フォルダもアイテムとして登録できます。", {"フォルダ", "", "", "★★"}},
    {"資料/集計.csv", "", "", {"表,テキスト", "", "", ""}},
    {"https://www.debian.org/", "Debian -- ユニバーサルオペレーティングシステム", "", {"Webページ", "", "", "★★★★"}},
    {"https://ja.wikipedia.org/wiki/富士山", "富士山 - Wikipedia", "", {"Webページ", "冬,春", "静岡,山梨", "★★★"}},
    {"https://www.jma.go.jp/", "気象庁", "天気予報を見る", {"Webページ", "夏,冬", "東京", "★★"}},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillory_make_sample SAMPLE-FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::absolute(argv[1]);
    const std::string catalogPath = (folder / "Sample3.qlry").string();

    CFileCatalog catalog;
    catalog.setPath(catalogPath);
    catalog.setUseShortcuts(false);
    catalog.setRelativePaths(true);
    for (const char* name : kCategories) {
        catalog.addCategory(name);
    }
    for (const SampleItem& sample : kItems) {
        const std::string path = std::string(sample.path).find("://") != std::string::npos
                                     ? std::string(sample.path)
                                     : (folder / sample.path).string();
        if (path.find("://") == std::string::npos && !std::filesystem::exists(path)) {
            std::cerr << "quillory_make_sample: missing sample file: " << path << "\n";
            return 1;
        }
        std::unique_ptr<CFileItem> item = catalog.newItem(false);
        item->setPath(path, folder.string(), false);
        item->setTitle(sample.title);
        item->setMemo(sample.memo);
        std::vector<std::string> values(sample.values.begin(), sample.values.end());
        item->setValueStrings(std::move(values));
        catalog.addItem(std::move(item));
    }
    catalog.recompute();
    if (const auto error = CCatalogFile::write(catalog, catalogPath)) {
        std::cerr << "quillory_make_sample: cannot write " << catalogPath << "\n";
        return 1;
    }
    std::cout << catalogPath << "\n";
    return 0;
}
