#!/bin/sh
# Installs the build into a temporary prefix and checks what a desktop needs: the program and
# its libraries, the shipped data, a valid desktop entry, the icons and valid AppStream
# metadata; then runs the installed program from another folder on a fresh home and sees it
# seed its data, paint its window and end cleanly.
# Usage: check_install.sh BUILD_DIR
set -eu
build=${1:?usage: check_install.sh BUILD_DIR}
work=$(mktemp -d /tmp/orvel-install-XXXXXX)
gui=""
cleanup() {
  [ -n "$gui" ] && kill "$gui" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
fail() { echo "check_install: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/orvel-radio bin/libOvGrpPrim.so bin/libOvAudioAv.so \
    share/orvel-radio/Radios/default.rrd share/orvel-radio/Skins/ov_default/default.rs \
    share/applications/orvel-radio.desktop share/icons/hicolor/scalable/apps/orvel-radio.svg \
    share/icons/hicolor/48x48/apps/orvel-radio.png share/icons/hicolor/128x128/apps/orvel-radio.png \
    share/metainfo/org.orvel.Radio.metainfo.xml; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
for binary in orvel-radio libOvAudioAv.so; do
  if ldd "$prefix/bin/$binary" | grep -q 'not found'; then fail "a library of $binary is missing"; fi
done
desktop-file-validate "$prefix/share/applications/orvel-radio.desktop" || fail "bad desktop entry"
grep -q '^Exec=orvel-radio' "$prefix/share/applications/orvel-radio.desktop" ||
  fail "the desktop entry does not start orvel-radio"
appstreamcli validate --no-net "$prefix/share/metainfo/org.orvel.Radio.metainfo.xml" >/dev/null ||
  fail "bad AppStream metadata"

# The installed program, started from / on a fresh home.
home=$work/home
mkdir -p "$home"
cd /
env -u ORVEL_RADIO_HOME HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen \
  ORVEL_RADIO_AUDIO=null ORVEL_RADIO_NOTIFY="dir:$home/notify" ORVEL_RADIO_TRACE_START=1 \
  "$prefix/bin/orvel-radio" 2> "$work/err" >/dev/null &
gui=$!
waited=0
while ! grep -q '^first-paint ' "$work/err"; do
  kill -0 "$gui" 2>/dev/null || { cat "$work/err" >&2; fail "the installed program ended early"; }
  [ "$waited" -lt 200 ] || fail "the installed program painted nothing in 20 s"
  sleep 0.1
  waited=$((waited + 1))
done
kill -TERM "$gui"
status=0
wait "$gui" || status=$?
gui=""
[ "$status" -eq 0 ] || fail "the installed program exited with $status on SIGTERM"
[ -f "$home/.local/share/orvel-radio/Radios/default.rrd" ] ||
  fail "the installed program did not seed its data"
echo "check_install: installed, validated, started from / and ended cleanly"
