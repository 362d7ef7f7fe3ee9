// module_state.cpp: the list of module resets.
#include "common/module_state.h"

#include <vector>

namespace {

// Built on first use: modules join during static initialisation, in no set order.
std::vector<ModuleResetFn>& Resets() {
  static std::vector<ModuleResetFn> resets;
  return resets;
}

}  // namespace

ModuleReset::ModuleReset(ModuleResetFn reset) { Resets().push_back(reset); }

void ResetEveryModule() {
  for (ModuleResetFn reset : Resets()) reset();
}
