#include "svg_reader.hpp"

#include <charconv>
#include <cstddef>

namespace PreviewTest {
namespace {

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '_' || c == ':' || c == '.';
}

bool ValidUtf8(std::string_view s, std::string& error)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t length = 1;
        if (b < 0x80) {
            if (b < 0x20 && b != '\n' && b != '\r' && b != '\t') {
                error = "control character at " + std::to_string(i);
                return false;
            }
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
        } else {
            error = "bad UTF-8 lead byte at " + std::to_string(i);
            return false;
        }
        if (i + length > s.size()) {
            error = "UTF-8 cut at the end";
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                error = "bad UTF-8 continuation at " + std::to_string(i + k);
                return false;
            }
        }
        i += length;
    }
    return true;
}

// Character data or an attribute value: entities must be known; '<' may not appear.
bool Unescape(std::string_view s, std::string& out, std::string& error)
{
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '<') {
            error = "raw '<' in text";
            return false;
        }
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const std::size_t end = s.find(';', i);
        if (end == std::string_view::npos) {
            error = "unterminated entity";
            return false;
        }
        const std::string_view entity = s.substr(i + 1, end - i - 1);
        if (entity == "amp") out += '&';
        else if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else {
            error = "unknown entity &" + std::string(entity) + ";";
            return false;
        }
        i = end;
    }
    return true;
}

}  // namespace

std::string XmlElement::Get(std::string_view attribute) const
{
    for (const auto& entry : attributes) {
        if (entry.first == attribute) return entry.second;
    }
    return {};
}

bool XmlElement::Has(std::string_view attribute) const
{
    for (const auto& entry : attributes) {
        if (entry.first == attribute) return true;
    }
    return false;
}

bool ReadXml(std::string_view doc, std::vector<XmlElement>& elements, std::string& error)
{
    elements.clear();
    if (!ValidUtf8(doc, error)) return false;
    std::size_t i = 0;
    if (doc.substr(0, 5) == "<?xml") {
        i = doc.find("?>");
        if (i == std::string_view::npos) {
            error = "unterminated declaration";
            return false;
        }
        i += 2;
    }
    std::vector<int> open;
    int roots = 0;
    std::string text;
    while (i < doc.size()) {
        const std::size_t lt = doc.find('<', i);
        const std::string_view data = doc.substr(i, lt == std::string_view::npos ? doc.npos : lt - i);
        if (!Unescape(data, text, error)) return false;
        if (open.empty()) {
            if (text.find_first_not_of(" \n\r\t") != std::string::npos) {
                error = "text outside the root";
                return false;
            }
        } else {
            elements[static_cast<std::size_t>(open.back())].text += text;
        }
        if (lt == std::string_view::npos) break;
        i = lt + 1;
        if (i < doc.size() && doc[i] == '/') {
            std::size_t end = ++i;
            while (end < doc.size() && IsNameChar(doc[end])) ++end;
            const std::string_view name = doc.substr(i, end - i);
            if (end >= doc.size() || doc[end] != '>') {
                error = "bad closing tag";
                return false;
            }
            if (open.empty() || elements[static_cast<std::size_t>(open.back())].name != name) {
                error = "closing tag </" + std::string(name) + "> does not match";
                return false;
            }
            open.pop_back();
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < doc.size() && IsNameChar(doc[end])) ++end;
        if (end == i) {
            error = "bad tag at " + std::to_string(i);
            return false;
        }
        XmlElement element;
        element.name = std::string(doc.substr(i, end - i));
        element.parent = open.empty() ? -1 : open.back();
        if (open.empty() && ++roots > 1) {
            error = "more than one root";
            return false;
        }
        i = end;
        bool selfClosing = false;
        for (;;) {
            while (i < doc.size() && (doc[i] == ' ' || doc[i] == '\n')) ++i;
            if (i >= doc.size()) {
                error = "unterminated tag";
                return false;
            }
            if (doc[i] == '>') {
                ++i;
                break;
            }
            if (doc.substr(i, 2) == "/>") {
                i += 2;
                selfClosing = true;
                break;
            }
            std::size_t nameEnd = i;
            while (nameEnd < doc.size() && IsNameChar(doc[nameEnd])) ++nameEnd;
            if (nameEnd == i || doc.substr(nameEnd, 2) != "=\"") {
                error = "bad attribute in <" + element.name + ">";
                return false;
            }
            const std::size_t valueEnd = doc.find('"', nameEnd + 2);
            if (valueEnd == std::string_view::npos) {
                error = "unterminated attribute";
                return false;
            }
            std::string name(doc.substr(i, nameEnd - i));
            if (element.Has(name)) {
                error = "attribute " + name + " twice";
                return false;
            }
            std::string value;
            if (!Unescape(doc.substr(nameEnd + 2, valueEnd - nameEnd - 2), value, error)) {
                return false;
            }
            element.attributes.emplace_back(std::move(name), std::move(value));
            i = valueEnd + 1;
            if (i < doc.size() && doc[i] != ' ' && doc[i] != '\n' && doc[i] != '>' &&
                doc[i] != '/') {
                error = "no blank between attributes";
                return false;
            }
        }
        elements.push_back(std::move(element));
        if (!selfClosing) open.push_back(static_cast<int>(elements.size() - 1));
    }
    if (!open.empty()) {
        error = "unclosed <" + elements[static_cast<std::size_t>(open.back())].name + ">";
        return false;
    }
    if (roots != 1) {
        error = "no root element";
        return false;
    }
    return true;
}

std::vector<const XmlElement*> WithClass(const std::vector<XmlElement>& elements,
                                         std::string_view cls)
{
    std::vector<const XmlElement*> found;
    for (const XmlElement& element : elements) {
        if (element.Get("class") == cls) found.push_back(&element);
    }
    return found;
}

std::vector<double> NumbersIn(std::string_view value)
{
    std::vector<double> numbers;
    std::size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
            double number = 0.0;
            const auto [end, error] = std::from_chars(value.data() + i, value.data() + value.size(),
                                                      number);
            if (error == std::errc()) {
                numbers.push_back(number);
                i = static_cast<std::size_t>(end - value.data());
                continue;
            }
        }
        ++i;
    }
    return numbers;
}

}  // namespace PreviewTest
