# Two instrumented configurations, each in a build directory of its own:
#   FIAR_SANITIZE=ON  every program and test under AddressSanitizer and UndefinedBehaviorSanitizer;
#   FIAR_FUZZ=ON      (clang) the libraries carry libFuzzer's coverage hooks as well, and the
#                     fuzz targets under fuzz/ are built.
option(FIAR_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FIAR_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(fiar_sanitizer_flags -fsanitize=address,undefined -fno-omit-frame-pointer)

if(FIAR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FIAR_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang)")
  endif()
  # A finding must stop the run, undefined behaviour included.
  add_compile_options(${fiar_sanitizer_flags} -fsanitize=fuzzer-no-link -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(FIAR_SANITIZE)
  add_compile_options(${fiar_sanitizer_flags})
  add_link_options(-fsanitize=address,undefined)
endif()
