// One entry of the area table's mesh directory: where the mesh's block lies and whether the
// mesh has data.
#pragma once

#include <cstdint>

struct MeshMan {
    std::int32_t offset = 0;
    std::int32_t present = 0;
};
