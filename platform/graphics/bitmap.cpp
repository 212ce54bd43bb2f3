#include "platform/graphics/bitmap.h"

#include <SDL.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace kraylo {
namespace {

// The largest file that can hold a bitmap of kMaxSide x kMaxSide at 32 bits, with room for the
// headers and a palette.
constexpr uint64_t kMaxFileBytes =
    uint64_t{Surface::kMaxSide} * uint64_t{Surface::kMaxSide} * 4 + 65536;

uint32_t ReadLittle(const uint8_t* bytes, size_t offset, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value |= uint32_t{bytes[offset + i]} << (8 * i);
  return value;
}

// Checks the headers before SDL sees the bytes: SDL allocates the whole picture up front, and
// reads the rows without noticing a file that ends early. True when the headers describe an
// uncompressed picture of sensible size whose rows all lie within `size` bytes.
bool HeadersDescribeWholePicture(const uint8_t* bytes, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 12 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint64_t data_offset = ReadLittle(bytes, 10, 4);
  const uint32_t info_size = ReadLittle(bytes, 14, 4);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bits = 0;
  uint32_t compression = 0;
  if (info_size == 12) {
    width = ReadLittle(bytes, 18, 2);
    height = ReadLittle(bytes, 20, 2);
    bits = ReadLittle(bytes, 24, 2);
  } else {
    if (info_size < 40 || size < kFileHeader + 40) return false;
    width = static_cast<int32_t>(ReadLittle(bytes, 18, 4));
    // A negative height stores the rows top row first.
    height = std::abs(int64_t{static_cast<int32_t>(ReadLittle(bytes, 22, 4))});
    bits = ReadLittle(bytes, 28, 2);
    compression = ReadLittle(bytes, 30, 4);
  }
  const bool known_depth =
      bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  // 0: plain rows; 3: plain rows with channel masks. Run-length encodings are not read.
  const bool uncompressed = compression == 0 || compression == 3;
  if (!known_depth || !uncompressed) return false;
  if (width < 1 || height < 1 || width > Surface::kMaxSide || height > Surface::kMaxSide) {
    return false;
  }
  const uint64_t row_bytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  return data_offset + row_bytes * static_cast<uint64_t>(height) <= size;
}

}  // namespace

Bitmap DecodeBitmap(const void* bytes, size_t size) {
  if (bytes == nullptr || size > INT_MAX ||
      !HeadersDescribeWholePicture(static_cast<const uint8_t*>(bytes), size)) {
    return {};
  }
  SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(size));
  if (stream == nullptr) return {};
  SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
  if (loaded == nullptr) return {};
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (argb == nullptr) return {};
  Bitmap bitmap;
  bitmap.width = argb->w;
  bitmap.height = argb->h;
  bitmap.pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
  const auto* rows = static_cast<const uint8_t*>(argb->pixels);
  for (int y = 0; y < argb->h; ++y) {
    std::memcpy(&bitmap.pixels[static_cast<size_t>(y) * static_cast<size_t>(argb->w)],
                rows + static_cast<size_t>(y) * static_cast<size_t>(argb->pitch),
                static_cast<size_t>(argb->w) * sizeof(uint32_t));
  }
  SDL_FreeSurface(argb);
  return bitmap;
}

Bitmap LoadBitmapFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return {};
  const std::streamoff length = file.tellg();
  if (length <= 0 || static_cast<uint64_t>(length) > kMaxFileBytes) return {};
  file.seekg(0);
  std::string bytes(static_cast<size_t>(length), '\0');
  if (!file.read(bytes.data(), length)) return {};
  return DecodeBitmap(bytes.data(), bytes.size());
}

}  // namespace kraylo
