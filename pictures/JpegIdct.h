// The inverse DCT of one JPEG block, at 8 x 8 pixels or reduced to 4 x 4,
// 2 x 2 or 1 x 1 from the block's low frequencies.
#pragma once

#include <cstdint>

namespace velmora {

// `coefficients`: the dequantized block in natural order. Writes n rows of n
// samples (0..255), `stride` bytes apart. n is 8, 4, 2 or 1.
void InverseDct(const int32_t coefficients[64], int n, uint8_t* out, int stride);

}  // namespace velmora
