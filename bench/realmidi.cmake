# The JACK path end to end, against a private server started like the tests' own.
tulvar_add_benchmark(bench_jack_roundtrip tulvar_midi tulvar_midi_jack tulvar_testkit)

# The timing clock and active sensing threads sending to a JACK peer on a short-period server.
tulvar_add_benchmark(bench_realtime_transmitters tulvar_engine tulvar_midi tulvar_midi_jack tulvar_testkit)
