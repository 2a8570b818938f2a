// A fuzz target's main outside libFuzzer: it runs LLVMFuzzerTestOneInput once on each file named,
// and on each file of each folder named, in name order. The test build links every target with it
// so that the committed corpora are replayed under the test build's sanitizers without clang.
// Usage: fuzz_NAME PATH...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool run_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // A heap block of exactly the input's size, as libFuzzer passes it, so that AddressSanitizer
    // reports a read past the end; never a null pointer, even for an empty input.
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const auto& entry : fs::directory_iterator(argv[i], ec))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.emplace_back(argv[i]);
        }
        if (ec) {
            std::fprintf(stderr, "cannot list %s: %s\n", argv[i], ec.message().c_str());
            return 1;
        }
        for (const auto& f : files) {
            // The name first, so that the input behind a sanitizer's report is the last one named.
            std::fprintf(stderr, "%s\n", f.c_str());
            if (!run_file(f))
                return 1;
            ++runs;
        }
    }
    std::printf("%zu inputs run\n", runs);
    return runs == 0 ? 1 : 0;
}
