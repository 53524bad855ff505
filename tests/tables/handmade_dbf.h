// DBF files made byte by byte for tests, independently of the engine's writer, in the
// layouts other writers use: any version byte, Visual FoxPro's 263-byte backlink area,
// offsets left zero or holding dBASE III memory addresses, fields stored in another order
// than described, with or without the end-of-file byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct HandField
{
    std::string name;
    char type;
    int width;
    int decimals = 0;
};

struct HandRow
{
    std::vector<std::string> values; // stored texts; padded here (C left, others right)
    bool deleted = false;
};

struct HandLayout
{
    std::uint8_t version = 0x03;
    std::uint8_t codePage = 0xC9;
    std::size_t afterDescriptors = 0; // bytes after the 0x0D (263 for Visual FoxPro)
    enum class Offsets
    {
        Declared,  // fields stored in descriptor order, offsets written
        Zero,      // same order, offsets left 0
        Addresses, // same order, offsets holding unrelated numbers
        Reversed   // fields stored in reverse order, offsets written
    } offsets = Offsets::Declared;
    bool endOfFile = true;
};

inline std::vector<std::uint8_t> handmadeDbf(const std::vector<HandField>& fields,
                                             const std::vector<HandRow>& rows,
                                             const HandLayout& layout = {})
{
    const std::size_t headerLength = 32 + 32 * fields.size() + 1 + layout.afterDescriptors;
    std::size_t recordLength = 1;
    for (const HandField& f : fields)
        recordLength += static_cast<std::size_t>(f.width);
    std::vector<std::size_t> offsets(fields.size());
    std::size_t at = 1;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const std::size_t i =
            layout.offsets == HandLayout::Offsets::Reversed ? fields.size() - 1 - k : k;
        offsets[i] = at;
        at += static_cast<std::size_t>(fields[i].width);
    }

    std::vector<std::uint8_t> file(headerLength, 0);
    file[0] = layout.version;
    file[1] = 124; // 2024, as year - 1900
    file[2] = 5;
    file[3] = 17;
    const auto put32 = [&](std::size_t p, std::uint32_t v) {
        for (int b = 0; b < 4; ++b)
            file[p + b] = static_cast<std::uint8_t>(v >> (8 * b));
    };
    put32(4, static_cast<std::uint32_t>(rows.size()));
    file[8] = static_cast<std::uint8_t>(headerLength);
    file[9] = static_cast<std::uint8_t>(headerLength >> 8);
    file[10] = static_cast<std::uint8_t>(recordLength);
    file[11] = static_cast<std::uint8_t>(recordLength >> 8);
    file[29] = layout.codePage;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t d = 32 + 32 * i;
        std::copy(fields[i].name.begin(), fields[i].name.end(), file.begin() + d);
        file[d + 11] = static_cast<std::uint8_t>(fields[i].type);
        if (layout.offsets == HandLayout::Offsets::Addresses)
            put32(d + 12, 0x0F3A0000u + 97 * static_cast<std::uint32_t>(i));
        else if (layout.offsets != HandLayout::Offsets::Zero)
            put32(d + 12, static_cast<std::uint32_t>(offsets[i]));
        file[d + 16] = static_cast<std::uint8_t>(fields[i].width);
        file[d + 17] = static_cast<std::uint8_t>(fields[i].decimals);
    }
    file[32 + 32 * fields.size()] = 0x0D;

    for (const HandRow& row : rows) {
        std::string record(recordLength, ' ');
        record[0] = row.deleted ? '*' : ' ';
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string& value = row.values[i];
            const auto width = static_cast<std::size_t>(fields[i].width);
            const std::string padding(width - std::min(width, value.size()), ' ');
            const std::string stored = fields[i].type == 'C' ? value + padding : padding + value;
            record.replace(offsets[i], width, stored.substr(0, width));
        }
        file.insert(file.end(), record.begin(), record.end());
    }
    if (layout.endOfFile) file.push_back(0x1A);
    return file;
}
