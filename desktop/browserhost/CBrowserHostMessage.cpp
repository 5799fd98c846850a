#include "desktop/browserhost/CBrowserHostMessage.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

std::optional<CBrowserHostState::Page> refuse(std::string* error, const std::string& what) {
    if (error)
        *error = what;
    return std::nullopt;
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool CBrowserHostMessage::acceptableUrl(const std::string& url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos)
        return false;
    const std::string scheme = lowerAscii(url.substr(0, colon));
    if (scheme != "http" && scheme != "https" && scheme != "file" && scheme != "ftp")
        return false;
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

std::optional<CBrowserHostState::Page> CBrowserHostMessage::parse(const std::string& frame,
                                                                  std::string* error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(frame), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return refuse(error, "not JSON: " + parseError.errorString().toStdString() + " at byte " +
                                 std::to_string(parseError.offset));
    if (!document.isObject())
        return refuse(error, "not a JSON object");
    const QJsonObject message = document.object();
    if (message.value("type").toString() != QLatin1String("page"))
        return refuse(error, "not a page message");

    const QJsonValue url = message.value("url"), title = message.value("title"),
                     status = message.value("status"), incognito = message.value("incognito"),
                     time = message.value("time");
    if (!url.isString() || !title.isString() || !status.isString() || !incognito.isBool() || !time.isDouble())
        return refuse(error, "a field is missing or of the wrong type");
    const QString state = status.toString();
    if (state != QLatin1String("complete") && state != QLatin1String("loading"))
        return refuse(error, "status is neither complete nor loading");
    const double ms = time.toDouble();
    if (!std::isfinite(ms) || ms < 0 || ms > 9007199254740992.0)
        return refuse(error, "time is not a time");

    CBrowserHostState::Page page;
    page.url = url.toString().toStdString();
    page.title = title.toString().toStdString();
    if (page.url.size() > kMaxUrl)
        return refuse(error, "url of " + std::to_string(page.url.size()) + " bytes, at most " +
                                 std::to_string(kMaxUrl));
    if (!acceptableUrl(page.url))
        return refuse(error, "url of a scheme that is not taken, or with spaces or control characters");
    if (page.title.size() > kMaxTitle)
        return refuse(error, "title of " + std::to_string(page.title.size()) + " bytes, at most " +
                                 std::to_string(kMaxTitle));
    page.loading = state == QLatin1String("loading");
    page.incognito = incognito.toBool();
    page.timeMs = static_cast<std::int64_t>(ms);
    return page;
}
