#pragma once

namespace velmora {

// Window positions are kept in twips, converted at this fixed rate.
inline constexpr long kTwipsPerPixel = 15;

}  // namespace velmora
