// Program entry of korvane-preview: the arguments as paths, so that any file name works on
// every target.
#include <filesystem>
#include <iostream>
#include <vector>

#include "common/fpu.hpp"
#include "preview/preview.hpp"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    MyFunc::UseExtendedPrecision();
    std::vector<std::filesystem::path> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return Preview::RunPreview(args, std::cout, std::cerr);
}
