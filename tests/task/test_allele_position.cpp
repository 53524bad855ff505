// The places of the alleles in the allele window's two grids.
#include "task/allele_position.h"

#include <gtest/gtest.h>

TEST(AllelePosition, FirstGridHoldsOneTo25SecondGrid26To50)
{
    const struct
    {
        int allele, grid, row;
    } places[] = {{1, 0, 1}, {25, 0, 25}, {26, 1, 1}, {50, 1, 25}};
    for (const auto& place : places) {
        const AllelePosition at = allelePosition(place.allele);
        EXPECT_EQ(at.grid, place.grid) << "allele " << place.allele;
        EXPECT_EQ(at.row, place.row) << "allele " << place.allele;
    }
}

TEST(AllelePosition, RowNumbersGiveBackEveryAllele)
{
    for (int k = 1; k <= maxAlleles; ++k) {
        const AllelePosition at = allelePosition(k);
        EXPECT_EQ(alleleAt(at.grid, at.row), k);
    }
}
