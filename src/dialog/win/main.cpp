// Korvane.exe: started by the host with JWC_TEMP.TXT in the tool's folder and the launcher's
// arguments ("1": indicated-points mode; "V": a vertical run). Shows the dialog; when it closes,
// JWC_TEMP.TXT holds the commands for the host, or "hq" when nothing was drawn.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/fpu.hpp"
#include "dialog/controls.hpp"
#include "dialog/tool_run.hpp"
#include "dialog/win/app.hpp"
#include "dialog/win/executable_path.hpp"
#include "dialog/win/form.hpp"
#include "dialog/win/win_text.hpp"
#include "dimension/host_request.hpp"
#include "exchange/command_writer.hpp"
#include "notice_url.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    MyFunc::UseExtendedPrecision();

    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) arguments.push_back(Unit1::WideToCp932(words[i]));
        LocalFree(words);
    }

    const Unit1::ToolFiles files = Unit1::ToolFilesBeside(Unit1::ExecutablePath());
    HWND application =
        Unit1::CreateApplicationWindow(instance, Unit1::Cp932ToWide(Unit1::kApplicationTitle));
    Unit1::TForm1 form;
    if (!Unit1::CreateForm1(form, instance, application, files,
                            Dimension::ReadHostArguments(arguments),
                            Unit1::Cp932ToWide(Unit1::kNoticeUrl))) {
        Unit1::DestroyForm1(form);
        if (application) DestroyWindow(application);
        // Without a dialog nothing can be drawn: say so to the host rather than leave it its
        // own file to execute.
        RidEdaza::WriteCommandFile(RidEdaza::CommandBuffer{},
                                   files.toolFolder / Unit1::kExchangeFileName);
        return 1;
    }
    Unit1::FormShow(form);
    if (form.run.outOfMemory) {
        // The drawing could not be read for want of memory: the box comes before any dialog.
        Unit1::EndForWantOfMemory(form);
        Unit1::DestroyForm1(form);
        if (application) DestroyWindow(application);
        return 0;
    }
    Unit1::AttachApplicationWindow(application, form);
    Unit1::ShowForm1(form);
    const int exitCode = Unit1::RunMessageLoop(form);
    Unit1::DestroyForm1(form);
    if (application) DestroyWindow(application);
    return exitCode;
}
