# shellcheck shell=bash
# A private PulseAudio server with one null sink, for the media tests.
#
# Source this file, then:
#   snipwell_pulse_start   starts the server, exports PULSE_SERVER,
#                          XDG_RUNTIME_DIR and SNIPWELL_TEST_SINK (the null
#                          sink's name; record it with
#                          `parec -d "$SNIPWELL_TEST_SINK.monitor" --raw`),
#                          and returns once the sink answers with low latency.
#   snipwell_pulse_stop    stops what snipwell_pulse_start started and removes
#                          its runtime folder. Safe to call twice or without a start.
#
# Why the silent stream: an idle null sink renders about 2 s ahead, so every
# new playback would stall its clock for well over a second. A never-ending
# low-latency stream of silence keeps the sink rendering at 20 ms, which is
# what makes playback positions trustworthy from the first moment.
#
# The server runs in user mode without D-Bus; as root it needs --disallow-exit
# and anonymous auth on a socket in a folder of our own.
#
# Safe to source into scripts running with `set -euo pipefail`.

SNIPWELL_PULSE_RUNTIME_DIR=""
SNIPWELL_PULSE_KEEPALIVE_PID=""
SNIPWELL_PULSE_SAVED_XDG_RUNTIME_DIR=""
SNIPWELL_PULSE_SAVED_PULSE_SERVER=""

snipwell_pulse__log() { printf 'pulseaudio: %s\n' "$*" >&2; }

# Latency of the test sink in microseconds, as `pactl list sinks` reports it.
snipwell_pulse__sink_latency_usec() {
  pactl list sinks 2>/dev/null | awk -v sink="$SNIPWELL_TEST_SINK" '
    $1 == "Name:" { mine = ($2 == sink) }
    mine && $1 == "Latency:" && !found { print $2; found = 1 }' || true
}

snipwell_pulse_start() {
  local sink_name=snipwell_test_sink
  local tries tool

  for tool in pulseaudio pactl pacat; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      snipwell_pulse__log "$tool is not installed"
      return 1
    fi
  done

  SNIPWELL_PULSE_SAVED_XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR-}"
  SNIPWELL_PULSE_SAVED_PULSE_SERVER="${PULSE_SERVER-}"
  SNIPWELL_PULSE_RUNTIME_DIR="$(mktemp -d /tmp/snipwell-pulse.XXXXXX)" || return 1
  chmod 700 "$SNIPWELL_PULSE_RUNTIME_DIR"
  export XDG_RUNTIME_DIR="$SNIPWELL_PULSE_RUNTIME_DIR"
  export PULSE_SERVER="unix:$SNIPWELL_PULSE_RUNTIME_DIR/native"
  export SNIPWELL_TEST_SINK="$sink_name"

  # -n: no default configuration (no hardware modules, no D-Bus modules).
  if ! pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit \
      --disable-shm=yes --use-pid-file=yes --log-target=stderr \
      -L "module-native-protocol-unix auth-anonymous=1 socket=$SNIPWELL_PULSE_RUNTIME_DIR/native" \
      -L "module-null-sink sink_name=$sink_name" \
      2>"$SNIPWELL_PULSE_RUNTIME_DIR/server.log"; then
    snipwell_pulse__log "the server did not start; its log:"
    cat "$SNIPWELL_PULSE_RUNTIME_DIR/server.log" >&2
    snipwell_pulse_stop
    return 1
  fi

  for tries in $(seq 1 50); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! pactl info >/dev/null 2>&1; then
    snipwell_pulse__log "the server does not answer on $PULSE_SERVER"
    snipwell_pulse_stop
    return 1
  fi
  pactl set-default-sink "$sink_name" >/dev/null 2>&1 || true

  pacat -p --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 \
    --device="$sink_name" --client-name=snipwell-keepalive </dev/zero &
  SNIPWELL_PULSE_KEEPALIVE_PID=$!

  # Wait until the sink renders no more than 50 ms ahead.
  local latency
  for tries in $(seq 1 100); do
    latency="$(snipwell_pulse__sink_latency_usec)"
    if [[ -n "$latency" && "$latency" -lt 50000 ]]; then
      return 0
    fi
    sleep 0.1
  done
  snipwell_pulse__log "the null sink's latency stayed at ${latency:-unknown} usec"
  snipwell_pulse_stop
  return 1
}

snipwell_pulse_stop() {
  if [[ -n "$SNIPWELL_PULSE_KEEPALIVE_PID" ]]; then
    kill "$SNIPWELL_PULSE_KEEPALIVE_PID" 2>/dev/null || true
    wait "$SNIPWELL_PULSE_KEEPALIVE_PID" 2>/dev/null || true
    SNIPWELL_PULSE_KEEPALIVE_PID=""
  fi
  if [[ -n "$SNIPWELL_PULSE_RUNTIME_DIR" ]]; then
    # pulseaudio --kill finds our server through XDG_RUNTIME_DIR's pid file.
    XDG_RUNTIME_DIR="$SNIPWELL_PULSE_RUNTIME_DIR" pulseaudio --kill >/dev/null 2>&1 || true
    local pid_file="$SNIPWELL_PULSE_RUNTIME_DIR/pulse/pid"
    local tries
    for tries in $(seq 1 30); do
      [[ -e "$pid_file" ]] || break
      sleep 0.1
    done
    rm -rf "$SNIPWELL_PULSE_RUNTIME_DIR"
    SNIPWELL_PULSE_RUNTIME_DIR=""
    if [[ -n "$SNIPWELL_PULSE_SAVED_XDG_RUNTIME_DIR" ]]; then
      export XDG_RUNTIME_DIR="$SNIPWELL_PULSE_SAVED_XDG_RUNTIME_DIR"
    else
      unset XDG_RUNTIME_DIR
    fi
    if [[ -n "$SNIPWELL_PULSE_SAVED_PULSE_SERVER" ]]; then
      export PULSE_SERVER="$SNIPWELL_PULSE_SAVED_PULSE_SERVER"
    else
      unset PULSE_SERVER
    fi
    unset SNIPWELL_TEST_SINK
  fi
  return 0
}
