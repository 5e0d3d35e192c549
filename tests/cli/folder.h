#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kivo::test {

/// A folder of the test's own, removed afterwards.
class Folder {
public:
    Folder()
        : m_path(std::filesystem::temp_directory_path() /
                 ("kivo-cli-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count))) {
        std::filesystem::create_directories(m_path);
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    /// Writes `bytes` as the file `name` of the folder; its path.
    std::string file(const std::string& name, const std::string& bytes) const {
        const std::string path = (m_path / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string path(const std::string& name) const { return (m_path / name).string(); }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

/// The whole file's bytes.
inline std::string read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

}  // namespace kivo::test
