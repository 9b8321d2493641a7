#pragma once
#include "image/masked_dib.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace tessary {

// Bytes for an image block from a caller that keeps them somewhere of its own (a mapped file):
// called with the block's size, it returns that many bytes reading as zeros, valid while the
// image lives and held by nothing else (the image writes into them), or null to let the
// program allocate the block.
using BlockProvider = std::function<std::shared_ptr<uint8_t[]>(size_t bytes)>;

// A zero-filled 24-bit image under the same limits as allocateMaskedDib (sides 0..20000, at most
// 200,000,000 bytes), but without an opacity mask: the merge image and the final target are
// written whole and their opacity is never read, so the mask would only add two bytes per pixel
// to the peak memory of a generation. True on failure, leaving `target` empty.
//
// With `block`, the bytes come from it when it provides them (see BlockProvider).
bool allocateUnmaskedImage(int32_t height, int32_t width, MaskedDib& target, const BlockProvider& block = nullptr);

} // namespace tessary
