// Text for the program's surfaces: TrueType fonts found on the machine, rendered once per
// (font, colour, text) and copied colour-keyed after that.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace kraylo {

// The renderer both backends use. Tahoma-compatible faces come from the fonts-wine files (their
// known folder, or fontconfig); when they are missing, fontconfig's sans face stands in, so a
// missing font file never stops the program. Text holding line ends (CR LF, LF or CR) is drawn as
// several lines, each one line height below the one before.
std::unique_ptr<TextRenderer> CreateTextRenderer();

// A font file and the face index inside it (collections hold several faces).
struct FontFile {
  std::string path;
  int index = 0;
};

// The font files that can stand for `font`, best first: the known Tahoma file, then fontconfig's
// match for the face, then fontconfig's sans face (on Windows: Windows' Tahoma, then the one
// beside the executable). Only files that exist are listed. A bold font may come as a regular
// file: open it with the bold style, which leaves bold faces as they are.
std::vector<FontFile> FontFilesFor(const Font& font);

// Where FontFilesFor looks, for the message when it finds nothing.
extern const char* const kFontsLookedFor;

}  // namespace kraylo
