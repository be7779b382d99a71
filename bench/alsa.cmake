# The ALSA sending path against a real sequencer: run it in the guest,
#   scripts/alsa-vm.sh build/bench/bench_alsa_send
tulvar_add_benchmark(bench_alsa_send tulvar_alsa_peer)
