#include "export/CVXMLFragmentParser.h"

#include <memory>
#include <string>

#include "export/CVXMLCDATASection.h"
#include "export/CVXMLComment.h"
#include "export/CVXMLElement.h"
#include "export/CVXMLTextNode.h"

namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";
constexpr std::size_t kShortestComment = 7;  // "<!---->"
constexpr std::size_t kShortestCData = 12;   // "<![CDATA[]]>"

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `text` has `word` at `pos`, ASCII letters compared without regard to case.
bool matchesAt(std::string_view text, std::size_t pos, std::string_view word) {
    if (pos + word.size() > text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < word.size(); ++k) {
        if (asciiLower(text[pos + k]) != asciiLower(word[k])) {
            return false;
        }
    }
    return true;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && matchesAt(text, text.size() - tail.size(), tail);
}

std::string_view trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool CVXMLFragmentParser::parse(CVXMLElement& parent, std::string_view fragment) {
    CVXMLFragmentParser parser(parent);
    return parser.parseAll(fragment);
}

bool CVXMLFragmentParser::parseAll(std::string_view text) {
    bool innerClosed = true;
    while (!text.empty()) {
        const std::size_t open = text.find('<');
        if (open == std::string_view::npos) {
            m_parent.appendChild(std::make_unique<CVXMLTextNode>(text));
            break;
        }
        if (open > 0) {
            m_parent.appendChild(std::make_unique<CVXMLTextNode>(text.substr(0, open)));
            text.remove_prefix(open);
        }
        if (text.size() >= kShortestComment && text.starts_with(kCommentOpen)) {
            if (!readDelimited(text, kCommentOpen, kCommentClose)) {
                return false;
            }
        } else if (text.size() >= kShortestCData && text.starts_with(kCDataOpen)) {
            if (!readDelimited(text, kCDataOpen, kCDataClose)) {
                return false;
            }
        } else {
            const std::string_view source = elementSource(text);
            // A section left open inside the element stops only the element's own content.
            innerClosed = buildElement(m_parent, source) && innerClosed;
            text.remove_prefix(source.size());
        }
    }
    return innerClosed;
}

bool CVXMLFragmentParser::readDelimited(std::string_view& text, std::string_view open,
                                        std::string_view close) {
    const std::size_t end = text.find(close, open.size());
    if (end == std::string_view::npos) {
        text = {};
        return false;
    }
    const std::string_view body = text.substr(open.size(), end - open.size());
    if (open == kCommentOpen) {
        m_parent.appendChild(std::make_unique<CVXMLComment>(body));
    } else {
        m_parent.appendChild(std::make_unique<CVXMLCDATASection>(body));
    }
    text.remove_prefix(end + close.size());
    return true;
}

// Nested elements of the same name are counted: every "<" + name opens one more level and every
// "</" + name + ">" closes one; the end tag that closes the element's own level ends its source.
std::string_view CVXMLFragmentParser::elementSource(std::string_view text) {
    std::size_t nameEnd = text.find_first_of("> \t", 1);
    if (nameEnd == std::string_view::npos) {
        nameEnd = text.size();
    }
    const std::string_view name = text.substr(1, nameEnd - 1);
    const std::string openTag = "<" + std::string(name);
    const std::string endTag = "</" + std::string(name) + ">";
    int level = 1;
    for (std::size_t pos = text.find('<', nameEnd); pos != std::string_view::npos;
         pos = text.find('<', pos)) {
        if (matchesAt(text, pos, endTag)) {
            pos += endTag.size();
            if (--level == 0) {
                return text.substr(0, pos);
            }
        } else if (matchesAt(text, pos, openTag)) {
            ++level;
            pos += openTag.size();
        } else {
            ++pos;
        }
    }
    const std::size_t close = text.find('>');
    return close == std::string_view::npos ? text : text.substr(0, close + 1);
}

bool CVXMLFragmentParser::buildElement(CVXMLElement& parent, std::string_view source) {
    auto element = std::make_unique<CVXMLElement>("");
    const std::size_t startOpen = source.find('<');
    const std::size_t startClose = source.find('>');
    if (startOpen == std::string_view::npos || startClose == std::string_view::npos ||
        startClose < startOpen) {
        parent.appendChild(std::move(element));
        return true;
    }
    std::string_view startTag = source.substr(startOpen + 1, startClose - startOpen - 1);
    if (startTag.ends_with('/')) {
        startTag.remove_suffix(1);
    }
    if (startTag.size() > 2 && startTag.front() == '%' && startTag.back() == '%') {
        element->setName(trimSpaces(startTag.substr(1, startTag.size() - 2)));
    } else {
        std::size_t nameEnd = 0;
        while (nameEnd < startTag.size() && !isBlank(startTag[nameEnd])) {
            ++nameEnd;
        }
        element->setName(startTag.substr(0, nameEnd));
        const std::string_view rest = startTag.substr(nameEnd);
        const std::size_t attributesStart = rest.find_first_not_of(' ');
        if (attributesStart != std::string_view::npos) {
            readAttributes(*element, rest.substr(attributesStart));
        }
    }
    bool closed = true;
    if (!element->name().empty()) {
        const std::string endTag = "</" + element->name() + ">";
        const std::size_t contentStart = startClose + 1;
        if (!endsWithIgnoringCase(source, endTag) || source.size() - endTag.size() < contentStart) {
            element->setHasEndTag(false);
        } else {
            const std::string_view content =
                source.substr(contentStart, source.size() - endTag.size() - contentStart);
            if (!content.empty()) {
                closed = parse(*element, content);
            }
        }
    }
    parent.appendChild(std::move(element));
    return closed;
}

// Attributes left to right: a name, optionally "=" and a value that is quoted (up to the same quote) or
// runs to the next blank. A name with no "=" after it has an empty value.
void CVXMLFragmentParser::readAttributes(CVXMLElement& element, std::string_view text) {
    std::size_t pos = 0;
    const auto skip = [&](auto predicate) {
        while (pos < text.size() && predicate(text[pos])) {
            ++pos;
        }
    };
    while (true) {
        skip(isBlank);
        if (pos >= text.size() || text[pos] == '>') {
            return;
        }
        const std::size_t nameStart = pos;
        while (pos < text.size()) {
            const char c = text[pos];
            if (isBlank(c) || c == '=' || c == '>' || (c == '/' && pos >= 2)) {
                break;
            }
            ++pos;
        }
        const std::string_view name = text.substr(nameStart, pos - nameStart);
        skip(isBlank);
        std::string_view value;
        if (pos < text.size() && text[pos] == '=') {
            skip([](char c) { return c == ' ' || c == '='; });
            const std::size_t valueStart = pos;
            if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
                const std::size_t quoteEnd = text.find(text[pos], pos + 1);
                pos = quoteEnd == std::string_view::npos ? text.size() : quoteEnd + 1;
            } else {
                skip([](char c) { return !isBlank(c) && c != '>'; });
            }
            value = text.substr(valueStart, pos - valueStart);
        } else if (name.empty()) {
            ++pos;  // a "/" that cannot start a name
            continue;
        }
        if (!name.empty() || !value.empty()) {
            element.appendParsedAttribute(name, value);
        }
    }
}
