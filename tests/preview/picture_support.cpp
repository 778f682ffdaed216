#include "picture_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "dimension/host_request.hpp"

#include "exchange/drawing_model.hpp"
#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace PreviewTest {

std::string RenderBytes(std::string_view input, std::string_view commands,
                        const Preview::PreviewOptions& options)
{
    TestFiles::TempFolder folder;
    TestFiles::WriteBytes(folder / "input.txt", input);
    TestFiles::WriteBytes(folder / "commands.txt", commands);
    RidEdaza::DrawingModel inputModel;
    RidEdaza::DrawingModel commandModel;
    std::string problem;
    EXPECT_TRUE(Preview::LoadPreviewModels(folder / "input.txt", folder / "commands.txt",
                                           inputModel, commandModel, problem))
        << problem;
    return Preview::RenderPreviewSvg(inputModel, commandModel, options);
}

std::string RenderExample(std::string_view example, const Preview::PreviewOptions& options)
{
    const std::string name(example);
    // An example run vertically or both ways says so among its arguments, as the host's
    // launcher does.
    Preview::PreviewOptions asRun = options;
    const fs::path args = TestFiles::SourcePath("examples/" + name + "/args");
    std::vector<std::string> words;
    if (fs::exists(args)) {
        std::istringstream lines(TestFiles::ReadBytes(args));
        for (std::string word; std::getline(lines, word);) {
            if (!word.empty() && word.back() == '\r') word.pop_back();
            words.push_back(word);
        }
    }
    asRun.runs = Dimension::ReadHostArguments(words).runs;
    return RenderBytes(
        TestFiles::ReadBytes(TestFiles::SourcePath("examples/" + name + "/JWC_TEMP.TXT")),
        TestFiles::ReadBytes(
            TestFiles::SourcePath("tests/golden/expected/examples/" + name + "/JWC_TEMP.TXT")),
        asRun);
}

namespace {

// Numeric attributes hold numbers, separators and the names of SVG transforms and path commands,
// nothing else (no "nan", no "inf").
bool PlainNumbers(std::string value)
{
    for (const char* word : {"translate", "rotate", "scale"}) {
        for (std::size_t at = value.find(word); at != std::string::npos; at = value.find(word)) {
            value.erase(at, std::string_view(word).size());
        }
    }
    return value.find_first_not_of("0123456789.-, ()MLVH") == std::string::npos;
}

}  // namespace

std::vector<XmlElement> CheckedPicture(const std::string& svg)
{
    std::vector<XmlElement> elements;
    std::string error;
    EXPECT_TRUE(ReadXml(svg, elements, error)) << error;
    if (elements.empty()) return elements;
    EXPECT_EQ(elements.front().name, "svg");
    const std::vector<double> size = NumbersIn(elements.front().Get("viewBox"));
    EXPECT_EQ(size.size(), 4u);
    if (size.size() != 4) return elements;
    const double width = size[2];
    const double height = size[3];

    for (const XmlElement& element : elements) {
        const bool label = element.Get("class") == "label";
        for (const auto& [name, value] : element.attributes) {
            const bool isX = name == "x" || name == "x1" || name == "x2" || name == "cx";
            const bool isY = name == "y" || name == "y1" || name == "y2" || name == "cy";
            const bool numeric = isX || isY || name == "r" || name == "points" || name == "d" ||
                                 name == "transform" || name == "font-size" || name == "width" ||
                                 name == "height" || name == "viewBox" || name == "stroke-width";
            if (!numeric) continue;
            SCOPED_TRACE(element.name + " " + name + "=\"" + value + "\"");
            EXPECT_TRUE(PlainNumbers(value));
            const std::vector<double> numbers = NumbersIn(value);
            for (const double v : numbers) EXPECT_TRUE(std::isfinite(v));
            if (label) continue;
            if (isX) {
                EXPECT_TRUE(numbers.size() == 1 && numbers[0] >= 0 && numbers[0] <= width);
            }
            if (isY) {
                EXPECT_TRUE(numbers.size() == 1 && numbers[0] >= 0 && numbers[0] <= height);
            }
            if (name == "points") {
                EXPECT_EQ(numbers.size() % 2, 0u);
                for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
                    EXPECT_TRUE(numbers[i] >= 0 && numbers[i] <= width);
                    EXPECT_TRUE(numbers[i + 1] >= 0 && numbers[i + 1] <= height);
                }
            }
            if (name == "transform" && element.name == "text") {
                EXPECT_TRUE(numbers.size() == 5 && numbers[0] >= 0 && numbers[0] <= width &&
                            numbers[1] >= 0 && numbers[1] <= height);
            }
            if (name == "r" || name == "font-size") {
                EXPECT_TRUE(numbers.size() == 1 && numbers[0] >= 0);
            }
        }
    }
    return elements;
}

void ExpectAttributes(const XmlElement& element, std::initializer_list<Attribute> expected)
{
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(element.Get(name), value) << element.name << " " << name;
    }
}

}  // namespace PreviewTest
