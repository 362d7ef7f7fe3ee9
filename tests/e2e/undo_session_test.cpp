// undo_session_test.cpp: undo and redo through tarn-run, by the Edit menu's
// commands and by the keys, checked against what SAVE writes; and the
// .unsaved file a quit leaves.
#include <filesystem>
#include <utility>
#include <vector>

#include "run_tarn.h"

namespace {

// Script events, each some frames after the one before it.
using Events = std::vector<std::pair<int, std::string>>;

Events operator+(Events a, const Events& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Events Paint(int x, int y) {
  return {{1, "mouse " + std::to_string(x) + " " + std::to_string(y)},
          {1, "button left down"},
          {1, "mouse " + std::to_string(x + 16) + " " + std::to_string(y)},
          {1, "button left up"}};
}

const Events kSave = {{2, "key 0 tap"}, {2, "key Down tap"}, {2, "key Enter tap"}};

// Painting, a stamp, a plane inserted and retyped and painted on, NEW and a
// stroke on the new level: seven steps.
Events Edits() {
  return Events{{2, "key S tap"}, {2, "key S tap"}} + Paint(100, 100) +
         Events{{2, "mouse 116 108"}, {1, "button right down"}, {1, "mouse 100 100"},  {1, "button right up"},
                {1, "key C tap"},     {2, "mouse 140 100"},     {1, "key P down"},     {1, "mouse 164 100"},
                {1, "key P up"},      {2, "key Ctrl down"},     {1, "mouse 140 54"},   {1, "key A tap"},
                {2, "mouse 179 74"},  {1, "button left down"},  {1, "button left up"}, {1, "key Ctrl up"}} +
         Paint(20, 20) + Events{{2, "key 0 tap"}, {2, "key Enter tap"}} + Paint(60, 60);
}

// More undos (redos) than there are steps, by the menu's command or the keys.
Events Undos(bool keys, bool redo) {
  Events out;
  for (int k = 0; k < 9; ++k) {
    if (keys)
      out = out + Events{{2, "key Ctrl down"}, {1, redo ? "key Y tap" : "key Z tap"}, {2, "key Ctrl up"}};
    else
      out.push_back({1, redo ? "menu 5001" : "menu 5000"});
  }
  return out;
}

class UndoSession : public RunTarnTest {
 protected:
  // A fresh copy of the demo folder (3.lev made a folder when asked), level
  // `key` loaded, the editor, the events.
  RunResult Play(const Events& events, const char* key = "6", bool folder3 = false) {
    std::filesystem::remove_all(Path("game"));
    std::filesystem::copy(TARN_GAME_DIR, Path("game"), std::filesystem::copy_options::recursive);
    if (folder3) std::filesystem::remove(Path("game/3.lev")), std::filesystem::create_directory(Path("game/3.lev"));
    std::string script = std::string("1 key ") + key + " tap\n3 key E tap\n";
    int frame = 3;
    for (const auto& [gap, event] : events) script += std::to_string(frame += gap) + " " + event + "\n";
    const RunResult r = Run("--frames " + std::to_string(frame + 3) + Script(script), Path("game"));
    EXPECT_EQ(r.code, 0) << r.err;
    return r;
  }
  // What SAVE wrote after the events.
  Bytes SavedAfter(const Events& events) {
    Play(events + kSave);
    return Read("game/1.lev");
  }
  bool Exists(const std::string& name) { return std::filesystem::exists(Path("game/" + name)); }
};

TEST_F(UndoSession, UndoingEverythingSavesTheLevelAsLoadedAndRedoingItAsEdited) {
  const Bytes loaded = SavedAfter({});
  const Bytes edited = SavedAfter(Edits());
  ASSERT_NE(edited, loaded);
  for (bool keys : {false, true}) {
    EXPECT_EQ(SavedAfter(Edits() + Undos(keys, false)), loaded) << (keys ? "keys" : "menu");
    EXPECT_EQ(SavedAfter(Edits() + Undos(keys, false) + Undos(keys, true)), edited) << (keys ? "keys" : "menu");
  }
}

// Esc, File > Exit and EXIT GAME all end through the shell's quit.
TEST_F(UndoSession, AQuitWithUnsavedChangesKeepsThemBesideTheLevelAndOnlyThen) {
  const Bytes saved = SavedAfter(Paint(100, 100));
  Events exitGame = {{2, "key 0 tap"}};
  for (int k = 0; k < 8; ++k) exitGame.push_back({2, "key Down tap"});
  exitGame.push_back({2, "key Enter tap"});
  for (const Events& quit : {Events{{2, "key Esc tap"}}, Events{{2, "menu 1001"}}, exitGame}) {
    const RunResult r = Play(Paint(100, 100) + quit);
    EXPECT_NE(r.out.find("unsaved changes to 1.lev kept in 1.lev.unsaved"), std::string::npos) << r.out;
    EXPECT_EQ(Read("game/1.lev.unsaved"), saved) << quit.back().second;
    EXPECT_EQ(Read("game/1.lev"), ReadWholeFile(TARN_GAME_DIR "/1.lev").value_or(Bytes{}));
  }
  // No change, a change saved, a change undone: nothing to keep.
  const Events esc = {{3, "key Esc tap"}};
  for (const Events& clean : {esc, Paint(100, 100) + kSave + esc, Paint(100, 100) + Events{{2, "menu 5000"}} + esc}) {
    Play(clean);
    EXPECT_FALSE(Exists("1.lev.unsaved")) << clean.size();
  }
}

// A level file that did not load is never written beside, as SAVE never
// writes over it; stderr says the changes were not kept.
TEST_F(UndoSession, NoUnsavedFileBesideALevelSaveWouldRefuse) {
  const RunResult r = Play(Events{{2, "key S tap"}} + Paint(100, 100) + Events{{2, "key Esc tap"}}, "7", true);
  EXPECT_FALSE(Exists("3.lev.unsaved"));
  EXPECT_NE(r.err.find("3.lev: unsaved changes not kept: the file there is a folder and was not loaded"),
            std::string::npos)
      << r.err;
}

}  // namespace
