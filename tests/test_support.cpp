#include "tests/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "patch/patch_data.h"

namespace quendel::test {

Bytes signature() {
    return Bytes(kSearchSignature.begin(), kSearchSignature.end());
}

Bytes replacement_with(std::uint8_t first_index, std::uint8_t second_index) {
    Bytes bytes(kReplacementInitial.begin(), kReplacementInitial.end());
    bytes[kFirstIndexOffset] = first_index;
    bytes[kSecondIndexOffset] = second_index;
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes filler(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
        if (byte == 0x2E) byte = 0x2F;
    }
    return bytes;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quendel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string shell_quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

CommandResult run_command(const std::string& command) {
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    const int raw =
        std::system((command + " >" + shell_quoted(out) + " 2>" + shell_quoted(err) + " </dev/null").c_str());
    CommandResult result;
    if (WIFEXITED(raw)) result.status = WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) result.status = 128 + WTERMSIG(raw);
    auto text = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    };
    result.out = text(out);
    result.err = text(err);
    return result;
}

}  // namespace quendel::test
