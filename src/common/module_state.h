// module_state.h: the one list of module resets. A module joins it beside the
// definition of its state, so a reset of the whole engine (ResetAllState)
// cannot miss one; a module whose state no program uses is not linked in and
// has nothing to reset.
#pragma once

using ModuleResetFn = void (*)();

// Adds reset to the list; meant for a namespace-scope constant:
//   const ModuleReset kLevelReset(ResetLevel);
struct ModuleReset {
  explicit ModuleReset(ModuleResetFn reset);
};

// Every joined module's reset, in the order they joined.
void ResetEveryModule();
