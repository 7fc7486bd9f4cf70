#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need (and, with --bench, the
# benchmarks).
# Asks apt-get only for packages that are not installed yet, so a second run is quick and offline.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ make pkg-config
  # libraries
  qt6-base-dev libcurl4-openssl-dev libcurl3-gnutls libmpg123-dev libvorbisidec-dev libasound2-dev
  libogg-dev libavcodec-dev libavutil-dev libssl-dev nlohmann-json3-dev
  # the fonts the default skins name
  fonts-dejavu-core
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3
  # test peers and fixture makers
  icecast2 ffmpeg lame vorbis-tools mpg123 curl openssl
  # a private session bus, the desktop's media-control client, a signal recorder and gdbus
  dbus-daemon playerctl dbus-bin libglib2.0-bin
  # installation checks
  appstream desktop-file-utils
  # fuzzing (clang's libFuzzer and sanitizer run-times)
  clang libclang-rt-14-dev
)
# `install-deps.sh --bench` also installs the players the benchmarks compare with.
[[ "${1:-}" == "--bench" ]] && packages+=(mpv)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
