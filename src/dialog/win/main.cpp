// Korvane.exe: started by the host with JWC_TEMP.TXT in the tool's folder and the launcher's
// arguments ("1": indicated-points mode; "V": a vertical run). Shows the dialog; when it closes,
// JWC_TEMP.TXT holds the commands for the host, or "hq" when nothing was drawn.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/fpu.hpp"
#include "dialog/tool_run.hpp"
#include "dialog/win/app.hpp"
#include "dialog/win/executable_path.hpp"
#include "dialog/win/win_text.hpp"
#include "dimension/host_request.hpp"
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

    const Unit1::ProgramStart start{instance,
                                    Unit1::ToolFilesBeside(Unit1::ExecutablePath()),
                                    Dimension::ReadHostArguments(arguments),
                                    Unit1::Cp932ToWide(Unit1::kNoticeUrl)};
    return Unit1::RunProgram(start);
}
