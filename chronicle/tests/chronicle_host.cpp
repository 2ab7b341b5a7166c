// Loads the log library from argv[1] and calls Chronicle(argv[3], argv[2]) argv[4] times
// ("-" as the text passes a null pointer). With "pause" as argv[5] it waits for a line on
// standard input after the first call, so a test can change the world while the library is
// loaded. Exits with Chronicle's result, or 100 when the library or the function cannot be found.
#include <dlfcn.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: chronicle_host <library> <category> <text|-> [count]\n");
    return 100;
  }
  void* library = ::dlopen(argv[1], RTLD_NOW);
  if (library == nullptr) return 100;
  using LogFunction = int (*)(const char*, int);
  auto log = reinterpret_cast<LogFunction>(::dlsym(library, "Chronicle"));
  if (log == nullptr) return 100;
  const int category = std::atoi(argv[2]);
  const char* text = std::strcmp(argv[3], "-") == 0 ? nullptr : argv[3];
  const int count = argc > 4 ? std::atoi(argv[4]) : 1;
  const bool pause = argc > 5 && std::strcmp(argv[5], "pause") == 0;
  int result = 0;
  for (int i = 0; i < count; ++i) {
    result |= log(text, category);
    if (i == 0 && pause) {
      std::string line;
      std::getline(std::cin, line);
    }
  }
  return result;
}
