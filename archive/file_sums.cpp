#include "archive/file_sums.h"

#include "platform/file_sync.h"

#include <boost/crc.hpp>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const char* const firstLine = "velimor-files 1";
const char* const lastLine = "end";

} // namespace

std::optional<FileSum> sumOfFile(const std::string& folder, const std::string& name)
{
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    boost::crc_32_type crc;
    FileSum sum{name, 0, 0};
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        crc.process_bytes(buffer, static_cast<std::size_t>(in.gcount()));
        sum.size += static_cast<std::uint64_t>(in.gcount());
    }
    if (in.bad()) return std::nullopt;
    sum.crc = crc.checksum();
    return sum;
}

bool matchesSum(const std::string& folder, const FileSum& sum)
{
    return sumOfFile(folder, sum.name) == sum;
}

bool writeFileSums(const std::string& path, const std::vector<FileSum>& sums)
{
    std::string text = std::string(firstLine) + "\n";
    for (const FileSum& sum : sums) {
        char numbers[48];
        std::snprintf(numbers, sizeof numbers, "%" PRIu64 " %08" PRIx32 " ", sum.size, sum.crc);
        text += numbers + sum.name + "\n";
    }
    text += std::string(lastLine) + "\n";
    return writeFileWhole(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size()));
}

std::optional<std::vector<FileSum>> readFileSums(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != firstLine) return std::nullopt;
    std::vector<FileSum> sums;
    while (std::getline(in, line)) {
        if (line == lastLine) return sums;
        std::istringstream fields(line);
        FileSum sum;
        fields >> sum.size >> std::hex >> sum.crc;
        if (!fields || fields.get() != ' ' || !std::getline(fields, sum.name) || sum.name.empty())
            return std::nullopt;
        sums.push_back(std::move(sum));
    }
    return std::nullopt;
}
