# shellcheck shell=bash
# Shared by scripts/run and scripts/test: install what is missing, then build.

SNIPWELL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
SNIPWELL_BUILD_DIR="$SNIPWELL_ROOT/build"

# What building and running Snipwell needs.
SNIPWELL_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-svg-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
  libmpg123-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
# What the tests need on top: a display server, a sound server, the tools
# that make and record MP3 files, those that check the installed files and
# the package, and a Wayland compositor with Qt's Wayland platform.
SNIPWELL_TEST_PACKAGES=(
  python3 xvfb xauth xdotool gstreamer1.0-tools
  pulseaudio pulseaudio-utils
  lame sox libsox-fmt-mp3
  desktop-file-utils appstream groff-base dpkg-dev file
  weston qt6-wayland
)
# What scripts/package needs on top of the build: dpkg-shlibdeps computes the
# package's Depends, and CPack uses file to find the programs to give it.
SNIPWELL_PACKAGE_PACKAGES=(dpkg-dev file)

# What scripts/check-style needs: the formatter and the linter.
SNIPWELL_STYLE_PACKAGES=(clang-format clang-tidy)

snipwell_log() { printf 'snipwell: %s\n' "$*" >&2; }

snipwell_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    snipwell_log "need root to run: $* (and sudo is not installed)"
    return 1
  fi
}

# Installs those of the given Debian packages that are not installed yet;
# asks the package index only when something is missing, so it is quick on a
# machine that has everything.
snipwell_install_missing() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  snipwell_log "installing ${missing[*]}"
  snipwell_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    snipwell_as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures once, then builds the given targets (everything when none).
snipwell_build() {
  if [ ! -f "$SNIPWELL_BUILD_DIR/build.ninja" ]; then
    cmake -S "$SNIPWELL_ROOT" -B "$SNIPWELL_BUILD_DIR" -G Ninja \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
  fi
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$SNIPWELL_BUILD_DIR" -j "$(nproc)" "${targets[@]}"
}
