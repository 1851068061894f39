// Runs a fuzz target's entry point over saved inputs without libFuzzer, so that
// every compiler replays the regressions. Arguments are files, or folders whose
// files are each one input. A broken invariant aborts, as under the fuzzer.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& file)
{
    // A path's own characters are wide on Windows; its name is printed narrow.
    const std::string name = file.string();
    std::ifstream in(file, std::ios::binary);
    const std::string bytes {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "cannot read %s\n", name.c_str());
        return false;
    }
    std::printf("%s (%zu bytes)\n", name.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (std::filesystem::is_directory(argv[i], error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.emplace_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n(no inputs found)\n", argv[0]);
        return 2;
    }
    int unread = 0;
    for (const auto& file : files)
        unread += replay(file) ? 0 : 1;
    std::printf("%zu inputs replayed\n", files.size() - static_cast<std::size_t>(unread));
    return unread == 0 ? 0 : 1;
}
