// The settings loader on arbitrary bytes: the file users edit by hand and copy between machines.
//
// Besides the sanitizers: every drop-down list ends on an item or on no selection, every radio
// group on an item; the checks of OK run on whatever was loaded; when they pass, the file OK
// saves from the loaded dialog (after giving a list the arrangement leaves unused its first item,
// as OK does) is 27 lines ended by CR LF (28 when the arrangement is not the chain), and loading
// and saving it again gives the same bytes (a setting survives any number of runs unchanged).
#include <string>
#include <string_view>

#include "dialog/controls.hpp"
#include "dialog/dialog_state.hpp"
#include "dialog/settings_file.hpp"
#include "dimension/settings.hpp"
#include "exchange/drawing_model.hpp"
#include "fuzz_support.hpp"

namespace {

Unit1::DialogState FreshDialog()
{
    Unit1::DialogState dialog = Unit1::DefaultDialogState();
    dialog.ComboBox3Items = Unit1::TextKindItems(RidEdaza::DrawingState{});
    return dialog;
}

void CheckSelections(const Unit1::DialogState& dialog)
{
    for (const Unit1::ControlSpec& control : Unit1::DialogControls()) {
        const Unit1::StateField field = Unit1::FieldOf(control.name);
        if (!field.index) continue;
        const std::int32_t index = dialog.*field.index;
        const std::int32_t count = Unit1::ItemCount(dialog, control);
        const std::int32_t lowest = control.kind == Unit1::ControlKind::RadioGroup ? 0 : -1;
        if (index < lowest || index >= count) {
            Fuzz::Fail("a loaded selection is not one of the control's items",
                       std::string(control.name) + " = " + std::to_string(index));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path path = Fuzz::ScratchFolder() / "Korvane.dat";
    Fuzz::WriteWholeFile(path, bytes);

    Unit1::DialogState dialog = FreshDialog();
    Unit1::LoadSettings(dialog, path);
    CheckSelections(dialog);
    // The file is saved only once OK has accepted the values, so a saved file never holds a
    // list without a selection.
    if (Dimension::FirstInvalidSetting(Unit1::ReadDimensionSettings(dialog)) !=
        Dimension::SettingControl::None) {
        return 0;
    }

    Unit1::SelectFirstItemOfUnusedEmptyLists(dialog);
    if (!Unit1::SaveSettings(dialog, path)) Fuzz::Fail("the settings file could not be saved");
    const std::string saved = Fuzz::ReadWholeFile(path);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i] != '\n') continue;
        if (i == 0 || saved[i - 1] != '\r') Fuzz::Fail("a saved line does not end in CR LF");
        ++lineEnds;
    }
    const std::size_t lines = dialog.ComboBox6 == 0 ? 27 : 28;
    if (lineEnds != lines || saved.back() != '\n') {
        Fuzz::Fail("the saved file is not 27 lines, or 28 for an arrangement other than the "
                   "chain", Fuzz::Printable(saved));
    }

    Unit1::DialogState again = FreshDialog();
    Unit1::LoadSettings(again, path);
    if (!Unit1::SaveSettings(again, path)) Fuzz::Fail("the settings file could not be saved");
    if (Fuzz::ReadWholeFile(path) != saved) {
        Fuzz::Fail("loading and saving the saved file changed it", Fuzz::Printable(saved));
    }
    return 0;
}
