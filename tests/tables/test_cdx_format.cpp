// The CDX index: numeric keys in the published encoding, files that read back as written
// whatever their size, the header and node fields other readers rely on, and damaged or
// foreign index files recognised as unusable.
#include "tables/cdx_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t u16(const std::vector<std::uint8_t>& f, std::size_t at)
{
    return f[at] | (f[at + 1] << 8);
}

std::uint32_t u32(const std::vector<std::uint8_t>& f, std::size_t at)
{
    return u16(f, at) | (u16(f, at + 2) << 16);
}

// Keys of `count` records: INDEX values from 9999 downwards, `perKey` records per value, in
// index order (key, then record number).
std::vector<CdxEntry> entriesFor(std::uint32_t count, std::uint32_t perKey)
{
    std::vector<CdxEntry> entries;
    for (std::uint32_t r = 1; r <= count; ++r)
        entries.push_back({numericIndexKey(9999.0 - (r - 1) / perKey), r});
    std::sort(entries.begin(), entries.end(), [](const CdxEntry& a, const CdxEntry& b) {
        return a.key < b.key || (a.key == b.key && a.record < b.record);
    });
    return entries;
}

} // namespace

TEST(CdxFormat, NumericKeysFollowThePublishedEncoding)
{
    EXPECT_EQ(numericIndexKey(9999), 0xC0C3878000000000u); // the example of the format notes
    EXPECT_EQ(numericIndexKey(0), 0x8000000000000000u);
    EXPECT_EQ(numericIndexKey(-0.0), numericIndexKey(0));
    EXPECT_EQ(numericIndexKey(-1), ~0xBFF0000000000000u);
    const double ordered[] = {-32768, -2.5, -1, 0, 0.5, 1, 9996, 9997, 9999, 20000000};
    for (std::size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(numericIndexKey(ordered[i - 1]), numericIndexKey(ordered[i])) << ordered[i];
}

TEST(CdxFormat, WrittenIndexesReadBackWhateverTheirSize)
{
    // Empty, one leaf, several leaves under one root, two interior levels, and record
    // numbers past 65535 that need wider entries.
    for (const auto& [count, perKey] : {std::pair<std::uint32_t, std::uint32_t>{0, 1},
                                        {1, 1},
                                        {60, 3},
                                        {5000, 50},
                                        {70000, 1275}}) {
        const std::vector<CdxEntry> entries = entriesFor(count, perKey);
        const std::vector<std::uint8_t> file = buildCdx(entries);
        EXPECT_EQ(file.size() % 512, 0u) << count;
        EXPECT_EQ(readCdxIndexTag(file), entries) << count;
    }
}

TEST(CdxFormat, HeadersAndNodesCarryWhatOtherReadersUse)
{
    const std::vector<std::uint8_t> file = buildCdx(entriesFor(5000, 7));
    // File header: the tag list at 0x400, key length 10, compact + compound + structural.
    EXPECT_EQ(u32(file, 0), 0x400u);
    EXPECT_EQ(u16(file, 12), 10u);
    EXPECT_EQ(file[14], 0xE0);
    EXPECT_EQ(file[15], 1);
    // The tag list: one root leaf naming INDEX, whose record number is its header's offset.
    EXPECT_EQ(u16(file, 0x400), 3u);
    EXPECT_EQ(u16(file, 0x402), 1u);
    EXPECT_EQ(u32(file, 0x404), 0xFFFFFFFFu);
    EXPECT_EQ(std::string(file.begin() + 0x600 - 5, file.begin() + 0x600), "INDEX");
    // The tag header: eight-byte keys, compact + compound, ascending, key INDEX, no FOR.
    EXPECT_EQ(u16(file, 0x600 + 12), 8u);
    EXPECT_EQ(file[0x600 + 14], 0x60);
    EXPECT_EQ(u16(file, 0x600 + 502), 0u);
    EXPECT_EQ(u16(file, 0x600 + 504), 6u);
    EXPECT_EQ(u16(file, 0x600 + 506), 1u);
    EXPECT_EQ(u16(file, 0x600 + 510), 6u);
    EXPECT_EQ(std::memcmp(file.data() + 0x600 + 512, "INDEX\0\0", 7), 0);

    // Every leaf: entry widths that add up, masks that match them, and exact free space.
    std::size_t leaves = 0;
    for (std::size_t at = 0xA00; at < file.size(); at += 512) {
        if (!(u16(file, at) & 2)) continue;
        ++leaves;
        const std::uint32_t keys = u16(file, at + 2);
        const int rb = file[at + 20], db = file[at + 21], tb = file[at + 22], n = file[at + 23];
        EXPECT_EQ(rb + db + tb, 8 * n);
        EXPECT_EQ(u32(file, at + 14), (1u << rb) - 1);
        EXPECT_EQ(file[at + 18], (1u << db) - 1);
        std::size_t stored = 0;
        for (std::uint32_t k = 0; k < keys; ++k) {
            std::uint32_t entry = 0;
            for (int b = 0; b < n; ++b)
                entry |= file[at + 24 + k * n + b] << (8 * b);
            const std::uint32_t dup = (entry >> rb) & ((1u << db) - 1);
            const std::uint32_t trail = (entry >> (rb + db)) & ((1u << tb) - 1);
            stored += 8 - dup - trail;
        }
        EXPECT_EQ(u16(file, at + 12), 488 - n * keys - stored) << "leaf at " << at;
    }
    EXPECT_GT(leaves, 1u);
}

TEST(CdxFormat, LeavesAreChainedBySiblingLinksInKeyOrder)
{
    // Other readers walk a tag's leaves by their links: left at 4, right at 8 of each node.
    const std::vector<CdxEntry> entries = entriesFor(5000, 7);
    const std::vector<std::uint8_t> file = buildCdx(entries);
    constexpr std::uint32_t none = 0xFFFFFFFF;
    std::uint32_t first = none;
    for (std::uint32_t at = 0xA00; at < file.size(); at += 512)
        if ((u16(file, at) & 2) && u32(file, at + 4) == none) first = at;
    ASSERT_NE(first, none);

    std::vector<std::uint32_t> leaves;
    std::vector<std::uint32_t> records;
    for (std::uint32_t at = first; at != none && leaves.size() < 1000; at = u32(file, at + 8)) {
        leaves.push_back(at);
        const std::uint32_t mask = u32(file, at + 14);
        const int n = file[at + 23];
        for (std::uint32_t k = 0; k < u16(file, at + 2); ++k) {
            std::uint32_t entry = 0;
            for (int b = 0; b < n; ++b)
                entry |= file[at + 24 + k * n + b] << (8 * b);
            records.push_back(entry & mask);
        }
    }
    std::vector<std::uint32_t> expected;
    for (const CdxEntry& e : entries)
        expected.push_back(e.record);
    EXPECT_EQ(records, expected);
    EXPECT_GT(leaves.size(), 2u);

    std::vector<std::uint32_t> backwards;
    for (std::uint32_t at = leaves.back(); at != none && backwards.size() < 1000;
         at = u32(file, at + 4))
        backwards.push_back(at);
    EXPECT_EQ(std::vector<std::uint32_t>(backwards.rbegin(), backwards.rend()), leaves);
}

TEST(CdxFormat, SmallIndexesStillUseThreeBytesAnEntry)
{
    // Three records need only 2 + 4 + 4 bits, but a leaf entry is never narrower than three
    // bytes.
    const std::vector<std::uint8_t> file = buildCdx(entriesFor(3, 1));
    ASSERT_TRUE(u16(file, 0xA00) & 2);
    EXPECT_EQ(file[0xA00 + 23], 3);
}

TEST(CdxFormat, DamagedOrForeignIndexesAreNotUsed)
{
    const std::vector<CdxEntry> entries = entriesFor(5000, 50);
    const std::vector<std::uint8_t> good = buildCdx(entries);
    ASSERT_TRUE(readCdxIndexTag(good));

    EXPECT_FALSE(readCdxIndexTag({}));
    EXPECT_FALSE(readCdxIndexTag({good.begin(), good.begin() + 1000}));
    EXPECT_FALSE(readCdxIndexTag({good.begin(), good.begin() + 0x800})); // tag header cut

    std::vector<std::uint8_t> file = good;
    const std::uint32_t root = u32(file, 0x600);
    file[0x600] = 0x00; // the tag's root pointer into the middle of a page
    file[0x601] = 0x0B;
    EXPECT_FALSE(readCdxIndexTag(file));

    file = good;
    file[0x600 + 12] = 10; // key length of a character tag
    EXPECT_FALSE(readCdxIndexTag(file));

    file = good;
    file[0x600 + 502] = 1; // descending
    EXPECT_FALSE(readCdxIndexTag(file));

    file = good;
    std::memcpy(file.data() + 0x600 + 512, "NOMER", 5); // a key on another field
    EXPECT_FALSE(readCdxIndexTag(file));

    file = good;
    std::memcpy(file.data() + 0x600 - 5, "OTHER", 5); // no tag INDEX in the tag list
    EXPECT_FALSE(readCdxIndexTag(file));

    // An interior node pointing back at the root would make a walk go round for ever.
    file = good;
    ASSERT_EQ(u16(file, root), 1u); // the root is interior
    const std::size_t lastChild = root + 12 + (u16(file, root + 2) - 1) * 16 + 12;
    for (int b = 0; b < 4; ++b)
        file[lastChild + b] = static_cast<std::uint8_t>(root >> (24 - 8 * b));
    EXPECT_FALSE(readCdxIndexTag(file));

    // A leaf whose entries claim more key bytes than the page holds.
    file = good;
    const std::size_t leaf = 0xA00;
    file[leaf + 2] = 0xFF;
    EXPECT_FALSE(readCdxIndexTag(file));
}
