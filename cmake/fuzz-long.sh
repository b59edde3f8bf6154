#!/usr/bin/env bash
# A long fuzzing run: every fuzz target at once for a fixed time (default 1500 s, so that the
# build and the run stay within 30 minutes on 8 cores). Each target runs one worker, except the
# road network, whose every input opens some thirty files: it runs a few thousand inputs a second
# where the others run tens or hundreds of thousands, so it gets a second worker sharing its
# corpus. Each target keeps its corpus between runs under build/fuzz-corpus/TARGET and is seeded
# with its saved regression inputs. A worker that finds a fault writes the input to
# build/fuzz-crashes/TARGET/ and starts again for the time left. At the end one line per target
# gives the executions, the executions per second and the faults found; copy a fault's input
# (once mended) into fuzz/FOLDER/regressions/TARGET/ so that make test replays it. Exit 1 when a
# fault was found.
set -uo pipefail
build=${1:-build/fuzz}
seconds=${2:-1500}
root=$(cd "$(dirname "$0")/.." && pwd)
corpus_root="$root/build/fuzz-corpus"
crash_root="$root/build/fuzz-crashes"
log_root="$root/build/fuzz-logs"

workers_of() {
  case "$1" in
    fuzz_network) echo 2 ;;
    *) echo 1 ;;
  esac
}

mapfile -t targets < <(find "$build/fuzz" -mindepth 2 -maxdepth 2 -type f -name 'fuzz_*' -perm -u+x ! -name '*_replay' | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets under $build/fuzz: run make fuzz first (it needs clang)" >&2
  exit 2
fi
rm -rf "$log_root"
mkdir -p "$corpus_root" "$crash_root" "$log_root"
stamp="$log_root/started"
touch "$stamp"

# One worker: libFuzzer again and again until the time is spent (a fault ends a run early).
worker() {
  local exe=$1 name=$2 index=$3 seeds=$4
  local corpus="$corpus_root/$name" crashes="$crash_root/$name/"
  local end=$((SECONDS + seconds)) run=0
  while [ $((end - SECONDS)) -gt 1 ] && [ $run -lt 20 ]; do
    run=$((run + 1))
    "$exe" -max_total_time=$((end - SECONDS)) -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$crashes" "$corpus" ${seeds:+"$seeds"} \
      > "$log_root/$name.$index.$run.log" 2>&1
  done
}

echo "fuzzing ${#targets[@]} targets for $seconds s each"
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  folder=$(basename "$(dirname "$exe")")
  mkdir -p "$corpus_root/$name" "$crash_root/$name"
  seeds=""
  [ -d "$root/fuzz/$folder/regressions/$name" ] && seeds="$root/fuzz/$folder/regressions/$name"
  for ((i = 1; i <= $(workers_of "$name"); i++)); do
    worker "$exe" "$name" "$i" "$seeds" &
  done
done
wait

# Executions of one run: the final count, or the last progress line of a run that ended on a fault.
executions_of() {
  local n
  n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$1" | tail -1)
  [ -z "$n" ] && n=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$1" | tail -1)
  echo "${n:-0}"
}

status=0
total=0
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  runs=0
  execs=0
  for log in "$log_root/$name".*.log; do
    [ -f "$log" ] || continue
    execs=$((execs + $(executions_of "$log")))
    runs=$((runs + 1))
  done
  faults=$(find "$crash_root/$name" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) -newer "$stamp" 2>/dev/null | wc -l)
  [ "$faults" -gt 0 ] && status=1
  total=$((total + execs))
  echo "target=$name workers=$(workers_of "$name") seconds=$seconds executions=$execs exec_per_s=$((execs / seconds)) runs=$runs faults=$faults"
done
echo "total_executions=$total"
[ $status -ne 0 ] && echo "faults found: inputs under $crash_root"
exit $status
