#!/usr/bin/env bash
# Runs every fuzz target for a bounded time from its seed corpus (kept in
# fuzz/corpus, never written to); new inputs go to a working corpus in the
# build folder. A crash, leak or timeout fails the run and leaves the input
# in BUILD/fuzz-artifacts for a regression test.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-30}
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for target in ini commandline keyfilter dialect template; do
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  echo "fuzz_$target: $seconds s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      QT_QPA_PLATFORM=offscreen \
      "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$work" "fuzz/corpus/$target" \
      > "$build/fuzz-$target.log" 2>&1; then
    echo "fuzz_$target found a failure; see $build/fuzz-$target.log and $artifacts" >&2
    tail -30 "$build/fuzz-$target.log" >&2
    status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$build/fuzz-$target.log" | tail -2
  fi
done
exit $status
