#!/bin/bash
# snipwell-cut --exact with --gain and fades against the plain --exact cut of
# the same range, in the same run, and the byte-range cut with and without
# --gain; --gain max adds one decode of the clip in snipwell-level-probe:
#   bench/clip/run_gain_bench.sh BUILD_DIR [OUT.md]
# Makes a ~220 MB MP3 in /tmp (removed afterwards) and cuts the same 200 MB
# selection each way, median of 3 runs, warm cache.
set -euo pipefail
build=$(realpath "${1:?usage: run_gain_bench.sh BUILD_DIR [OUT.md]}")
out=${2:-/dev/stdout}
work=$(mktemp -d /tmp/snipwell-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/bench_lib.sh"
src=$(make_big_mp3 "$work")
size=$(stat -c %s "$src")

# 200 MB of the file's 128 kbit/s stream is 12,500,000 ms.
begin_ms=500000
end_ms=$((begin_ms + 12500000))

timed() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" > "$work/summary" 2>/dev/null; cat "$work/time"; }
run() {  # NAME OPTIONS... -> "seconds peak_kib"
  local name=$1; shift
  timed "$build/snipwell-cut" --force "$@" "$src" "$begin_ms" "$end_ms" "$work/$name.mp3" < /dev/null
}

declare -A options=(
  [exact]="--exact"
  [exact_gain]="--exact --gain 3"
  [exact_gain_fades]="--exact --gain 3 --fade-in 1 --fade-out 2"
  [exact_fades]="--exact --fade-in 1 --fade-out 2"
  [exact_gain_max]="--exact --gain max"
  [bytes]=""
  [bytes_gain]="--gain 3"
)
order=(exact exact_gain exact_gain_fades exact_fades exact_gain_max bytes bytes_gain)
declare -A seconds memory summary
for name in "${order[@]}"; do
  # shellcheck disable=SC2086
  run "$name" ${options[$name]} > /dev/null  # warm the cache
  declare -a t=() m=()
  for _ in 1 2 3; do
    # shellcheck disable=SC2086
    read -r a b < <(run "$name" ${options[$name]}); t+=("$a"); m+=("$b")
  done
  seconds[$name]=$(printf '%s\n' "${t[@]}" | median)
  memory[$name]=$(printf '%s\n' "${m[@]}" | median)
  summary[$name]=$(sed 's/^Saved [^:]*: //' "$work/summary")
done
ratio() { python3 -c "print(f'{${seconds[$1]}/${seconds[$2]}:.2f}')"; }
{
  echo "### Gain and fades ($(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"), $(date -u +%Y-%m-%d))"
  echo
  echo "The same 12,500 s selection (about 200 MB) of a $((size / 1000000)) MB MP3, warm cache, median of 3."
  echo
  echo "| snipwell-cut | seconds | × --exact | peak memory | summary line |"
  echo "|---|---|---|---|---|"
  for name in "${order[@]}"; do
    echo "| ${options[$name]:-(byte range)} | ${seconds[$name]} | $(ratio "$name" exact) | ${memory[$name]} KiB | ${summary[$name]} |"
  done
  echo
  echo "--gain 3 on the byte-range cut takes $(ratio bytes_gain bytes)× the plain byte-range cut."
} > "$out"
