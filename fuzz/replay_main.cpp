// Replays fuzz inputs without libFuzzer: every file named on the command line, and every file
// below every folder named, in name order, goes once through the target's
// LLVMFuzzerTestOneInput. A broken property aborts, so the exit status tells the result.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/fpu.hpp"
#include "fuzz_support.hpp"

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    MyFunc::UseExtendedPrecision();

    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        if (fs::is_directory(named)) {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(named)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
        } else if (fs::is_regular_file(named)) {
            files.push_back(named);
        } else {
            std::cerr << "replay: no such file or folder: " << named.string() << "\n";
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "replay: no inputs\n";
        return 2;
    }
    for (const fs::path& file : files) {
        Fuzz::NoteInput(file.string());
        const std::string bytes = Fuzz::ReadWholeFile(file);
        // A copy of exactly the input's size, so that the address sanitizer sees reads past it.
        std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
        LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
    }
    std::cout << "replayed " << files.size() << " inputs\n";
    return 0;
}
