#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "export/CExportFileWriter.h"
#include "export/CVXMLCDATASection.h"
#include "export/CVXMLComment.h"
#include "export/CVXMLDocument.h"
#include "export/CVXMLElement.h"
#include "export/CVXMLTextNode.h"
#include "export/XmlEscape.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"

namespace {

// Markup of a node in the indented layout from depth 0, as both exporters write it.
std::string indented(const CVXMLNode& node) {
    CVXMLNode::setLayoutMode(XMLLayout::Indented);
    CVXMLNode::setDepth(0);
    return node.toMarkup();
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(CVXMLModel, NodesReportTheirTypesNamesAndTexts) {
    CVXMLElement parent("p");
    parent.appendChild(std::make_unique<CVXMLTextNode>("a"));
    parent.appendChild(std::make_unique<CVXMLComment>("note"));
    parent.appendChild(std::make_unique<CVXMLCDATASection>("b<c"));
    EXPECT_EQ(parent.text(), "ab<c");
    EXPECT_EQ(parent.firstChild()->name(), "#text");
    EXPECT_EQ(parent.firstChild()->nextSibling()->nodeType(), XMLNodeType::Comment);
    EXPECT_EQ(parent.lastChild()->name(), "#cdata-section");
    EXPECT_EQ(parent.lastChild()->previousSibling()->name(), "#comment");
    EXPECT_EQ(parent.lastChild()->parent(), &parent);
    CVXMLNode::setLayoutMode(XMLLayout::Flat);
    EXPECT_EQ(parent.toMarkup(), "<p>a<!--note--><![CDATA[b<c]]></p>");
    EXPECT_EQ(CVXMLDocument().nodeType(), XMLNodeType::Document);
    EXPECT_EQ(CVXMLDocument().name(), "");

    // Appending an existing child moves it to the end; a node from another tree moves over.
    parent.appendChild(parent.firstChild());
    EXPECT_EQ(parent.toMarkup(), "<p><!--note--><![CDATA[b<c]]>a</p>");
    CVXMLElement other("q");
    other.appendChild(parent.firstChild());
    EXPECT_EQ(parent.children().size(), 2u);
    EXPECT_EQ(other.toMarkup(), "<q><!--note--></q>");
    EXPECT_EQ(parent.appendChild(&parent), nullptr);

    // A clone is deep: changing the copy leaves the original alone.
    parent.setAttribute("id", "7");
    auto copy = parent.clone();
    static_cast<CVXMLElement&>(*copy).setAttribute("id", "8");
    copy->firstChild()->setContent("changed");
    EXPECT_EQ(parent.toMarkup(), "<p id=\"7\"><![CDATA[b<c]]>a</p>");
    EXPECT_EQ(copy->toMarkup(), "<p id=\"8\"><![CDATA[changed]]>a</p>");
}

TEST(CVXMLModel, SetAttributeStripsQuotesAndAnEmptyValueRemoves) {
    CVXMLElement element("attr");
    element.setAttribute("name", "'\"genre\"'");
    element.setAttribute("b", "x");
    element.setAttribute("name", "\"'kind'\"");
    CVXMLNode::setLayoutMode(XMLLayout::Flat);
    EXPECT_EQ(element.toMarkup(), "<attr name=\"'kind'\" b=\"x\" />");
    element.setAttribute("name", "\"\"");
    EXPECT_EQ(element.attribute("name"), nullptr);
    element.setAttribute("b", "");
    element.setAttribute("Name", "");
    EXPECT_TRUE(element.attributes().empty());
    // A plain-text value is kept exactly and escaped when written.
    element.setAttributeText("name", "\"a&b<c>'");
    EXPECT_EQ(element.attribute("name")->value(), "\"a&b<c>'");
    EXPECT_EQ(element.toMarkup(), "<attr name=\"&quot;a&amp;b&lt;c&gt;'\" />");
    element.setAttributeText("name", "");
    EXPECT_EQ(element.toMarkup(), "<attr />");
}

TEST(CVXMLModel, SetContentParsesMarkupAndKeepsItsLayout) {
    CVXMLElement title("title");
    title.setContent("plain text");
    ASSERT_EQ(title.children().size(), 1u);
    EXPECT_EQ(indented(title), "<title>plain text</title>");
    title.setContent("a & b");
    EXPECT_EQ(indented(title), "<title>a & b</title>");

    // Text, an element without end tag and text: the element goes on a line of its own, the end tag
    // follows the last text.
    CVXMLElement root("root");
    auto item = std::make_unique<CVXMLElement>("item");
    EXPECT_TRUE(item->setContent("x<b>y"));
    ASSERT_EQ(item->children().size(), 3u);
    EXPECT_FALSE(static_cast<CVXMLElement*>(item->children().at(1))->hasEndTag());
    root.appendChild(std::move(item));
    EXPECT_EQ(indented(root), "<root>\r\n\t<item>x\r\n\t\t<b />y</item>\r\n</root>");
    EXPECT_EQ(CVXMLNode::depth(), 0);

    // Nested elements of the same name, case-insensitive end tags, comments, CDATA and attributes.
    CVXMLElement cell("td");
    EXPECT_TRUE(
        cell.setContent("<a href='x.html' checked id=3><A>in</a></A><!--c--><![CDATA[<z>]]><%  sub %>"));
    ASSERT_EQ(cell.children().size(), 4u);
    const auto& outer = static_cast<const CVXMLElement&>(*cell.firstChild());
    EXPECT_EQ(outer.name(), "a");
    ASSERT_EQ(outer.attributes().size(), 3u);
    EXPECT_EQ(outer.attributes()[0]->value(), "x.html");
    EXPECT_EQ(outer.attributes()[1]->name(), "checked");
    EXPECT_EQ(outer.attributes()[1]->value(), "");
    EXPECT_EQ(outer.attribute("id")->value(), "3");
    EXPECT_EQ(outer.text(), "in");
    EXPECT_EQ(cell.text(), "in<z>");
    EXPECT_EQ(cell.lastChild()->name(), "sub");
    CVXMLNode::setLayoutMode(XMLLayout::Flat);
    EXPECT_EQ(cell.toMarkup(),
              "<td><a href=\"x.html\" checked id=\"3\"><A>in</A></a><!--c--><![CDATA[<z>]]><sub /></td>");
    CVXMLNode::setLayoutMode(XMLLayout::LineBreaks);
    EXPECT_EQ(
        cell.toMarkup(),
        "<td>\r\n<a href=\"x.html\" checked id=\"3\">\r\n<A>in</A>\r\n</a><!--c--><![CDATA[<z>]]>\r\n<sub />"
        "\r\n</td>");

    // A comment or CDATA section left open ends the parse with failure and drops the rest.
    EXPECT_FALSE(cell.setContent("a<!-- open <b>c</b>"));
    EXPECT_EQ(cell.children().size(), 1u);
    EXPECT_FALSE(cell.setContent("<i><![CDATA[ open</i>z"));
    EXPECT_EQ(cell.text(), "z");
    EXPECT_TRUE(cell.setContent("<br/>"));
    EXPECT_EQ(cell.firstChild()->name(), "br");

    // A plain text is never read as markup.
    cell.setText("<b>&amp;</b>");
    ASSERT_EQ(cell.children().size(), 1u);
    EXPECT_EQ(cell.text(), "<b>&amp;</b>");
    EXPECT_EQ(indented(cell), "<td>&lt;b&gt;&amp;amp;&lt;/b&gt;</td>");
    cell.setText("");
    EXPECT_EQ(indented(cell), "<td />");
}

TEST(CVXMLModel, DocumentIsWrittenAsUtf8WithCrLfAndFailuresAreShown) {
    const CTempFolder temp;
    const std::filesystem::path folder = temp.path();
    CRecordingUserInterface ui;
    CVXMLDocument document;
    document.appendChild(document.createElement("quillory"));
    CVXMLNode::setLayoutMode(XMLLayout::Indented);
    CVXMLNode::setDepth(3);
    EXPECT_EQ(document.toMarkup(), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<quillory />");
    CVXMLNode::setLayoutMode(XMLLayout::Flat);
    EXPECT_EQ(document.toMarkup(), "<?xml version=\"1.0\" encoding=\"utf-8\" ?><quillory />");

    document.documentRoot()->setText("日本語 é");
    CVXMLNode::setLayoutMode(XMLLayout::Indented);
    const auto path = folder / "out.xml";
    ASSERT_TRUE(document.writeToFile(path.string()));
    EXPECT_EQ(readFile(path), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<quillory>日本語 é</quillory>");
    EXPECT_TRUE(ui.shown().empty());

    const std::string missing = (folder / "no" / "out.xml").string();
    EXPECT_FALSE(document.writeToFile(missing));
    // A small document fails when its buffer is flushed at closing, a large one while it is written.
    EXPECT_FALSE(document.writeToFile("/dev/full"));
    document.documentRoot()->setText(std::string(1 << 20, 'x'));
    EXPECT_FALSE(document.writeToFile("/dev/full"));
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"ファイルのオープンに失敗しました:" + missing,
                                                    "ファイルのクローズに失敗しました:/dev/full",
                                                    "ファイルの書込に失敗しました:/dev/full"}));
}

TEST(XmlEscape, BytesThatXmlCannotHoldBecomeReplacementCharacters) {
    std::string out;
    appendEscapedXmlText(out, std::string("a\x01\tb\xff\xc3(\xef\xbf\xbe\"'\r\n", 14));
    EXPECT_EQ(out, "a\xEF\xBF\xBD\tb\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\"'\r\n");
    out.clear();
    appendEscapedXmlAttribute(out, "😀 ＆\"");
    EXPECT_EQ(out, "😀 ＆&quot;");
}
