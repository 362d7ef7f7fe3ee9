// script_fuzz.cpp: tarn-run's input script parser.
#include <string>
#include <vector>

#include "../tools/run/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<ScriptEvent> events;
  int line = 0;
  std::string error;
  ParseScript(std::string(reinterpret_cast<const char*>(data), size), events, line, error);
  return 0;
}
