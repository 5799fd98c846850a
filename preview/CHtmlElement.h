#pragma once

#include <QString>

#include <vector>

// One HTML start tag built from text, with an ordered list of attributes: the element the media page embeds.
// Attribute values are HTML-escaped when rendered, so a file name can never end the tag or start a script.
class CHtmlElement final {
public:
    struct Attribute {
        QString name;
        QString value;
    };

    // Builds from a tag text such as "<EMBED>" or "<BR/>": the name is the text between "<" and the first
    // blank, "/" or ">"; a "/" right before the closing ">" makes the element self-closing.
    explicit CHtmlElement(const QString& tagText);

    // Looks the name up ignoring case. An empty value, or one that is exactly two double quotes, removes the
    // attribute; any other value replaces the old one or is appended at the end, with single and double
    // quotes trimmed from both ends.
    void setAttribute(const QString& name, const QString& value);

    // "<NAME A="v" B>" (a value-less attribute renders as its name alone), or "<NAME ... />" when self-closing.
    QString render() const;
    // "</NAME>": the end tag that elements with content (video, audio) need.
    QString renderEndTag() const;

    const QString& tagName() const { return m_tagName; }
    bool selfClosing() const { return m_selfClosing; }
    const std::vector<Attribute>& attributes() const { return m_attributes; }

    // Text made safe to place in HTML content or in a double-quoted attribute value.
    static QString escape(const QString& text);

private:
    QString m_tagName;
    std::vector<Attribute> m_attributes;
    bool m_selfClosing = false;
};
