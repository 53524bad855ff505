#include "tables/cdx_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t pageSize = 512;
constexpr std::size_t indexHeaderSize = 1024;
constexpr std::size_t leafHeaderSize = 24;
// The bytes of a leaf header that say how its entries are packed: the bits of the record
// number, of the duplicate count and of the trailing count, and the bytes of an entry.
constexpr std::size_t leafRecordBitsAt = 20;
constexpr std::size_t leafDuplicateBitsAt = 21;
constexpr std::size_t leafTrailBitsAt = 22;
constexpr std::size_t leafEntryBytesAt = 23;
constexpr std::size_t leafSpace = pageSize - leafHeaderSize; // entries and key tails
constexpr std::size_t interiorHeaderSize = 12;
constexpr std::size_t maxKeyLength = 240;
constexpr std::uint32_t noSibling = 0xFFFFFFFF;
constexpr std::uint32_t tagListOffset = 0x400;
constexpr std::uint32_t tagHeaderOffset = 0x600;
constexpr std::size_t tagNameLength = 10;
constexpr std::size_t numericKeyLength = 8;

constexpr std::uint16_t interiorNode = 0;
constexpr std::uint16_t rootNode = 1;
constexpr std::uint16_t leafNode = 2;

constexpr std::uint8_t optionCompact = 0x20;
constexpr std::uint8_t optionCompound = 0x40;
constexpr std::uint8_t optionStructural = 0x80;
constexpr std::uint8_t optionForClause = 0x08;

