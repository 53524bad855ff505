// A fresh folder for one test, of a name no other test has (tests run side by side under
// ctest -j), removed with all it holds at the end, with whole-file helpers. Every test that
// needs files of its own makes them in one.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velimor-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

    std::vector<std::uint8_t> read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    // Writes the text as the file's whole contents and returns the file's path.
    std::string writeText(const std::string& name, const std::string& text) const
    {
        std::ofstream(path_ / name, std::ios::binary | std::ios::trunc) << text;
        return file(name);
    }

private:
    std::filesystem::path path_;
};
