// Fonts on Windows: the system's own Tahoma from the Windows fonts folder, else the free
// Tahoma-compatible face (from Wine) that the package ships beside the executable.

#include <algorithm>
#include <cctype>

#include "platform/devices/disk_files.h"
#include "platform/graphics/text_renderer.h"
#include "platform/os/windows/win32.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

std::string FontsFolder() {
  wchar_t* folder = nullptr;
  std::string path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Fonts, 0, nullptr, &folder))) path = Utf8(folder);
  CoTaskMemFree(folder);
  return path;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

const char* const kFontsLookedFor =
    "neither tahoma.ttf in the Windows fonts folder nor tahoma.ttf beside kraylo.exe";

std::vector<FontFile> FontFilesFor(const Font& font) {
  std::string face = font.face;
  std::transform(face.begin(), face.end(), face.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (face != "tahoma") return {};
  std::vector<std::string> candidates;
  const std::string system = FontsFolder();
  if (!system.empty()) {
    // Windows' bold Tahoma is a face of its own; SDL_ttf emboldens only the regular one.
    if (font.bold) candidates.push_back(system + "\\tahomabd.ttf");
    candidates.push_back(system + "\\tahoma.ttf");
  }
  try {
    candidates.push_back(ExecutableFolder() + "\\tahoma.ttf");
  } catch (const RunError&) {
    // No folder of our own to look in: the system's fonts are all there is.
  }
  std::vector<FontFile> files;
  for (const std::string& path : candidates) {
    if (IsFile(path)) files.push_back({path, 0});
  }
  return files;
}

}  // namespace kraylo
