#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quendel::test {

using Bytes = std::vector<std::uint8_t>;

Bytes signature();
Bytes replacement_with(std::uint8_t first_index, std::uint8_t second_index);
Bytes concat(std::initializer_list<Bytes> parts);
/// `size` bytes of deterministic filler that holds no 2E byte.
Bytes filler(std::size_t size, std::uint8_t seed = 1);

/// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void write_file(const std::string& path, const Bytes& bytes);
Bytes read_file(const std::string& path);

struct CommandResult {
    int status = -1;  ///< exit status, or 128 + signal
    std::string out;
    std::string err;
};
/// Runs `command` through the shell, capturing both output streams.
CommandResult run_command(const std::string& command);
/// `text` quoted for the shell.
std::string shell_quoted(const std::string& text);

}  // namespace quendel::test
