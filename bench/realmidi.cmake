# The JACK path end to end, against a private server started like the tests' own.
tulvar_add_benchmark(bench_jack_roundtrip tulvar_midi tulvar_midi_jack tulvar_testkit)
