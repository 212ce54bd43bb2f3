// Messages drawn across the smallest field a message must fit (320 x 200) and a large one
// (1920 x 1080), with the program's fonts: every line inside the field, every character shown in
// order. With KRAYLO_TEST_PICTURES naming a folder, each drawing is also written there as a
// picture (`<name>-<width>x<height>.ppm`) to look at.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display/field_messages.h"
#include "platform/graphics/text_renderer.h"
#include "platform/headless/headless_screen.h"

namespace kraylo::testing {

inline std::string WithoutBlanks(const std::vector<std::string>& texts) {
  std::string all;
  for (const std::string& text : texts) {
    for (const char c : text) {
      if (c != ' ') all += c;
    }
  }
  return all;
}

inline void WritePicture(const Surface& surface, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << surface.width() << ' ' << surface.height() << "\n255\n";
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x) {
      const int32_t rgb = surface.UnmapPixel(surface.Pixel(x, y));
      out.put(static_cast<char>(rgb & 0xFF)).put(static_cast<char>(rgb >> 8 & 0xFF));
      out.put(static_cast<char>(rgb >> 16 & 0xFF));
    }
  }
}

inline void ExpectInsideTheField(const std::vector<std::string>& messages,
                                 const std::string& name) {
  const std::unique_ptr<TextRenderer> fonts = CreateTextRenderer();
  for (const auto& [width, height] : {std::pair{320, 200}, std::pair{1920, 1080}}) {
    FrameTexts texts;
    TextRecorder recorder(*fonts, texts);
    Surface field(width, height, 32, &recorder);
    DrawFieldMessages(field, width, height, messages, height / 4);
    std::vector<std::string> drawn;
    for (const TextDraw& line : texts.pending) {
      // The letters' box: the advance across, the em square (points at 96 dpi) down.
      const int32_t right = line.x + fonts->Width(line.text, line.font);
      const int32_t bottom = line.y + line.font.points * 4 / 3;
      EXPECT_TRUE(line.x >= 0 && line.y >= 0 && right <= width && bottom <= height)
          << name << ": \"" << line.text << "\" at (" << line.x << ", " << line.y << ") to ("
          << right << ", " << bottom << ") in " << width << "x" << height;
      drawn.push_back(line.text);
    }
    EXPECT_EQ(WithoutBlanks(drawn), WithoutBlanks(messages))
        << name << " in " << width << "x" << height;
    if (const char* folder = std::getenv("KRAYLO_TEST_PICTURES")) {
      std::string file = name + "-" + std::to_string(width) + "x" + std::to_string(height);
      std::replace_if(
          file.begin(), file.end(), [](char c) { return std::isalnum(c) == 0; }, '-');
      WritePicture(field, std::string(folder) + "/" + file + ".ppm");
    }
  }
}

}  // namespace kraylo::testing
