# tulvar-midi-cli as scripts run it: two processes on a private JACK server.
tulvar_add_benchmark(bench_cli tulvar_midi tulvar_jack_peer Qt5::Core)
target_compile_definitions(bench_cli PRIVATE TULVAR_CLI_PROGRAM="$<TARGET_FILE:tulvar-midi-cli>")
add_dependencies(bench_cli tulvar-midi-cli)
