// libFuzzer target over the CDX reader: any bytes read as an index file. What reads as the
// tag INDEX must survive being written again and read back unchanged.
#include "tables/cdx_format.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto entries = readCdxIndexTag({data, size});
    if (!entries) return 0;
    if (readCdxIndexTag(buildCdx(*entries)) != entries) std::abort();
    return 0;
}
