// The C runtime's own rand() and srand().
#include "source/engine/RuntimeRand.h"

#include <cstdlib>

int runtimeRand()
{
    return std::rand();
}

void runtimeRandSeed(unsigned seed)
{
    std::srand(seed);
}
