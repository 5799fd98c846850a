#include "desktop/CFirefoxSessionReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/CMozLz4Reader.h"

namespace {

// A 1-based selection as a 0-based index into `count` elements; out-of-range selections pick the first.
std::size_t fromOneBased(const QJsonValue& value, qsizetype count) {
    const qint64 selected = value.toInteger(1);
    return selected >= 1 && selected <= count ? static_cast<std::size_t>(selected - 1) : 0;
}

}  // namespace

std::optional<CBrowserSession> CFirefoxSessionReader::readProfile(const std::string& profile, CSessionError* error) {
    return readFile(profile + "/sessionstore-backups/recovery.jsonlz4", error);
}

std::optional<CBrowserSession> CFirefoxSessionReader::readFile(const std::string& path, CSessionError* error) {
    const auto json = CMozLz4Reader::readFile(path, error);
    if (!json) {
        return std::nullopt;
    }
    return parse(*json, path, error);
}

std::optional<CBrowserSession> CFirefoxSessionReader::parse(std::string_view json, const std::string& path,
                                                            CSessionError* error) {
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), static_cast<qsizetype>(json.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error) {
            *error = CSessionError{path, parseError.error != QJsonParseError::NoError ? parseError.offset : 0,
                                   "session store is not a JSON object: " + parseError.errorString().toStdString()};
        }
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonArray windows = root.value(QLatin1String("windows")).toArray();
    CBrowserSession session;
    session.setSelectedWindow(fromOneBased(root.value(QLatin1String("selectedWindow")), windows.size()));
    for (const QJsonValue& windowValue : windows) {
        const QJsonObject window = windowValue.toObject();
        const QJsonArray tabs = window.value(QLatin1String("tabs")).toArray();
        CBrowserSession::Window parsed;
        parsed.selectedTab = fromOneBased(window.value(QLatin1String("selected")), tabs.size());
        for (const QJsonValue& tabValue : tabs) {
            const QJsonObject tab = tabValue.toObject();
            const QJsonArray entries = tab.value(QLatin1String("entries")).toArray();
            CBrowserSession::Tab page;
            if (!entries.isEmpty()) {
                const QJsonObject entry =
                    entries.at(static_cast<qsizetype>(fromOneBased(tab.value(QLatin1String("index")), entries.size())))
                        .toObject();
                page.url = entry.value(QLatin1String("url")).toString().toStdString();
                page.title = entry.value(QLatin1String("title")).toString().toStdString();
            }
            // A tab keeps its place even without history, so that the selection still counts right.
            parsed.tabs.push_back(std::move(page));
        }
        session.addWindow(std::move(parsed));
    }
    return session;
}
