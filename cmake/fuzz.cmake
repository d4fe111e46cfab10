# libFuzzer programs: each tests/fuzz/NAME.cpp becomes build/fuzz/fuzz_NAME.
# The core is built with coverage for the fuzzer and with ASan and UBSan, so
# a fault in it stops the run with the input that caused it.
option(ORVA_FUZZ "Build the fuzz programs (clang only)" OFF)

if(ORVA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ORVA_FUZZ needs clang++ (libFuzzer); use the fuzz preset")
  endif()
  set(ORVA_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all
                           -fno-omit-frame-pointer)
  target_compile_options(orva_core PRIVATE -fsanitize=fuzzer-no-link ${ORVA_FUZZ_SANITIZERS})

  file(GLOB ORVA_FUZZ_TARGETS CONFIGURE_DEPENDS tests/fuzz/*.cpp)
  foreach(source ${ORVA_FUZZ_TARGETS})
    get_filename_component(name ${source} NAME_WE)
    add_executable(fuzz_${name} ${source})
    target_link_libraries(fuzz_${name} PRIVATE orva_core)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer ${ORVA_FUZZ_SANITIZERS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer ${ORVA_FUZZ_SANITIZERS})
    orva_warnings(fuzz_${name})
  endforeach()
endif()
