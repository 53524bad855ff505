// Where the allele window shows each allele: alleles 1 to maxAlleles fill two grids of
// allelesPerGrid rows, the first grid from allele 1, the second from allele 26. The archive
// window puts stored allele rows into the same places.
#pragma once

#include "task/task_state.h"

constexpr int alleleGridCount = 2;
constexpr int allelesPerGrid = maxAlleles / alleleGridCount;

struct AllelePosition
{
    int grid; // 0 for the first grid, 1 for the second
    int row;  // 1..allelesPerGrid; row 0 is the header
};

// The place of allele k, 1..maxAlleles.
AllelePosition allelePosition(int k);

// The allele number shown in row 1..allelesPerGrid of grid 0 or 1.
int alleleAt(int grid, int row);
