#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {
namespace swf {

// Decodes a raw LZMA stream (no .lzma size field) described by the five
// property bytes: the lc/lp/pb byte and the little-endian dictionary size.
// Stops once expectedSize bytes are out or an end marker is read; both
// return true. On corrupt or truncated input returns false with an
// explanation in *error, and `out` keeps every byte decoded before the fault,
// never more than expectedSize.
bool LzmaDecode(const uint8_t* props, size_t propsSize, const uint8_t* src, size_t srcSize,
                size_t expectedSize, std::vector<uint8_t>& out, std::string* error = nullptr);

// Largest uncompressed file length a ZWS header may claim.
constexpr uint32_t kMaxZwsFileLength = 256u * 1024u * 1024u;

// Decompresses a "ZWS" file into its body: the bytes that follow the 8-byte
// header of the equivalent uncompressed "FWS" file. Same partial-result
// contract as LzmaDecode.
bool DecodeZwsBody(const uint8_t* file, size_t fileSize, std::vector<uint8_t>& body,
                   std::string* error = nullptr);

}  // namespace swf
}  // namespace velmora
