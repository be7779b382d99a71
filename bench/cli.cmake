# tulvar-midi-cli as scripts run it: two processes on a private JACK server.
tulvar_add_benchmark(bench_cli tulvar_midi tulvar_midi_jack tulvar_testkit Qt5::Core)
target_sources(bench_cli PRIVATE ${PROJECT_SOURCE_DIR}/tests/midi/jack/JackPeerClient.cpp)
target_include_directories(bench_cli PRIVATE ${PROJECT_SOURCE_DIR}/tests/midi/jack)
target_compile_definitions(bench_cli PRIVATE TULVAR_CLI_PROGRAM="$<TARGET_FILE:tulvar-midi-cli>")
add_dependencies(bench_cli tulvar-midi-cli)
