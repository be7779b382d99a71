# The ALSA sending path against a real sequencer: run it in the guest,
#   scripts/alsa-vm.sh build/bench/bench_alsa_send
tulvar_add_benchmark(bench_alsa_send tulvar_midi_alsa)
target_sources(bench_alsa_send PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/midi/alsa/AlsaPeerClient.cpp ${PROJECT_SOURCE_DIR}/tests/midi/alsa/RawMidiDevice.cpp)
target_include_directories(bench_alsa_send PRIVATE ${PROJECT_SOURCE_DIR}/tests/midi/alsa ${PROJECT_SOURCE_DIR}/tests)
