#pragma once

// Escaping of plain texts for XML and HTML output, so that any text, whatever it holds, gives well-formed
// markup that reads back as the same text.
//
// "&", "<" and ">" become entity references, and in attribute values also the double quote. Bytes that
// cannot appear in an XML document at all (control characters other than tab, line feed and carriage
// return, bytes that are not valid UTF-8, U+FFFE and U+FFFF) become U+FFFD. Every other byte is copied, so
// a text without those characters is written exactly as it is.

#include <string>
#include <string_view>

// Appends the text as character data of an element.
void appendEscapedXmlText(std::string& out, std::string_view text);
// Appends the text as an attribute value written between double quotes.
void appendEscapedXmlAttribute(std::string& out, std::string_view text);
