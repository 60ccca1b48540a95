#!/usr/bin/env bash
# Regenerates every asset of Quonk-Tirrel below assets/:
#   pictures and sound effects: tools/assetgen (Qt 6 Gui, QPainter/QImage; built into tools/assetgen/build)
#   speech and tutorial narration: espeak-ng (German voice) from tools/speech.txt, finished with sox
# Needs (only for regenerating, not for building or playing): cmake, ninja-build, g++, qt6-base-dev,
# fonts-dejavu-core, espeak-ng, sox. Same input, same files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
assets=$root/assets

# The voice: espeak-ng's German voice with the female variant "anika", a little slower than normal
# and with short gaps between words, so that a five-year-old can follow.
VOICE=${VOICE:-de+anika}
SPEED=${SPEED:-135}
PITCH=${PITCH:-52}
GAP=${GAP:-1}
MAX_SPEECH_SECONDS=6

for tool in cmake espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "make-assets: $tool is missing" >&2; exit 1; }
done

# 1. Build the picture and effect generator.
cmake -S tools/assetgen -B tools/assetgen/build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build tools/assetgen/build >/dev/null

# 2. Start from empty output folders, so that no stale recording survives a renumbering.
rm -f "$assets"/grafics/*.bmp "$assets"/design/*.png "$assets"/design/*.bmp \
      "$assets"/tutorial/*.JPG "$assets"/tutorial/*.wav "$assets"/sounds/*.wav "$assets"/sounds/speech/*.wav
mkdir -p "$assets"/grafics "$assets"/design "$assets"/tutorial "$assets"/sounds/speech

# 3. Pictures and effects.
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) tools/assetgen/build/assetgen "$assets"

# 4. Speech and narration: 16-bit mono PCM at 22050 Hz, silence trimmed at both ends, a short
#    lead-in and tail, pauses inside cut to at most 0.22 s, normalised to -1 dBFS. sox runs repeatable (-R) and without dither (-D).
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
speak() {  # speak <text> <output.wav>
  espeak-ng -b 1 -v "$VOICE" -s "$SPEED" -p "$PITCH" -g "$GAP" -w "$tmp/raw.wav" "$1"
  sox -R -D "$tmp/raw.wav" -r 22050 -b 16 -c 1 -e signed-integer "$2" \
      silence -l 1 0.02 0.3% -1 0.22 0.3% reverse silence 1 0.02 0.3% reverse pad 0.06 0.16 norm -1
}
declare -A count=()
speech=0
narration=0
too_long=0
while IFS=$'\t' read -r token text; do
  [[ -z "$token" || "$token" == \#* ]] && continue
  if [[ "$token" == tut* ]]; then
    speak "$text" "$assets/tutorial/$token.wav"
    narration=$((narration + 1))
  else
    n=$(( ${count[$token]:-0} + 1 ))
    count[$token]=$n
    out=$(printf '%s/sounds/speech/%s%04d.wav' "$assets" "$token" "$n")
    speak "$text" "$out"
    len=$(soxi -D "$out")
    if awk -v l="$len" -v m="$MAX_SPEECH_SECONDS" 'BEGIN { exit !(l >= m) }'; then
      echo "make-assets: $(basename "$out") lasts $len s, more than $MAX_SPEECH_SECONDS s: shorten its text" >&2
      too_long=1
    fi
    speech=$((speech + 1))
  fi
done < tools/speech.txt

[ "$too_long" = 0 ] || exit 1
echo "make-assets: $speech speech recordings for ${#count[@]} tokens, $narration narrations"
du -sh "$assets"
