#pragma once

// Reads a markup fragment into the children of an element: texts, comments, CDATA sections and elements
// with their attributes. It is forgiving rather than strict: an element without a matching end tag keeps
// its start tag only, and only a comment or CDATA section left open stops the parse.

#include <string_view>

class CVXMLElement;

class CVXMLFragmentParser final {
public:
    // Appends the nodes of the fragment to `parent`. False when a comment or CDATA section is not closed
    // (the text from there on is dropped).
    static bool parse(CVXMLElement& parent, std::string_view fragment);

private:
    explicit CVXMLFragmentParser(CVXMLElement& parent) : m_parent(parent) {}

    bool parseAll(std::string_view text);
    // Each reader takes its node off the front of `text` and appends it; false for an unclosed section.
    bool readDelimited(std::string_view& text, std::string_view open, std::string_view close);
    void readElement(std::string_view& text);

    // The source of the element at the front of `text`: up to its matching end tag, or up to the first ">"
    // when there is none.
    static std::string_view elementSource(std::string_view text);
    static bool buildElement(CVXMLElement& parent, std::string_view source);
    static void readAttributes(CVXMLElement& element, std::string_view text);

    CVXMLElement& m_parent;
};
