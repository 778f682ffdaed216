// A strict little reader of the pictures' XML for the tests: checks that a document is well
// formed (one root, balanced tags, quoted attributes, known entities, valid UTF-8, no control
// characters) and hands out its elements, so that the same checks run natively and under wine.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace PreviewTest {

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // values unescaped
    std::string text;  // the element's own character data, unescaped
    int parent = -1;   // index in the element list

    // The attribute's value, or an empty text when it is missing.
    std::string Get(std::string_view attribute) const;
    bool Has(std::string_view attribute) const;
};

// False, with the reason, when the document is not well formed.
bool ReadXml(std::string_view document, std::vector<XmlElement>& elements, std::string& error);

// The elements whose class attribute is cls, in document order.
std::vector<const XmlElement*> WithClass(const std::vector<XmlElement>& elements,
                                         std::string_view cls);

// The numbers in an attribute value such as "translate(10 20) rotate(-30)" or "1,2 3,4".
std::vector<double> NumbersIn(std::string_view value);

}  // namespace PreviewTest
