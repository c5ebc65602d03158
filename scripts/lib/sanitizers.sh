# shellcheck shell=bash
# The sanitizer and fuzz runs of scripts/test: a second build tree made with
# clang, AddressSanitizer and UndefinedBehaviorSanitizer (and libFuzzer's
# coverage hooks, so the fuzz targets build in the same tree), without the
# window. Source after common.sh, then:
#   snipwell_sanitizer_build          configures once and builds build-sanitize/
#   snipwell_sanitizer_tests LABEL... runs those ctest labels there; fails on
#                                     any failed test or any sanitizer report,
#                                     also from the media engine processes
#   snipwell_fuzz_run SECONDS         runs each fuzz target that long on a
#                                     seed corpus made afresh; fails on any
#                                     crash or report

SNIPWELL_SANITIZE_BUILD_DIR="$SNIPWELL_ROOT/build-sanitize"
# What the sanitizer build needs on top of the ordinary one: clang, and the
# sanitizer and libFuzzer run-time libraries.
SNIPWELL_SANITIZER_PACKAGES=(clang libclang-rt-14-dev llvm)

snipwell_sanitizer_build() {
  if [ ! -f "$SNIPWELL_SANITIZE_BUILD_DIR/build.ninja" ]; then
    local flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    cmake -S "$SNIPWELL_ROOT" -B "$SNIPWELL_SANITIZE_BUILD_DIR" -G Ninja \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
      -DSNIPWELL_BUILD_WINDOW=OFF -DSNIPWELL_BUILD_BENCH=OFF -DSNIPWELL_BUILD_FUZZ=ON \
      >/dev/null || return 1
  fi
  cmake --build "$SNIPWELL_SANITIZE_BUILD_DIR" -j "$(nproc)"
}

# Reports go to files rather than only to a test's output, so that a report
# from a media engine process (whose exit the test may never see) still
# fails the run.
snipwell__sanitizer_environment() {
  local reports="$1"
  export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$SNIPWELL_ROOT/scripts/lib/lsan-suppressions.txt:print_suppressions=0"
}

snipwell__check_reports() {
  local reports="$1" what="$2" report
  local found=0
  for report in "$reports"/*; do
    [ -e "$report" ] || continue
    found=1
    snipwell_log "sanitizer report from $what: $report"
    cat "$report" >&2
  done
  return "$found"
}

snipwell_sanitizer_tests() {
  local reports status=0 label
  reports="$(mktemp -d /tmp/snipwell-sanitizer-reports.XXXXXX)"
  (
    snipwell__sanitizer_environment "$reports"
    cd "$SNIPWELL_SANITIZE_BUILD_DIR"
    for label in "$@"; do
      # Media tests share one sink, so they run one at a time. A test that
      # fails is run once more: the instrumented build is slower, and a few
      # media tests follow the sound server in real time. A sanitizer report
      # fails the run whatever the second attempt does (see below).
      local jobs=1
      [ "$label" = unit ] && jobs="$(nproc)"
      ctest -L "^$label\$" -j "$jobs" \
        --output-on-failure --timeout 600 --repeat until-pass:2 || exit 1
    done
  ) || status=1
  snipwell__check_reports "$reports" "the sanitizer build's tests" || status=1
  rm -rf "$reports"
  return "$status"
}

snipwell_fuzz_run() {
  local seconds="$1" work status=0 target
  work="$(mktemp -d /tmp/snipwell-fuzz.XXXXXX)"
  "$SNIPWELL_ROOT/fuzz/make_seed_corpus.sh" "$work/seeds" || { rm -rf "$work"; return 1; }
  for target in command_parser_fuzz mp3_scan_fuzz info_frame_fuzz exact_cut_fuzz cue_sheet_fuzz \
    id3_chapters_fuzz level_answer_fuzz; do
    local corpus="$work/corpus-$target"
    mkdir -p "$corpus" "$work/reports-$target"
    snipwell_log "fuzzing $target for $seconds s"
    (
      snipwell__sanitizer_environment "$work/reports-$target"
      cd "$work"
      "$SNIPWELL_SANITIZE_BUILD_DIR/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$work/seeds/${target%_fuzz}" \
        >"$work/$target.log" 2>&1
    ) || { status=1; snipwell_log "$target failed:"; tail -n 60 "$work/$target.log" >&2; }
    snipwell__check_reports "$work/reports-$target" "$target" || status=1
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$work/$target.log" | \
      sed "s/^/$target: /" >&2 || true
  done
  rm -rf "$work"
  return "$status"
}
