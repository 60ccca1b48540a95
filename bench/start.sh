#!/usr/bin/env bash
# The game's start against a bare Qt window, both on a private X server with a window
# manager and a private sound server: exec until the first window shows (median of the
# runs, and the game's median over the bare window's), the shared libraries mapped when
# it shows, and the peak memory (VmHWM) 5 s after the start. The runs take turns, so a
# machine that slows down meanwhile slows every program alike.
#
# Usage: bash bench/start.sh [RUNS [PROGRAM_FOLDER...]]
#   RUNS: measured runs of each program (default 9), after one unmeasured run of each.
#   PROGRAM_FOLDER: built program folders to hold side by side (default: the one in
#   BUILD_DIR, default build/); the probe and the bare window come from BUILD_DIR.
#   VERBOSE=1 prints every run's figures as well.
# Needs Xvfb and openbox; pulseaudio when installed.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
build=$(realpath "${BUILD_DIR:-build}")
folders=("${@:2}")
[ ${#folders[@]} -eq 0 ] && folders=("$build/quonk-tirrel")
probe=$build/bench/start_probe
peak_after=5

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Copies of the program folders: the game writes its settings file beside itself.
labels=()
programs=()
for ((k = 0; k < ${#folders[@]}; ++k)); do
  cp -r "${folders[k]}" "$work/program$k"
  labels+=("${folders[k]}")
  programs+=("$work/program$k/quonk-tirrel")
done
labels+=("bare Qt window")
programs+=("$build/bench/bare_window")

export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display
openbox >/dev/null 2>&1 &
pids+=($!)
if command -v pulseaudio >/dev/null; then
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=bench" >/dev/null 2>&1 &
  pids+=($!)
fi
sleep 1

# One line per run: "index ms libraries peak_kib". The first run of each program writes
# caches and the game's settings file and is not counted.
results=$work/results
touch "$results"
for ((i = 0; i <= runs; ++i)); do
  for k in "${!programs[@]}"; do
    line=$("$probe" "$peak_after" "${programs[k]}")
    [ -n "${VERBOSE:-}" ] && echo "$k $line" >&2
    [ "$i" -gt 0 ] && echo "$k $line" | tr '=' ' ' | awk '{print $1, $3, $5, $7}' >>"$results"
  done
done

column_of() { awk -v k="$1" -v c="$2" '$1 == k {print $c}' "$results" | sort -g; }
median() { column_of "$1" "$2" | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
range() { column_of "$1" "$2" | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%s-%s", lo, hi}'; }

bare=$((${#programs[@]} - 1))
bare_ms=$(median "$bare" 2)
echo "$runs runs each, medians (min-max)"
for k in "${!programs[@]}"; do
  mib=$(median "$k" 4 | awk '{printf "%.1f", $1 / 1024}')
  echo "${labels[k]}"
  echo "  exec to window:         $(median "$k" 2) ms ($(range "$k" 2))"
  [ "$k" -ne "$bare" ] && awk -v g="$(median "$k" 2)" -v b="$bare_ms" 'BEGIN {printf "    over the bare window: %.2f\n", g / b}'
  echo "  libraries at window:    $(median "$k" 3) ($(range "$k" 3))"
  echo "  peak memory after ${peak_after} s: $mib MiB"
done
