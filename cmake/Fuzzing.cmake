# The fuzz build: every library is instrumented for libFuzzer's coverage and
# built with AddressSanitizer and UndefinedBehaviorSanitizer; the targets in
# fuzz/ link libFuzzer's driver. Only clang has libFuzzer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "OSKEL_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++ "
                      "(scripts/fuzz.sh does; scripts/setup.sh installs clang and libclang-rt-dev)")
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer,address,undefined")
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] OSKEL_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT OSKEL_HAVE_LIBFUZZER)
  message(FATAL_ERROR "clang cannot link libFuzzer with the sanitizers: install libclang-rt-dev "
                      "(scripts/setup.sh does)")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
