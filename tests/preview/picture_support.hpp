// Helpers of the picture tests: render from exchange-file bytes through the real reader, and the
// checks every picture must pass.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "preview/preview.hpp"
#include "svg_reader.hpp"

namespace PreviewTest {

// Writes both files into a private folder, reads them with LoadPreviewModels and renders.
std::string RenderBytes(std::string_view input, std::string_view commands,
                        const Preview::PreviewOptions& options = {});

// A bundled example's exchange file with the reviewed command file of its whole run
// (tests/golden/expected/examples/<example>/), rendered.
std::string RenderExample(std::string_view example, const Preview::PreviewOptions& options);

// The parsed picture; fails the calling test when it is not well formed or any coordinate is
// not a finite number inside the picture (labels only need to be finite).
std::vector<XmlElement> CheckedPicture(const std::string& svg);

// Each listed attribute of `element` has the value beside it; a failure names the attribute.
using Attribute = std::pair<std::string_view, std::string_view>;
void ExpectAttributes(const XmlElement& element, std::initializer_list<Attribute> expected);

}  // namespace PreviewTest
