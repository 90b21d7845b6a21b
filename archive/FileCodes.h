#pragma once
// The codes stored files are sorted and decoded by: the categories (the top byte of a file ID)
// that the program treats in a way of their own, and the pixel-format codes of textures.

#include <cstdint>

namespace orvanel {

inline constexpr uint8_t kCategoryColourTable = 0x04;
inline constexpr uint8_t kCategoryTexture = 0x06;
// Files of this category never fail the check of their stored ID.
inline constexpr uint8_t kCategoryUnchecked = 0x08;
inline constexpr uint8_t kCategorySound = 0x0A;
inline constexpr uint8_t kCategoryTextRecord = 0x31;

// Texture format codes. The DXT codes are the four characters of the name read little-endian.
inline constexpr uint32_t kTextureDXT1 = 0x31545844;
inline constexpr uint32_t kTextureDXT3 = 0x33545844;
inline constexpr uint32_t kTextureDXT5 = 0x35545844;
inline constexpr uint32_t kTextureGrey8 = 28;
inline constexpr uint32_t kTextureGrey8Alt = 244;
inline constexpr uint32_t kTextureRGB24 = 20;
inline constexpr uint32_t kTextureRGB24Alt = 243;
inline constexpr uint32_t kTextureRGBA32 = 21;
inline constexpr uint32_t kTextureJPEG = 500;
inline constexpr uint32_t kTextureIndexed8 = 41;
inline constexpr uint32_t kTextureIndexed16 = 101;
inline constexpr uint32_t kTextureGrey16 = 23;
inline constexpr uint32_t kTextureGrey16Alt = 26;

} // namespace orvanel
