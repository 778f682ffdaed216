#include "dialog/settings_file.hpp"

#include <array>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "common/text.hpp"
#include "dialog/controls.hpp"

namespace Unit1 {
namespace {

// One line of the file: a control of the dialog, or one of the window's coordinates.
struct SettingsLine {
    std::string_view control;
    std::int32_t DialogState::*position = nullptr;
};

constexpr std::array<SettingsLine, 27> kLines = {{
    {"", &DialogState::SavedLeft},
    {"", &DialogState::SavedTop},
    {"ComboBox1"}, {"ComboBox2"}, {"ComboBox3"}, {"ComboBox4"}, {"ComboBox5"},
    {"Edit1"}, {"Edit2"}, {"Edit3"}, {"Edit4"}, {"Edit5"}, {"Edit6"}, {"Edit7"}, {"Edit8"},
    {"RadioGroup1"}, {"RadioGroup2"},
    {"CheckBox1"}, {"CheckBox2"}, {"CheckBox3"}, {"CheckBox4"},
    {"RadioGroup3"},
    {"CheckBox5"}, {"CheckBox6"}, {"CheckBox7"}, {"CheckBox8"}, {"CheckBox9"},
}};

void ApplyLine(DialogState& state, const SettingsLine& line, std::string_view text)
{
    if (line.position) {
        state.*line.position = MyFunc::TextToIntOrZero(text);
        return;
    }
    const StateField field = FieldOf(line.control);
    if (field.text) {
        state.*field.text = std::string(text);
    } else if (field.checked) {
        state.*field.checked = MyFunc::TextToIntOrZero(text) != 0;
    } else if (field.index) {
        ApplyItemIndex(state, *FindControl(line.control), MyFunc::TextToIntOrZero(text));
    }
}

void AppendLine(std::string& bytes, const DialogState& state, const SettingsLine& line)
{
    if (line.position) {
        bytes += std::to_string(state.*line.position);
    } else {
        const StateField field = FieldOf(line.control);
        if (field.text) bytes += state.*field.text;
        if (field.checked) bytes += state.*field.checked ? "1" : "0";
        if (field.index) bytes += std::to_string(state.*field.index);
    }
    bytes += "\r\n";
}

}  // namespace

void LoadSettings(DialogState& state, const std::filesystem::path& path)
{
    state.SavedLeft = 100;
    state.SavedTop = 100;

    std::ifstream in(path, std::ios::binary);
    if (!in) return;

    std::string text;
    std::size_t applied = 0;
    while (applied < kLines.size() && std::getline(in, text)) {
        // Only an LF ends a line; the CR of a CR LF pair is not part of the value.
        if (!in.eof() && !text.empty() && text.back() == '\r') text.pop_back();
        ApplyLine(state, kLines[applied], text);
        ++applied;
    }
    // After a read error the remaining controls keep what they had; at the end of a short file
    // the missing lines count as empty.
    if (in.bad()) return;
    for (; applied < kLines.size(); ++applied) ApplyLine(state, kLines[applied], "");
}

bool SaveSettings(const DialogState& state, const std::filesystem::path& path)
{
    std::string bytes;
    for (const SettingsLine& line : kLines) AppendLine(bytes, state, line);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out.fail()) return true;

    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

}  // namespace Unit1
