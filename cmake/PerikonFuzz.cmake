# The fuzz build: every target compiled with libFuzzer's coverage hooks and the address and
# undefined-behaviour sanitizers; an undefined-behaviour report stops the run like a crash, so the
# fuzzer keeps the input. The fuzz targets themselves link libFuzzer (perikon_add_fuzzer).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "PERIKON_FUZZ needs clang (libFuzzer): configure with "
                        "-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
endif()

set(PERIKON_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
add_compile_options(${PERIKON_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
add_link_options(-fsanitize=address,undefined)

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *, std::size_t) { return 0; }
]] PERIKON_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
if(NOT PERIKON_HAVE_LIBFUZZER)
    message(FATAL_ERROR "clang cannot link libFuzzer here: install libclang-rt-dev")
endif()

# perikon_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer executable in <build>/fuzz/. Its seed corpus is fuzz/corpus/<name without fuzz_>/ and
# its dictionary, when it has one, fuzz/dict/<name without fuzz_>.dict; scripts/fuzz.sh runs it.
function(perikon_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    set_property(GLOBAL APPEND PROPERTY PERIKON_FUZZERS ${name})
endfunction()
