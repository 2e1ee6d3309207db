#pragma once

#include <cstdlib>

// What the fuzz targets share; fuzzing.cpp also readies each target's process (Qt, ImageMagick).
namespace Fuzzing {

// A broken invariant is a finding: abort, so libFuzzer keeps the input and its stack.
inline void require(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace Fuzzing
