# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Flags of the fuzzing build. Every library is compiled with coverage feedback and the address and
# undefined-behaviour checks; only the harnesses link libFuzzer's driver (fuzz/CMakeLists.txt).
# Configure a separate build folder with clang, for example:
#   CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug \
#       -DVERANDIX_FUZZ=ON -DVERANDIX_BENCH=OFF
# A Debug build keeps Q_ASSERT, so an assertion that bad input can reach counts as a finding;
# -O1 keeps the harnesses fast enough.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VERANDIX_FUZZ needs clang (libFuzzer): configure with CXX=clang++-14")
endif()
if(VERANDIX_SANITIZE)
    message(FATAL_ERROR "VERANDIX_FUZZ brings its own sanitizers: leave VERANDIX_SANITIZE off")
endif()
# Undefined behaviour must stop the run so that libFuzzer records the input.
set(VERANDIX_FUZZ_SANITIZERS address,undefined)
add_compile_options(-fsanitize=fuzzer-no-link,${VERANDIX_FUZZ_SANITIZERS}
    -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1
    # Qt's logging macros called without arguments; clang's pedantic mode alone objects.
    -Wno-gnu-zero-variadic-macro-arguments)
add_link_options(-fsanitize=${VERANDIX_FUZZ_SANITIZERS})
