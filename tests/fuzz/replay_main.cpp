#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Without libFuzzer a target still runs: every input of the corpus, then a
// fixed number of mutations of each, from a fixed seed so a failure repeats.
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& corpus) {
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

// Flips, overwrites with edge values, cuts or grows the input at random places.
Bytes mutated(Bytes bytes, std::mt19937& random) {
    static constexpr std::uint8_t kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) {
        std::size_t at = bytes.empty() ? 0 : random() % bytes.size();
        switch (random() % 5) {
            case 0:
                if (!bytes.empty()) {
                    bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                }
                break;
            case 1:
                if (!bytes.empty()) {
                    bytes[at] = kEdges[random() % std::size(kEdges)];
                }
                break;
            case 2:
                bytes.resize(at);
                break;
            case 3:
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), random() % 64,
                             static_cast<std::uint8_t>(random()));
                break;
            default:
                if (bytes.size() >= 4) {
                    std::size_t word = at - at % 4 < bytes.size() - 3 ? at - at % 4 : 0;
                    bytes[word + 1] = static_cast<std::uint8_t>(random());
                }
                break;
        }
    }
    return bytes;
}

void run(const Bytes& bytes) {
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER MUTATIONS-PER-INPUT\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs = inputsOf(argv[1]);
    int mutations = std::atoi(argv[2]);
    std::mt19937 random(20261210);
    for (const auto& input : inputs) {
        Bytes bytes = readFile(input);
        run(bytes);
        for (int i = 0; i < mutations; ++i) {
            run(mutated(bytes, random));
        }
    }
    std::printf("%zu inputs, %d mutations each\n", inputs.size(), mutations);
    return inputs.empty() ? 1 : 0;
}
