# The fuzzer links its own build of the two C libraries, with edge coverage and the sanitizers, or
# it would run blind; the libraries the tests link stay as they are. Comparison tracing is left
# out and some optimisation added: the parser's comparisons are plain byte tests, and the runs
# per second matter more in the 60 s of CI.
file(GLOB midilib_fuzzing_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/small/StaticMemoryLibrary/*.c ${PROJECT_SOURCE_DIR}/small/MidiLibrary/*.c)
add_library(tulvar_midilib_fuzzing STATIC ${midilib_fuzzing_sources})
set_target_properties(tulvar_midilib_fuzzing PROPERTIES AUTOMOC OFF)
target_include_directories(tulvar_midilib_fuzzing PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tulvar_midilib_fuzzing PRIVATE -O1 -fsanitize=address,undefined -fno-sanitize-recover=all
                                                      -fsanitize-coverage=inline-8bit-counters,pc-table)
tulvar_add_fuzzer(fuzz_parser tulvar_midilib_fuzzing tulvar_testkit)
target_compile_options(fuzz_parser PRIVATE -O1)
