#include "task/allele_position.h"

AllelePosition allelePosition(int k)
{
    return {(k - 1) / allelesPerGrid, (k - 1) % allelesPerGrid + 1};
}

int alleleAt(int grid, int row)
{
    return grid * allelesPerGrid + row;
}
