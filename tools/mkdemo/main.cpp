// tarn-mkdemo DIR: writes the demonstration game folder.
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/binary_reader.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tarn-mkdemo DIR\n");
    return 2;
  }
  std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir / "default" / "art", ec);
  if (!WriteFileAtomic((dir / "tarn.cfg").string(), {})) {
    std::fprintf(stderr, "tarn-mkdemo: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
