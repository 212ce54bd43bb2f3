// Draws the program's icon, the two players' balls side by side as the game shows them, as
// square PNG files with a transparent background. Usage: make_icons <folder> <size>...
// (the build makes the hicolor sizes it installs; each lands in <folder>/<size>x<size>/kraylo.png),
// or make_icons --embed <file> <size>: the same picture as the RGBA bytes of a C array's
// initialiser, which the program compiles in as its window's icon.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tools/art/sprite_art.h"

namespace {

using kraylo::art::Color;

// Ball 1 above and to the left, ball 2 below and to the right, almost touching, as a round
// begins; centres and radius as shares of the icon's side.
struct BallPlace {
  double x, y;
};
constexpr BallPlace kBallPlaces[] = {{0.29, 0.29}, {0.71, 0.71}};
constexpr double kRadiusShare = 0.285;
// Samples per pixel along each axis: smooth edges at every size.
constexpr int kSamples = 4;

// RGBA rows, ball 2 drawn over ball 1.
std::vector<uint8_t> DrawIcon(int size) {
  std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4, 0);
  const double radius = kRadiusShare * size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, covered = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = x + (sx + 0.5) / kSamples, py = y + (sy + 0.5) / kSamples;
          for (int ball = 1; ball >= 0; --ball) {
            const double dx = (px - kBallPlaces[ball].x * size) / radius;
            const double dy = (py - kBallPlaces[ball].y * size) / radius;
            if (dx * dx + dy * dy > 1) continue;
            const Color c = kraylo::art::ShadedSphere(kraylo::art::kPlayerColors[ball], dx, dy);
            r += c.r, g += c.g, b += c.b, covered += 1;
            break;
          }
        }
      }
      uint8_t* pixel = &pixels[(static_cast<size_t>(y) * size + x) * 4];
      if (covered == 0) continue;
      const auto channel = [&](double sum) {
        return static_cast<uint8_t>(std::lround(std::clamp(sum / covered, 0.0, 255.0)));
      };
      pixel[0] = channel(r);
      pixel[1] = channel(g);
      pixel[2] = channel(b);
      pixel[3] = static_cast<uint8_t>(std::lround(255.0 * covered / (kSamples * kSamples)));
    }
  }
  return pixels;
}

void PutBigEndian(std::string& bytes, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift & 0xFF);
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
  PutBigEndian(png, static_cast<uint32_t>(data.size()));
  const std::string body = type + data;
  png += body;
  PutBigEndian(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                static_cast<uInt>(body.size()))));
}

// A PNG of RGBA rows: 8 bits a channel, no interlace, every row without a filter; nothing when
// zlib fails.
std::optional<std::string> Png(int size, const std::vector<uint8_t>& pixels) {
  std::string rows;
  for (int y = 0; y < size; ++y) {
    rows += '\0';
    rows.append(reinterpret_cast<const char*>(&pixels[static_cast<size_t>(y) * size * 4]),
                static_cast<size_t>(size) * 4);
  }
  uLongf packed_size = compressBound(rows.size());
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(rows.data()), rows.size(), 9) != Z_OK) {
    return std::nullopt;
  }
  packed.resize(packed_size);
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(size));
  PutBigEndian(header, static_cast<uint32_t>(size));
  header += std::string{8, 6, 0, 0, 0};  // depth 8, RGBA, deflate, no filter, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  return png;
}

bool WriteFile(const std::string& path, const std::optional<std::string>& bytes) {
  std::ofstream file(path, std::ios::binary);
  return bytes && static_cast<bool>(file << *bytes);
}

void PutLittleEndian(std::string& bytes, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A Windows icon file holding the PNGs of every size (as Windows takes them since Vista).
std::optional<std::string> Ico(const std::vector<int>& sizes) {
  std::string directory;
  std::string images;
  PutLittleEndian(directory, 0, 2);  // reserved
  PutLittleEndian(directory, 1, 2);  // an icon, not a cursor
  PutLittleEndian(directory, static_cast<uint32_t>(sizes.size()), 2);
  const size_t first_image = 6 + 16 * sizes.size();
  for (const int size : sizes) {
    const std::optional<std::string> png = Png(size, DrawIcon(size));
    if (!png) return std::nullopt;
    directory += static_cast<char>(size >= 256 ? 0 : size);  // 0 stands for 256
    directory += static_cast<char>(size >= 256 ? 0 : size);
    PutLittleEndian(directory, 0, 2);   // no palette, reserved
    PutLittleEndian(directory, 1, 2);   // planes
    PutLittleEndian(directory, 32, 2);  // bits a pixel
    PutLittleEndian(directory, static_cast<uint32_t>(png->size()), 4);
    PutLittleEndian(directory, static_cast<uint32_t>(first_image + images.size()), 4);
    images += *png;
  }
  return directory + images;
}

// The sizes the command line gives from `first` on; nothing when one is out of range.
std::optional<std::vector<int>> Sizes(int first, int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = first; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size > 1024) {
      std::fprintf(stderr, "An icon size is 16 to 1024 pixels, not %s\n", argv[i]);
      return std::nullopt;
    }
    sizes.push_back(size);
  }
  return sizes;
}

// "size, size, r, g, b, a, ...": the side twice, then the rows, ready for `{#include ...}`.
bool WriteEmbedded(const std::string& path, int size, const std::vector<uint8_t>& pixels) {
  std::ofstream file(path);
  file << size << ", " << size << ",\n";
  for (size_t i = 0; i < pixels.size(); ++i) {
    file << static_cast<int>(pixels[i]) << (i % 16 == 15 ? ",\n" : ",");
  }
  file << "\n";
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool ico = mode == "--ico";
  const bool embed = mode == "--embed";
  const int first_size = ico || embed ? 3 : 2;
  if (argc <= first_size || (embed && argc != 4)) {
    std::fprintf(stderr,
                 "Usage: %s <folder> <size>...\n       %s --ico <file.ico> <size>...\n"
                 "       %s --embed <file> <size>\n",
                 argv[0], argv[0], argv[0]);
    return 2;
  }
  const std::optional<std::vector<int>> sizes = Sizes(first_size, argc, argv);
  if (!sizes) return 2;
  if (ico || embed) {
    const int size = sizes->front();
    if (ico ? WriteFile(argv[2], Ico(*sizes)) : WriteEmbedded(argv[2], size, DrawIcon(size))) {
      return 0;
    }
    std::fprintf(stderr, "The icon %s could not be written\n", argv[2]);
    return 1;
  }
  for (const int size : *sizes) {
    const std::string folder =
        std::string(argv[1]) + "/" + std::to_string(size) + "x" + std::to_string(size);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!WriteFile(folder + "/kraylo.png", Png(size, DrawIcon(size)))) {
      std::fprintf(stderr, "The icon %s/kraylo.png could not be written\n", folder.c_str());
      return 1;
    }
  }
  return 0;
}
