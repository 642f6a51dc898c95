// Runs a fuzz target over stored inputs, for the normal test run: every file of
// the seed corpus (the first folder, which must hold at least one input) and of
// the regression folders after it (which may be missing). A broken invariant or
// a fault aborts, which fails the test; the file being replayed is printed first.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return files;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS [REGRESSIONS...]\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> files = inputsOf(argv[i]);
        if (i == 1 && files.empty()) {
            std::fprintf(stderr, "no inputs in the corpus %s\n", argv[i]);
            return 1;
        }
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "replay %s\n", file.c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++total;
        }
    }
    std::printf("%zu inputs replayed\n", total);
    return 0;
}
