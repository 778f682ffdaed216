// Program entry of korvane-cli: collects the arguments as UTF-8 and the program's own path.
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.hpp"
#include "common/fpu.hpp"

#ifdef _WIN32
#include "dialog/win/executable_path.hpp"

namespace {

std::string Utf8FromWide(const wchar_t* text)
{
    const std::filesystem::path path(text);
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    MyFunc::UseExtendedPrecision();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8FromWide(argv[i]));
    return Cli::RunCli(args, Unit1::ExecutablePath(), std::cout, std::cerr);
}

#else

int main(int argc, char** argv)
{
    MyFunc::UseExtendedPrecision();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) executable = std::filesystem::absolute(argv[0], error);
    return Cli::RunCli(args, executable, std::cout, std::cerr);
}

#endif
