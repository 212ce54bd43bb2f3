// Fonts on POSIX: the Tahoma-compatible faces of fonts-wine, else what fontconfig knows.
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "platform/graphics/text_renderer.h"

namespace kraylo {
namespace {

// Where the fonts-wine package puts its Tahoma-compatible faces.
constexpr const char* kWineFontFolder = "/usr/share/wine/fonts/";

bool IsReadableFile(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

bool IsTahoma(const std::string& face) {
  std::string lower = face;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "tahoma";
}

// fontconfig's best match for a family and weight; nothing when fontconfig has no font at all.
std::vector<FontFile> FontconfigMatch(const std::string& family, bool bold) {
  std::vector<FontFile> files;
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return files;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return files;
  FcChar8* path = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    const std::string file(reinterpret_cast<const char*>(path));
    if (IsReadableFile(file)) files.push_back({file, index});
  }
  FcPatternDestroy(match);
  return files;
}

}  // namespace

const char* const kFontsLookedFor = "neither Tahoma from fonts-wine nor any font fontconfig knows";

std::vector<FontFile> FontFilesFor(const Font& font) {
  std::vector<FontFile> files;
  if (IsTahoma(font.face)) {
    // The bold file of fonts-wine holds the regular outlines at bold spacing; the regular file,
    // emboldened by the renderer, is the one that looks bold.
    const std::string known = std::string(kWineFontFolder) + "tahoma.ttf";
    if (IsReadableFile(known)) files.push_back({known, 0});
  }
  for (const std::string& family : {font.face, std::string("sans-serif")}) {
    for (FontFile& file : FontconfigMatch(family, font.bold)) {
      const bool listed = std::any_of(files.begin(), files.end(), [&](const FontFile& f) {
        return f.path == file.path && f.index == file.index;
      });
      if (!listed) files.push_back(std::move(file));
    }
  }
  return files;
}

}  // namespace kraylo
