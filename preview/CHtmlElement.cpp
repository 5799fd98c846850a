#include "preview/CHtmlElement.h"

#include <algorithm>

CHtmlElement::CHtmlElement(const QString& tagText) {
    QString text = tagText.trimmed();
    if (text.startsWith(u'<')) {
        text.remove(0, 1);
    }
    if (text.endsWith(u'>')) {
        text.chop(1);
    }
    text = text.trimmed();
    if (text.endsWith(u'/')) {
        m_selfClosing = true;
        text.chop(1);
    }
    qsizetype end = 0;
    while (end < text.size() && !text.at(end).isSpace() && text.at(end) != u'/') {
        ++end;
    }
    m_tagName = text.left(end);
}

void CHtmlElement::setAttribute(const QString& name, const QString& value) {
    auto existing = std::find_if(m_attributes.begin(), m_attributes.end(), [&](const Attribute& attribute) {
        return attribute.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (value.isEmpty() || value == QStringLiteral("\"\"")) {
        if (existing != m_attributes.end()) {
            m_attributes.erase(existing);
        }
        return;
    }
    qsizetype first = 0;
    qsizetype last = value.size();
    auto isQuote = [](QChar c) { return c == u'"' || c == u'\''; };
    while (first < last && isQuote(value.at(first))) {
        ++first;
    }
    while (last > first && isQuote(value.at(last - 1))) {
        --last;
    }
    const QString stored = value.mid(first, last - first);
    if (existing != m_attributes.end()) {
        existing->value = stored;
    } else {
        m_attributes.push_back({name, stored});
    }
}

QString CHtmlElement::render() const {
    QString html = u'<' + m_tagName;
    for (const Attribute& attribute : m_attributes) {
        html += u' ' + attribute.name;
        if (!attribute.value.isEmpty()) {
            html += QStringLiteral("=\"") + escape(attribute.value) + u'"';
        }
    }
    html += m_selfClosing ? QStringLiteral(" />") : QStringLiteral(">");
    return html;
}

QString CHtmlElement::renderEndTag() const {
    return QStringLiteral("</") + m_tagName + u'>';
}

QString CHtmlElement::escape(const QString& text) {
    return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&#39;"));
}
