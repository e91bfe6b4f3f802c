# Shared by scripts/test and scripts/fuzz: the fuzz targets and how one run of
# them goes.  Source it after common.sh; do not run it.

# Each target: its name (velmora_<name>_fuzzer, seeds in tests/fuzz/corpus/<name>/)
# and the longest input it reads.
velmora_fuzz_targets=("scan 512" "verdict 256")

# velmora_fuzz SECONDS CORPORA: runs every target in turn for SECONDS on
# CORPORA/<name>/ (made from the seeds when missing), where new inputs are
# kept.  Stops at the first target that finds a fault, with its log and where
# the input is; prints each target's figures otherwise.
velmora_fuzz() {
  local seconds=$1 corpora=$2 target name max_len corpus log fuzzer input
  for target in "${velmora_fuzz_targets[@]}"; do
    read -r name max_len <<<"$target"
    fuzzer="$VELMORA_BUILD/fuzz/tests/fuzz/velmora_${name}_fuzzer"
    corpus="$corpora/$name"
    log="$corpora/$name.log"
    [ -d "$corpus" ] || { mkdir -p "$corpora" && cp -r "tests/fuzz/corpus/$name" "$corpus"; }
    velmora_log "fuzzing '$name' for $seconds seconds (load average $(cut -d' ' -f1-3 /proc/loadavg))"
    # Slow inputs are picked less often, and more than 256 MB of memory is a fault.
    if ! "$fuzzer" -max_total_time="$seconds" \
      -max_len="$max_len" -entropic_scale_per_exec_time=1 -rss_limit_mb=256 -print_final_stats=1 \
      -artifact_prefix="$corpora/$name-" "$corpus" >"$log" 2>&1; then
      tail -n 80 "$log"
      # The run records no allocation stacks; the input once more, with them.
      for input in "$corpora/$name-"*; do
        [ -f "$input" ] || continue
        echo "== $input, with the stacks of its allocations and frees" >&2
        ASAN_OPTIONS=malloc_context_size=30 "$fuzzer" "$input" 2>&1 | tail -n 80 >&2 || true
      done
      echo "fuzzing '$name' found a fault; the input is in $corpora/" >&2
      return 1
    fi
    grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
  done
}
