// editor_art.h: the level editor's images: the pointer, cell box and guide
// lines it draws (cursor.pcx), and its icon sheet (tedit.pcx).
#pragma once

#include "demo_file.h"

// Where the editor cuts its sprites from cursor.pcx.
struct CursorLayout {
  static constexpr int kPointerX = 1, kPointerY = 1, kPointerSize = 8;
  static constexpr int kBoxX = 12, kBoxY = 1, kBoxSize = 10;
  static constexpr int kHGuideX = 20, kHGuideY = 22, kGuideLength = 21;
  static constexpr int kVGuideX = 29, kVGuideY = 12;
  static constexpr int kTargetX = 1, kTargetY = 12, kTargetSize = 18;
};

// Where the editor cuts its icons from tedit.pcx: a 16 x 4 grid of 8x8 icons
// on a 9-pixel pitch, one row of single icons under it, a 10x10 button.
struct IconLayout {
  static constexpr int kGridX = 174, kGridY = 1, kPitch = 9, kColumns = 16, kRows = 4, kIcon = 8;
  static constexpr int kSingleX = 166, kSingleY = 37;
  static constexpr int kButtonSize = 10;
};

// editor/cursor.pcx and editor/tedit.pcx, paths under default/.
DemoFiles BuildEditorArt();
