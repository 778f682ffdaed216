#include "dialog/settings_file.hpp"

#include <array>
#include <fstream>
#include <new>
#include <string>
#include <string_view>
#include <system_error>

#include "common/text.hpp"
#include "dialog/controls.hpp"

namespace Unit1 {
namespace {

// The lines every file holds, and the one more a file holds when the arrangement is not the
// chain (item 0). A chain's file stays byte for byte what versions before the arrangements
// wrote, and those versions read a file with line 28 as they always did: past line 27 they
// read nothing.
constexpr std::size_t kLineCount = 27;
constexpr std::size_t kArrangementLine = 28;

// Lines 1 and 2 hold the window's top-left; every other line belongs to the control whose row of
// the controls table gives its number, so one table serves both reading and writing.
constexpr std::array<std::int32_t DialogState::*, 2> kPositionLines = {
    &DialogState::SavedLeft, &DialogState::SavedTop};

// The control of the line at this 0-based index; nullptr for none (the position lines).
const ControlSpec* ControlOfLine(std::size_t index)
{
    for (const ControlSpec& control : DialogControls()) {
        if (static_cast<std::size_t>(control.value.settingsLine) == index + 1) return &control;
    }
    return nullptr;
}

void ApplyLine(DialogState& state, std::size_t index, std::string_view text)
{
    if (index < kPositionLines.size()) {
        state.*kPositionLines[index] = MyFunc::TextToIntOrZero(text);
        return;
    }
    const ControlSpec* control = ControlOfLine(index);
    if (!control) return;
    const StateField& field = control->value.state;
    if (field.text) {
        state.*field.text = std::string(text);
    } else if (field.checked) {
        state.*field.checked = MyFunc::TextToIntOrZero(text) != 0;
    } else if (field.index) {
        ApplyItemIndex(state, *control, MyFunc::TextToIntOrZero(text));
    }
}

void AppendLine(std::string& bytes, const DialogState& state, std::size_t index)
{
    if (index < kPositionLines.size()) {
        bytes += std::to_string(state.*kPositionLines[index]);
    } else if (const ControlSpec* control = ControlOfLine(index)) {
        const StateField& field = control->value.state;
        if (field.text) bytes += state.*field.text;
        if (field.checked) bytes += state.*field.checked ? "1" : "0";
        if (field.index) bytes += std::to_string(state.*field.index);
    }
    bytes += "\r\n";
}

// Writes the bytes as the whole file at this path (created, or truncated if it is there); false
// when opening, writing, flushing or closing fails. `ours` tells whether the path may now hold a
// file of ours for a failed save to remove: not when it could not be opened (a folder, say).
bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes, bool& ours)
{
    // Set before opening: allocating the stream's buffer can fail after the file was made.
    ours = true;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        ours = false;
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();  // flushes; a failed flush or close sets failbit
    return !out.fail();
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
    while (applied < kArrangementLine && std::getline(in, text)) {
        // Only an LF ends a line; the CR of a CR LF pair is not part of the value.
        if (!in.eof() && !text.empty() && text.back() == '\r') text.pop_back();
        ApplyLine(state, applied, text);
        ++applied;
    }
    // After a read error the remaining controls keep what they had; at the end of a short file
    // the missing lines count as empty.
    if (in.bad()) return;
    for (; applied < kArrangementLine; ++applied) ApplyLine(state, applied, "");
}

bool SaveSettings(const DialogState& state, const std::filesystem::path& path)
{
    std::filesystem::path temporary;
    bool temporaryIsOurs = false;
    try {
        std::string bytes;
        for (std::size_t index = 0; index < kLineCount; ++index) AppendLine(bytes, state, index);
        if (state.ComboBox6 != 0) AppendLine(bytes, state, kArrangementLine - 1);
        temporary = path;
        temporary += ".tmp";
        if (WriteWholeFile(temporary, bytes, temporaryIsOurs)) {
            // One step: a reader sees the old file or the new one, never a part of either.
            std::error_code error;
            std::filesystem::rename(temporary, path, error);
            if (!error) return true;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory is one more way for the save to fail; the old settings stay.
    }
    if (temporaryIsOurs) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return false;
}

}  // namespace Unit1
