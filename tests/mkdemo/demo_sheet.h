// demo_sheet.h: the read-back the mkdemo tests share: a builder's files in a
// scratch data folder as tarn-mkdemo lays them out, a sheet read back through
// the engine's PCX reader, and the check every sheet takes: its ink lies only
// in the rectangles the engine cuts from it, in the colours it may use.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_file.h"
#include "gfx/pcx.h"
#include "level/file_fixture.h"
#include "shell/startup.h"

struct SheetRect {
  int x, y, w, h;
  bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class DemoFolderTest : public FileTest {
 protected:
  // Writes the files under default/ and makes it the data folder.
  void WriteDemo(const DemoFiles& files) {
    for (const DemoFile& f : files) Write("default/" + f.path, f.bytes);
    Startup.DataDir = Startup.DefaultDataDir = Path("default");
    AllocateScratchPixels();
  }
  // Reads a sheet of the data folder into the scratch image.
  void LoadSheet(const std::string& name) { ASSERT_EQ(LoadPcx(Path("default/" + name), ScratchImage, 0), 1); }
  uint8_t At(int x, int y) const { return ScratchImage.pixels[size_t(y) * 320 + size_t(x)]; }

  // Every rectangle lies on the sheet; every inked pixel inside `area` lies
  // in a rectangle (in exactly one when `exclusive`: a sprite cut from a
  // shared pixel would carry a piece of its neighbour) and has a colour
  // `colourOk` accepts.
  template <class ColourOk>
  void ExpectInkOnlyInRects(const std::vector<SheetRect>& rects, bool exclusive, ColourOk colourOk,
                            SheetRect area = {0, 0, 320, 200}) const {
    for (const SheetRect& r : rects)
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= 320 && r.y + r.h <= 200) << r.x << "," << r.y;
    for (int y = area.y; y < area.y + area.h; ++y)
      for (int x = area.x; x < area.x + area.w; ++x) {
        const uint8_t v = At(x, y);
        if (!v) continue;
        int owners = 0;
        for (const SheetRect& r : rects) owners += r.Holds(x, y);
        EXPECT_TRUE(exclusive ? owners == 1 : owners >= 1) << owners << " rectangles hold ink at " << x << "," << y;
        EXPECT_TRUE(colourOk(v)) << "colour " << int(v) << " at " << x << "," << y;
      }
  }
};
