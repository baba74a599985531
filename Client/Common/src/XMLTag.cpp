#include "common/XMLTag.h"

#include <cstdio>
#include <pugixml.hpp>

namespace {

// Deeper documents are refused: the tree is freed and written recursively,
// and no catalogue comes near this.
constexpr std::size_t kMaxDepth = 512;

void AppendCData(std::string& out, std::string_view text) {
    // A "]]>" inside the text ends one section and starts the next.
    out += "<![CDATA[";
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find("]]>", pos)) != std::string_view::npos; pos = hit + 2) {
        out.append(text.substr(pos, hit + 2 - pos));
        out += "]]><![CDATA[";
    }
    out.append(text.substr(pos));
    out += "]]>";
}

void Write(const XMLTag& tag, std::string& out) {
    out += '<';
    out += tag.Name;
    for (const auto& [name, value] : tag.Attributes) {
        out += ' ';
        out += name;
        out += "=\"";
        out += XmlEscape(value);
        out += '"';
    }
    if (tag.Children.empty() && tag.Content.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    for (const XMLCData& piece : tag.Content) {
        if (piece.IsCData)
            AppendCData(out, piece.Text);
        else
            out += XmlEscape(piece.Text);
    }
    for (const auto& child : tag.Children)
        Write(*child, out);
    out += "</";
    out += tag.Name;
    out += '>';
}

// Copies the element subtree without recursion; false when it is too deep.
bool Convert(pugi::xml_node root, XMLTag& tag) {
    struct Item {
        pugi::xml_node node;
        XMLTag* tag;
        std::size_t depth;
    };
    std::vector<Item> stack{{root, &tag, 1}};
    while (!stack.empty()) {
        Item item = stack.back();
        stack.pop_back();
        if (item.depth > kMaxDepth)
            return false;
        item.tag->Name = item.node.name();
        for (pugi::xml_attribute a : item.node.attributes())
            item.tag->Attributes.emplace_back(a.name(), a.value());
        for (pugi::xml_node child : item.node.children()) {
            switch (child.type()) {
                case pugi::node_element:
                    stack.push_back({child, &item.tag->AddChild({}), item.depth + 1});
                    break;
                case pugi::node_pcdata:
                    item.tag->Content.push_back({child.value(), false});
                    break;
                case pugi::node_cdata:
                    item.tag->Content.push_back({child.value(), true});
                    break;
                default:
                    break;
            }
        }
    }
    return true;
}

}  // namespace

std::string XMLTag::Attribute(std::string_view name, std::string_view def) const {
    for (const auto& [n, v] : Attributes)
        if (n == name)
            return v;
    return std::string(def);
}

bool XMLTag::HasAttribute(std::string_view name) const {
    for (const auto& attr : Attributes)
        if (attr.first == name)
            return true;
    return false;
}

std::string XMLTag::Text() const {
    std::string out;
    for (const XMLCData& piece : Content)
        out += piece.Text;
    return out;
}

const XMLTag* XMLTag::Child(std::string_view name) const {
    for (const auto& c : Children)
        if (c->Name == name)
            return c.get();
    return nullptr;
}

std::vector<const XMLTag*> XMLTag::ChildrenNamed(std::string_view name) const {
    std::vector<const XMLTag*> out;
    for (const auto& c : Children)
        if (c->Name == name)
            out.push_back(c.get());
    return out;
}

XMLTag& XMLTag::AddChild(std::string name) {
    Children.push_back(std::make_unique<XMLTag>());
    Children.back()->Name = std::move(name);
    return *Children.back();
}

void XMLTag::SetAttribute(std::string_view name, std::string_view value) {
    for (auto& [n, v] : Attributes) {
        if (n == name) {
            v = value;
            return;
        }
    }
    Attributes.emplace_back(name, value);
}

std::string XMLTag::ToXml() const {
    std::string out;
    Write(*this, out);
    return out;
}

std::unique_ptr<XMLTag> XMLParser::Parse(std::string_view text) {
    pugi::xml_document doc;
    // UTF-8 mode passes bytes through untouched, so GBK text survives as is.
    pugi::xml_parse_result r =
        doc.load_buffer(text.data(), text.size(),
                        pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_utf8);
    if (!r)
        return nullptr;
    // Exactly one element and nothing else but markup at the top level.
    pugi::xml_node root;
    for (pugi::xml_node n : doc.children()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            return nullptr;
        if (n.type() != pugi::node_element)
            continue;
        if (root)
            return nullptr;
        root = n;
    }
    if (!root)
        return nullptr;
    auto tag = std::make_unique<XMLTag>();
    if (!Convert(root, *tag))
        return nullptr;
    return tag;
}

std::unique_ptr<XMLTag> XMLParser::ParseFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return nullptr;
    std::string text;
    char buf[8192];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
        return nullptr;
    return Parse(text);
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}
