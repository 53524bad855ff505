#include "estimate/extended_log.h"

namespace extended_log_detail {

Table::Table()
{
    for (int j = 0; j < entries; ++j) {
        const long double c = 1 + (2 * j + 1) / (2.0L * entries);
        const bool shifted = c * c >= 2;
        centre[j] = shifted ? c / 2 : c;
        reciprocal[j] = 1 / centre[j];
        logarithm[j] = std::log(centre[j]);
        exponentShift[j] = shifted ? 1 : 0;
    }
}

const Table table;

} // namespace extended_log_detail