void putU16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void putU32BigEndian(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint32_t getU16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

std::uint32_t getU32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t getU32BigEndian(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

int bitsFor(std::uint64_t value)
{
    return std::max(1, static_cast<int>(std::bit_width(value)));
}

std::uint64_t lowMask(int bits)
{
    return bits >= 64 ? ~std::uint64_t{0} : (1ull << bits) - 1;
}

// Bit widths of a leaf's entries: the duplicate and trailing counts must hold the key
// length, the record number the largest record; at least three bytes per entry.
struct LeafCoding
{
    int recordBits;
    int countBits;
    int entryBytes;
};

LeafCoding leafCoding(std::uint32_t maxRecord, std::size_t keyLength)
{
    const int countBits = bitsFor(keyLength);
    const int needed = bitsFor(maxRecord) + 2 * countBits;
    const int entryBytes = std::max(3, (needed + 7) / 8);
    return {entryBytes * 8 - 2 * countBits, countBits, entryBytes};
}

// A node of one level of a tree being written: where it is and its highest entry.
struct WrittenNode
{
    std::uint32_t offset;
    std::array<std::uint8_t, maxKeyLength> lastKey;
    std::uint32_t lastRecord;
};

std::uint32_t appendPage(std::vector<std::uint8_t>& file)
{
    const auto offset = static_cast<std::uint32_t>(file.size());
    file.resize(file.size() + pageSize, 0);
    return offset;
}

void linkSiblings(std::vector<std::uint8_t>& file, const std::vector<WrittenNode>& level)
{
    for (std::size_t i = 0; i < level.size(); ++i) {
        std::uint8_t* node = file.data() + level[i].offset;
        putU32(node + 4, i > 0 ? level[i - 1].offset : noSibling);
        putU32(node + 8, i + 1 < level.size() ? level[i + 1].offset : noSibling);
    }
}

// The header of a leaf holding `keys` entries in `used` bytes, packed as coded.
void writeLeafHeader(std::uint8_t* node, std::size_t keys, std::size_t used,
                     const LeafCoding& coding)
{
    putU16(node, leafNode);
    putU16(node + 2, static_cast<std::uint32_t>(keys));
    putU16(node + 12, static_cast<std::uint32_t>(leafSpace - used));
    putU32(node + 14, static_cast<std::uint32_t>(lowMask(coding.recordBits)));
    node[18] = static_cast<std::uint8_t>(lowMask(coding.countBits));
    node[19] = static_cast<std::uint8_t>(lowMask(coding.countBits));
    node[leafRecordBitsAt] = static_cast<std::uint8_t>(coding.recordBits);
    node[leafDuplicateBitsAt] = static_cast<std::uint8_t>(coding.countBits);
    node[leafTrailBitsAt] = static_cast<std::uint8_t>(coding.countBits);
    node[leafEntryBytesAt] = static_cast<std::uint8_t>(coding.entryBytes);
}

// Appends the leaves of `count` keys (keyAt(i, key) writes key i, recordAt(i) gives its
// record), packed full, each key stored without the bytes it shares with the previous key of
// its leaf and without its trailing pad bytes; returns them in order.
template <class KeyAt, class RecordAt>
std::vector<WrittenNode> appendLeaves(std::vector<std::uint8_t>& file, std::size_t count,
                                      std::size_t keyLength, std::uint8_t pad, KeyAt keyAt,
                                      RecordAt recordAt)
{
    std::uint32_t maxRecord = 0;
    for (std::size_t i = 0; i < count; ++i)
        maxRecord = std::max(maxRecord, recordAt(i));
    const LeafCoding coding = leafCoding(maxRecord, keyLength);
    const auto entryBytes = static_cast<std::size_t>(coding.entryBytes);

    std::vector<WrittenNode> leaves;
    std::array<std::uint8_t, maxKeyLength> key{};
    std::array<std::uint8_t, maxKeyLength> previous{};
    std::size_t next = 0;
    do {
        const std::uint32_t offset = appendPage(file);
        std::uint8_t* node = file.data() + offset;
        std::size_t keys = 0;
        std::size_t used = 0;
        std::size_t tail = pageSize;
        std::uint32_t lastRecord = 0;
        for (; next < count; ++next) {
            keyAt(next, key.data());
            std::size_t trail = 0;
            while (trail < keyLength && key[keyLength - 1 - trail] == pad)
                ++trail;
            std::size_t dup = 0;
            if (keys > 0)
                while (dup < keyLength - trail && key[dup] == previous[dup])
                    ++dup;
            const std::size_t stored = keyLength - dup - trail;
            if (used + entryBytes + stored > leafSpace) break;
            const std::uint32_t record = recordAt(next);
            const std::uint64_t entry =
                record | (std::uint64_t{dup} << coding.recordBits) |
                (std::uint64_t{trail} << (coding.recordBits + coding.countBits));
            for (std::size_t b = 0; b < entryBytes; ++b)
                node[leafHeaderSize + keys * entryBytes + b] =
                    static_cast<std::uint8_t>(entry >> (8 * b));
            tail -= stored;
            std::memcpy(node + tail, key.data() + dup, stored);
            used += entryBytes + stored;
            ++keys;
            previous = key;
            lastRecord = record;
        }
        writeLeafHeader(node, keys, used, coding);
        leaves.push_back({offset, previous, lastRecord});
    } while (next < count);
    linkSiblings(file, leaves);
    return leaves;
}

// Appends the interior nodes over one level of a tree, each holding the highest key and
// record of its children, and returns them in order.
std::vector<WrittenNode> appendParents(std::vector<std::uint8_t>& file,
                                       const std::vector<WrittenNode>& level, std::size_t keyLength)
{
    const std::size_t perNode = (pageSize - interiorHeaderSize) / (keyLength + 8);
    std::vector<WrittenNode> parents;
    for (std::size_t first = 0; first < level.size(); first += perNode) {
        const std::size_t children = std::min(perNode, level.size() - first);
        const std::uint32_t offset = appendPage(file);
        std::uint8_t* node = file.data() + offset;
        putU16(node, interiorNode);
        putU16(node + 2, static_cast<std::uint32_t>(children));
        for (std::size_t c = 0; c < children; ++c) {
            const WrittenNode& child = level[first + c];
            std::uint8_t* entry = node + interiorHeaderSize + c * (keyLength + 8);
            std::memcpy(entry, child.lastKey.data(), keyLength);
            putU32BigEndian(entry + keyLength, child.lastRecord);
            putU32BigEndian(entry + keyLength + 4, child.offset);
        }
        const WrittenNode& last = level[first + children - 1];
        parents.push_back({offset, last.lastKey, last.lastRecord});
    }
    linkSiblings(file, parents);
    return parents;
}

// Appends the tree of `count` keys (as appendLeaves takes them) to the file and returns the
// offset of its root.
template <class KeyAt, class RecordAt>
std::uint32_t appendTree(std::vector<std::uint8_t>& file, std::size_t count, std::size_t keyLength,
                         std::uint8_t pad, KeyAt keyAt, RecordAt recordAt)
{
    std::vector<WrittenNode> level = appendLeaves(file, count, keyLength, pad, keyAt, recordAt);
    while (level.size() > 1)
        level = appendParents(file, level, keyLength);
    std::uint8_t* root = file.data() + level.front().offset;
    putU16(root, getU16(root) | rootNode);
    return level.front().offset;
}

void writeIndexHeader(std::uint8_t* header, std::uint32_t root, std::size_t keyLength,
                      std::uint8_t options, std::string_view keyExpression)
{
    putU32(header, root);
    putU16(header + 12, static_cast<std::uint32_t>(keyLength));
    header[14] = options;
    header[15] = 1;
    const auto keyLengthWithNul = static_cast<std::uint32_t>(keyExpression.size() + 1);
    putU16(header + 504, keyLengthWithNul); // FOR expression right after the key's NUL
    putU16(header + 506, 1);                // no FOR expression: its NUL only
    putU16(header + 510, keyLengthWithNul);
    std::memcpy(header + 512, keyExpression.data(), keyExpression.size());
}

// An index header as read: where its tree starts and what its keys are.
struct IndexHeader
{
    std::uint32_t root = 0;
    std::size_t keyLength = 0;
    std::uint8_t options = 0;
    bool descending = false;
    std::string keyExpression;
    std::string forExpression;
};

std::string poolText(const std::uint8_t* pool, std::uint32_t offset, std::uint32_t length)
{
    if (offset >= 512 || length == 0) return {};
    length = std::min<std::uint32_t>(length, 512 - offset);
    const std::uint8_t* begin = pool + offset;
    const std::uint8_t* end = std::find(begin, begin + length, std::uint8_t{0});
    return std::string(begin, end);
}

std::optional<IndexHeader> readIndexHeader(std::span<const std::uint8_t> file, std::size_t at)
{
    if (at > file.size() || file.size() - at < indexHeaderSize) return std::nullopt;
    const std::uint8_t* h = file.data() + at;
    IndexHeader header;
    header.root = getU32(h);
    header.keyLength = getU16(h + 12);
    header.options = h[14];
    header.descending = getU16(h + 502) != 0;
    header.forExpression = poolText(h + 512, getU16(h + 504), getU16(h + 506));
    header.keyExpression = poolText(h + 512, getU16(h + 508), getU16(h + 510));
    if (header.keyLength == 0 || header.keyLength > maxKeyLength) return std::nullopt;
    return header;
}

// Walks a tree from its root in key order, calling onEntry(key bytes, record) for every
// leaf entry until it returns false. False then, and for a node outside the file, met
// twice, or not well formed.
template <class OnEntry>
bool walkTree(std::span<const std::uint8_t> file, std::uint32_t root, std::size_t keyLength,
              std::uint8_t pad, OnEntry onEntry)
{
    std::vector<bool> visited(file.size() / pageSize, false);
    std::vector<std::uint32_t> pending{root};
    std::array<std::uint8_t, maxKeyLength> key{};
    while (!pending.empty()) {
        const std::uint32_t offset = pending.back();
        pending.pop_back();
        if (offset % pageSize != 0 || offset / pageSize >= visited.size()) return false;
        if (visited[offset / pageSize]) return false;
        visited[offset / pageSize] = true;
        const std::uint8_t* node = file.data() + offset;
        const std::uint32_t attributes = getU16(node);
        const std::size_t keys = getU16(node + 2);
        if (attributes > (leafNode | rootNode)) return false;
        if (!(attributes & leafNode)) {
            const std::size_t entryLength = keyLength + 8;
            if (interiorHeaderSize + keys * entryLength > pageSize) return false;
            for (std::size_t i = keys; i-- > 0;)
                pending.push_back(
                    getU32BigEndian(node + interiorHeaderSize + i * entryLength + keyLength + 4));
            continue;
        }
        const int recordBits = node[leafRecordBitsAt];
        const int dupBits = node[leafDuplicateBitsAt];
        const int trailBits = node[leafTrailBitsAt];
        const std::size_t entryBytes = node[leafEntryBytesAt];
        if (entryBytes < 1 || entryBytes > 8 || recordBits > 32 || dupBits > 16 || trailBits > 16 ||
            recordBits + dupBits + trailBits > 8 * static_cast<int>(entryBytes))
            return false;
        if (keys * entryBytes > leafSpace) return false;
        std::size_t tail = pageSize;
        for (std::size_t k = 0; k < keys; ++k) {
            std::uint64_t entry = 0;
            for (std::size_t b = 0; b < entryBytes; ++b)
                entry |= std::uint64_t{node[leafHeaderSize + k * entryBytes + b]} << (8 * b);
            const auto record = static_cast<std::uint32_t>(entry & lowMask(recordBits));
            const std::size_t dup = (entry >> recordBits) & lowMask(dupBits);
            const std::size_t trail = (entry >> (recordBits + dupBits)) & lowMask(trailBits);
            if (dup + trail > keyLength || (k == 0 && dup > 0)) return false;
            const std::size_t stored = keyLength - dup - trail;
            if (tail < leafHeaderSize + keys * entryBytes + stored) return false;
            tail -= stored;
            std::memcpy(key.data() + dup, node + tail, stored);
            std::fill(key.begin() + static_cast<std::ptrdiff_t>(keyLength - trail),
                      key.begin() + static_cast<std::ptrdiff_t>(keyLength), pad);
            if (!onEntry(key.data(), record)) return false;
        }
    }
    return true;
}

std::string upperTrimmed(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(text.begin());
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

std::uint64_t numericIndexKey(double value)
{
    if (value == 0) value = 0; // −0 counts as +0
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits >> 63) ? ~bits : bits | (1ull << 63);
}

std::vector<std::uint8_t> buildCdx(std::size_t count,
                                   const std::function<CdxEntry(std::size_t)>& entryAt)
{
    std::vector<std::uint8_t> file(tagListOffset, 0);
    // Room for the largest tree (full leaves of the widest entries) so the file grows once.
    file.reserve(tagHeaderOffset + indexHeaderSize + (count / 30 + 2) * pageSize * 21 / 20);
    std::array<char, tagNameLength> tagName;
    tagName.fill(' ');
    std::copy(cdxIndexTag.begin(), cdxIndexTag.end(), tagName.begin());
    const std::uint32_t tagList = appendTree(
        file, 1, tagNameLength, ' ',
        [&](std::size_t, std::uint8_t* key) { std::memcpy(key, tagName.data(), tagNameLength); },
        [](std::size_t) { return tagHeaderOffset; });
    writeIndexHeader(file.data(), tagList, tagNameLength,
                     optionCompact | optionCompound | optionStructural, "");

    file.resize(tagHeaderOffset + indexHeaderSize, 0);
    const std::uint32_t root = appendTree(
        file, count, numericKeyLength, 0x00,
        [&](std::size_t i, std::uint8_t* key) {
            const std::uint64_t value = entryAt(i).key;
            for (std::size_t b = 0; b < numericKeyLength; ++b)
                key[b] = static_cast<std::uint8_t>(value >> (56 - 8 * b));
        },
        [&](std::size_t i) { return entryAt(i).record; });
    writeIndexHeader(file.data() + tagHeaderOffset, root, numericKeyLength,
                     optionCompact | optionCompound, cdxIndexTag);
    return file;
}

std::vector<std::uint8_t> buildCdx(std::span<const CdxEntry> entries)
{
    return buildCdx(entries.size(), [entries](std::size_t i) { return entries[i]; });
}

bool walkCdxIndexTag(std::span<const std::uint8_t> file,
                     const std::function<bool(const CdxEntry&)>& visit)
{
    const std::optional<IndexHeader> fileHeader = readIndexHeader(file, 0);
    if (!fileHeader) return false;
    std::optional<std::uint32_t> tagHeader;
    const bool tagsRead = walkTree(file, fileHeader->root, fileHeader->keyLength, ' ',
                                   [&](const std::uint8_t* key, std::uint32_t record) {
                                       const std::string name(reinterpret_cast<const char*>(key),
                                                              fileHeader->keyLength);
                                       if (!tagHeader && upperTrimmed(name) == cdxIndexTag)
                                           tagHeader = record;
                                       return true;
                                   });
    if (!tagsRead || !tagHeader) return false;

    const std::optional<IndexHeader> tag = readIndexHeader(file, *tagHeader);
    if (!tag || tag->keyLength != numericKeyLength || tag->descending ||
        (tag->options & optionForClause) || !upperTrimmed(tag->forExpression).empty() ||
        upperTrimmed(tag->keyExpression) != cdxIndexTag)
        return false;
    return walkTree(file, tag->root, numericKeyLength, 0x00,
                    [&](const std::uint8_t* key, std::uint32_t record) {
                        std::uint64_t value = 0;
                        for (std::size_t b = 0; b < numericKeyLength; ++b)
                            value = (value << 8) | key[b];
                        return visit({value, record});
                    });
}

std::optional<std::vector<CdxEntry>> readCdxIndexTag(std::span<const std::uint8_t> file)
{
    std::vector<CdxEntry> entries;
    entries.reserve(file.size() / 4);
    if (!walkCdxIndexTag(file, [&](const CdxEntry& e) {
            entries.push_back(e);
            return true;
        }))
        return std::nullopt;
    return entries;
}
