// Runs a fuzz target's entry function over saved inputs without the fuzzing engine, so that the
// test build (its compiler and sanitizers) replays every input that once broke a reader. Each
// argument is a file or a folder whose files are inputs (a folder that does not exist holds
// none); the empty input runs first. A fault aborts the program; otherwise it prints the number
// of inputs run and exits 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Run(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A buffer of exactly the input's size, so that a read past its end is caught.
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size() ? bytes.size() : 1);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    std::printf("input %s (%zu bytes)\n", file.filename().string().c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    static const std::uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(&kNothing, 0);
    int count = 1;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        const std::filesystem::path arg = argv[i];
        std::vector<std::filesystem::path> files;
        if (!std::filesystem::exists(arg, ec)) {
            std::printf("no saved inputs in %s\n", arg.string().c_str());
            continue;
        }
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
                if (entry.is_regular_file(ec)) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);
        }
        for (const auto& f : files) {
            if (!Run(f)) return 2;
            ++count;
        }
    }
    std::printf("inputs=%d\n", count);
    return 0;
}
