// tarn-soak: writes a seeded random tarn-run input script that works every
// mode of the program for a given number of frames: keys of the key table,
// the pointer and its buttons, menu commands, level keys, the attract
// restart, and the editor with its bar mode, menu (SAVE included), undo and
// redo, and tile viewer. It never quits: no Esc, no Exit command, never EXIT
// GAME.
//
//   tarn-soak --seed S --frames N > script.txt
//
// The script is open-loop, so the generator keeps a model of the mode the
// program is in, and spaces its actions so that each one starts with every
// key and button up (the editor's keys act once a press, after a release).
// A summary goes to stderr.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/input.h"
#include "shell/window.h"

namespace {

enum class Mode { Play, Editor, Viewer };

// splitmix64: the same numbers from the same seed on every machine.
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return int(Next() % uint64_t(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
};

class Session {
 public:
  Session(uint64_t seed, uint64_t frames) : rng_{seed}, last_(frames) {}

  void Run() {
    while (frame_ < last_) {
      switch (mode_) {
        case Mode::Play: PlayAction(); break;
        case Mode::Editor: EditorAction(); break;
        case Mode::Viewer: LeaveViewer(); break;
      }
      Gap();
    }
    std::fprintf(stderr,
                 "tarn-soak: %llu frames, %llu events: %d level loads, %d attract restarts, %d editor visits, "
                 "%d saves, %d large strokes, %d undos and redos, %d menu commands\n",
                 (unsigned long long)last_, (unsigned long long)events_, loads_, restarts_, visits_, saves_, sweeps_,
                 undos_, commands_);
  }

 private:
  // ---- Output ----------------------------------------------------------------

  void Line(const std::string& text) {
    if (frame_ > last_) return;  // the run ends before it
    std::printf("%llu %s\n", (unsigned long long)frame_, text.c_str());
    ++events_;
  }
  void Key(const char* name, const char* action) { Line(std::string("key ") + name + " " + action); }
  void Tap(const char* name) { Key(name, "tap"); }
  void Button(bool left, bool down) {
    Line(std::string("button ") + (left ? "left" : "right") + (down ? " down" : " up"));
  }
  void Pointer(int x, int y) { Line("mouse " + std::to_string(x) + " " + std::to_string(y)); }
  void Wait(int n) { frame_ += uint64_t(n); }
  // Frames with everything up, so the next action starts clean.
  void Gap() { Wait(2 + rng_.Below(3)); }
  // A tap, then the frame after it with the key up.
  void Press(const char* name) {
    Tap(name);
    Wait(2);
  }
  // Anywhere, a little off the frame too (the pointer is held to its edges).
  void SomePointer() { Pointer(rng_.Below(360) - 20, rng_.Below(240) - 20); }

  // ---- Every mode ------------------------------------------------------------

  // Menu commands except Exit, and a few ids that are none; About and Screen
  // Shot rarely, as they write a box and a file.
  void MenuCommand() {
    static constexpr int kIds[] = {kCommandToggleMenu,
                                   kCommandFullScreen,
                                   kCommandSizeNormal,
                                   kCommandSizeDouble,
                                   kCommandSizeResizeable,
                                   kCommandOrbets,
                                   kCommandTwoPlayers,
                                   kCommandFrameDump,
                                   kCommandContents,
                                   kCommandPlayerNone,
                                   0,
                                   999,
                                   kCommandUndo,
                                   kCommandRedo};
    int id = kIds[rng_.Below(int(std::size(kIds)))];
    if (rng_.Chance(3)) id = rng_.Chance(50) ? kCommandScreenShot : kCommandAbout;
    Line("menu " + std::to_string(id));
    ++commands_;
    // A recording holds its GIF in memory until it stops, which the memory
    // check would take for a leak: this one stops within two seconds.
    if (id == kCommandFrameDump) {
      Wait(30 + rng_.Below(90));
      Line("menu " + std::to_string(id));
      ++commands_;
    }
  }

  // A level key: its tile set and level, over whatever mode is on.
  void LevelKey() {
    static constexpr const char* kKeys[] = {"6", "7", "8", "9"};
    Press(kKeys[rng_.Below(4)]);
    ++loads_;
  }

  // ---- Play ------------------------------------------------------------------

  // A key of the key table not otherwise used: never Esc, and Enter only in
  // the editor's menu. E enters the editor, 5 restarts the attract sequence,
  // 6 to 9 load levels, 0 and 1 do nothing in play.
  const char* PlayKey() {
    for (;;) {
      const KeyInfo& k = KeyTable[size_t(rng_.Below(kKeyCount))];
      if (std::strcmp(k.name, "Esc") != 0 && std::strcmp(k.name, "Enter") != 0) return k.name;
    }
  }

  void PlayAction() {
    const int pick = rng_.Below(100);
    if (pick < 12) {
      LevelKey();
      Wait(rng_.Below(60));
    } else if (pick < 16) {
      Press("5");  // the sequence waits two seconds, then loads the attract level
      ++restarts_;
      Wait(rng_.Chance(50) ? 130 + rng_.Below(200) : rng_.Below(60));
    } else if (pick < 40) {
      const char* key = PlayKey();
      Press(key);
      if (std::strcmp(key, "E") == 0) EnterEditor();
      if (std::strcmp(key, "5") == 0) ++restarts_;
      if (key[0] >= '6' && key[0] <= '9' && key[1] == 0) ++loads_;
    } else if (pick < 55) {
      for (int k = rng_.Below(6) + 1; k > 0; --k) {
        SomePointer();
        if (rng_.Chance(30))
          Button(rng_.Chance(50), true), Wait(1 + rng_.Below(3)), Button(true, false), Button(false, false);
        Wait(1 + rng_.Below(4));
      }
    } else if (pick < 68) {
      MenuCommand();
      Wait(1);
    } else if (pick < 74) {
      Press(rng_.Chance(50) ? "F4" : "F8");
    } else if (pick < 90) {
      Press("E");
      EnterEditor();
    } else {
      Wait(rng_.Below(120));
    }
  }

  void EnterEditor() {
    mode_ = Mode::Editor;
    ++visits_;
  }

  // ---- Editor ----------------------------------------------------------------

  void EditorAction() {
    const int pick = rng_.Below(100);
    if (pick < 13) {
      Drag(true, rng_.Below(8) + 1);
    } else if (pick < 14) {
      Sweep();
    } else if (pick < 22) {
      SelectAndCopy();
    } else if (pick < 28) {
      Stamp();
    } else if (pick < 40) {
      static constexpr const char* kKeys[] = {"S", "Z", "Up", "Down", "Left", "Right", "G", "C", "Tab"};
      const char* key = kKeys[rng_.Below(int(std::size(kKeys)))];
      SomePointer();
      Press(key);
    } else if (pick < 46) {
      Key("Space", "down");
      static constexpr const char* kArrows[] = {"Up", "Down", "Left", "Right"};
      for (int k = rng_.Below(4) + 1; k > 0; --k) Press(kArrows[rng_.Below(4)]);
      Key("Space", "up");
    } else if (pick < 58) {
      LineKeys();
    } else if (pick < 70) {
      Bars();
    } else if (pick < 78) {
      Menu();
    } else if (pick < 83) {
      Press("1");
      mode_ = Mode::Viewer;
      viewerScroll_ = 0;
      Viewer();
    } else if (pick < 87) {
      LevelKey();
    } else if (pick < 91) {
      MenuCommand();
      Wait(1);
    } else if (pick < 95) {
      Undos();
    } else if (pick < 98) {
      // The pointer at an edge scrolls the view every frame.
      static constexpr int kEdges[][2] = {{0, 100}, {319, 100}, {160, 0}, {160, 199}, {0, 0}, {319, 199}};
      const auto& e = kEdges[rng_.Below(6)];
      Pointer(e[0], e[1]);
      Wait(rng_.Below(40) + 1);
      Pointer(160, 100);
    } else {
      Wait(rng_.Below(30));
    }
  }

  // A button held while the pointer moves: the left paints every cell
  // passed, the right selects.
  void Drag(bool left, int moves) {
    SomePointer();
    Wait(1);
    Button(left, true);
    for (int k = moves; k > 0; --k) SomePointer(), Wait(1);
    Button(left, false);
  }

  // A large stroke: the left button down over up to the whole screen, row
  // by row, a cell a frame; what the undo history keeps of it grows with it.
  void Sweep() {
    const int width = rng_.Below(40) + 1, height = rng_.Below(25) + 1;
    Pointer(4, 4), Wait(1);
    Button(true, true);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Pointer(x * 8 + 4, y * 8 + 4), Wait(1);
    Button(true, false);
    ++sweeps_;
  }

  void SelectAndCopy() {
    Drag(false, rng_.Below(4) + 1);
    Wait(2);
    Press("C");
  }

  void Stamp() {
    SomePointer();
    Wait(1);
    Key("P", "down");
    for (int k = rng_.Below(6) + 1; k > 0; --k) SomePointer(), Wait(1);
    Key("P", "up");
  }

  // W, E, R, T, Y, U on the line under the pointer, with Alt for steps of ten.
  void LineKeys() {
    static constexpr const char* kKeys[] = {"W", "E", "R", "T", "Y", "U"};
    SomePointer();
    const bool alt = rng_.Chance(30);
    if (alt) Key("Alt", "down");
    for (int k = rng_.Below(5) + 1; k > 0; --k) Press(kKeys[rng_.Below(6)]);
    if (alt) Key("Alt", "up");
  }

  // Bar mode (Ctrl held, panel shown): a plane picked, shown or hidden, a
  // plane inserted or deleted, a type given. With the panel hidden Ctrl does
  // nothing and these land on the plane.
  void Bars() {
    Key("Ctrl", "down");
    for (int k = rng_.Below(3) + 1; k > 0; --k) {
      if (rng_.Chance(70))
        Pointer((2 * rng_.Below(18) + 9) * 8 + 4, 54);  // a plane number or the X
      else
        Pointer((5 * rng_.Below(6) + 7) * 8 + 10, 74);  // a type name
      Wait(1);
      switch (rng_.Below(4)) {
        case 0: Button(true, true), Wait(1), Button(true, false); break;
        case 1: Button(false, true), Wait(1), Button(false, false); break;
        case 2: Tap("A"); break;
        default: Tap("D"); break;
      }
      Wait(2);
    }
    Key("Ctrl", "up");
  }

  // 0 opens the menu at NEW. Before any Enter the pointer is driven to the
  // top with Up, then down to the entry chosen, never to EXIT GAME: even a
  // menu the model got wrong cannot be at the last entry then.
  void Menu() {
    Press("0");
    const int pick = rng_.Below(100);
    int entry;
    if (pick < 45)
      entry = 1;  // SAVE
    else if (pick < 70)
      entry = 7;  // RETURN TO GAME
    else if (pick < 74)
      entry = 0;  // NEW
    else
      entry = 2 + rng_.Below(5);  // SAVE AS .. LEVEL WARP: nothing happens
    for (int k = 0; k < 8; ++k) Press("Up");
    for (int k = 0; k < entry; ++k) Press("Down");
    if (entry == 6)
      for (int k = rng_.Below(4); k > 0; --k) Press(std::string("SAFD").substr(size_t(rng_.Below(4)), 1).c_str());
    if (rng_.Chance(10)) {
      Press("0");  // closed without a choice
      return;
    }
    Press("Enter");
    if (entry == 1) ++saves_;
    if (entry == 7) mode_ = Mode::Play;
    if (entry >= 2 && entry <= 6) Press("0");  // still open: close it
  }

  // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, a run of them; now and then in the
  // middle of a stroke.
  void Undos() {
    const bool stroke = rng_.Chance(20);
    if (stroke) SomePointer(), Button(true, true), Wait(1);
    Key("Ctrl", "down");
    for (int k = rng_.Below(4) + 1; k > 0; --k) {
      const int which = rng_.Below(3);
      if (which == 2) Key("Shift", "down");
      Press(which == 0 ? "Z" : which == 1 ? "Y" : "Z");
      if (which == 2) Key("Shift", "up");
      ++undos_;
    }
    Key("Ctrl", "up");
    if (stroke) SomePointer(), Wait(1), Button(true, false);
  }

  // ---- Tile viewer -------------------------------------------------------------

  // A look around: the pointer at the bottom scrolls down, at the top up.
  void Viewer() {
    for (int k = rng_.Below(4); k > 0; --k) {
      const int y = rng_.Chance(50) ? 195 : 40 + rng_.Below(140);
      Pointer(rng_.Below(320), y);
      const int frames = rng_.Below(20) + 1;
      if (y >= 191) viewerScroll_ += 8 * frames;
      Wait(frames);
    }
    LeaveViewer();
  }

  // Back to the top (the pointer above row 8 scrolls up a row a frame), then
  // a click on tile 0, which every set has.
  void LeaveViewer() {
    Pointer(4, 2);
    Wait(viewerScroll_ / 8 + 2);
    viewerScroll_ = 0;
    Button(true, true);
    Wait(1);
    Button(true, false);
    Wait(1);
    mode_ = Mode::Editor;
  }

  Random rng_;
  uint64_t last_;
  uint64_t frame_ = 1;
  uint64_t events_ = 0;
  Mode mode_ = Mode::Play;
  int viewerScroll_ = 0;
  int loads_ = 0, restarts_ = 0, visits_ = 0, saves_ = 0, sweeps_ = 0, undos_ = 0, commands_ = 0;
};

bool Number(const char* text, uint64_t& out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  out = std::strtoull(text, &end, 10);
  return *end == 0 && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t seed = 1, frames = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[++i] : nullptr;
    if (!((a == "--seed" && Number(v, seed)) || (a == "--frames" && Number(v, frames)))) {
      std::fprintf(stderr, "usage: tarn-soak --seed S --frames N > script.txt\n");
      return 2;
    }
  }
  if (frames == 0) {
    std::fprintf(stderr, "usage: tarn-soak --seed S --frames N > script.txt\n");
    return 2;
  }
  Session(seed, frames).Run();
  return 0;
}
