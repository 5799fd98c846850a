#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <vector>

class QMimeData;

// Takes drops onto the item list (installed on the view and the grid's viewport). A drop is, in this
// order: local files from "text/uri-list" (what file managers drag), else an http(s) address from
// "text/x-moz-url" (UTF-16 "url\ntitle", Firefox) or from "text/uri-list" (Chromium); anything else is
// refused. File paths are native bytes, decoded from the URI's percent escapes, so names with spaces, "#",
// "%", newlines or bytes that are not UTF-8 arrive unchanged.
class CItemDropHandler final : public QObject {
    Q_OBJECT
public:
    struct Drop {
        std::vector<std::string> files;  // native paths, in drop order
        std::string url;                 // the address when `files` is empty
    };

    explicit CItemDropHandler(QObject* parent = nullptr);

    // Watches the widget's drag and drop events and accepts them.
    void watch(QWidget* widget);

    // What the data would register; nullopt for data that is neither a file list nor a web address.
    static std::optional<Drop> read(const QMimeData& data);

Q_SIGNALS:
    void filesDropped(const std::vector<std::string>& paths);
    void urlDropped(const std::string& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::vector<std::string> localFiles(const QByteArray& uriList);
    static std::string webAddress(const QMimeData& data);
};
