// The tag tree the catalogue files are read through: a whole text parsed into
// nested tags with names, ordered attributes, child tags and text or
// character-data content. A text that does not parse gives no tree at all.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Character data of a tag: plain text or a CDATA section, in document order.
struct XMLCData {
    std::string Text;
    bool IsCData = false;
};

class XMLTag {
public:
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attributes;  // in order
    std::vector<std::unique_ptr<XMLTag>> Children;
    std::vector<XMLCData> Content;  // text and CDATA pieces directly inside

    // Attribute value, or `def` when the tag has none by that name
    // (names compared exactly).
    std::string Attribute(std::string_view name, std::string_view def = {}) const;
    bool HasAttribute(std::string_view name) const;
    // The concatenated content pieces.
    std::string Text() const;
    // First direct child with this name, or nullptr.
    const XMLTag* Child(std::string_view name) const;
    std::vector<const XMLTag*> ChildrenNamed(std::string_view name) const;

    XMLTag& AddChild(std::string name);
    void SetAttribute(std::string_view name, std::string_view value);

    // Writes the tag and its children. &, ', ", <, > are escaped as &amp;,
    // &apos;, &quot;, &lt;, &gt;; a tag without children and content closes
    // with "/>"; CDATA pieces are written as CDATA sections.
    std::string ToXml() const;
};

class XMLParser {
public:
    // The root element of `text`, or nullptr when the text does not parse.
    // Text is kept in the encoding it arrives in (UTF-8 or GBK bytes).
    static std::unique_ptr<XMLTag> Parse(std::string_view text);
    static std::unique_ptr<XMLTag> ParseFile(const std::string& path);
};

std::string XmlEscape(std::string_view text);
