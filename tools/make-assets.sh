#!/usr/bin/env bash
# Regenerates every asset of Quonk-Tirrel below assets/:
#   pictures and sound effects: tools/assetgen (Qt 6 Gui, QPainter/QImage; built into tools/assetgen/build)
#   speech and tutorial narration: espeak-ng (German voice) from tools/speech.txt, finished with sox
# Needs (only for regenerating, not for building or playing): cmake, ninja-build, g++, qt6-base-dev,
# fonts-dejavu-core, espeak-ng, sox, awk. Same input, same files.
# Usage: make-assets.sh            every picture, effect and recording
#        make-assets.sh speech     only the speech and the tutorial narration
#        make-assets.sh phonemes   print what espeak-ng makes of every line (nothing is written)
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
# Every recording is brought to one speech level (the RMS of its voiced part, measured by
# tools/speech-level.awk) with its peaks at most at CEILING; no recording's level may lie more than
# MAX_SPREAD dB from another's.
TARGET_DB=-18
CEILING_DB=-1
MAX_SPREAD_DB=2
# Silence left at the start and at the end of a recording, in seconds.
LEAD_IN=0.04
TAIL=0.06
what=${1:-all}
case "$what" in all|speech|phonemes) ;; *) echo "usage: make-assets.sh [speech|phonemes]" >&2; exit 2 ;; esac

tools=(espeak-ng)
[ "$what" = phonemes ] || tools+=(sox awk)
[ "$what" = all ] && tools+=(cmake)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "make-assets: $tool is missing" >&2; exit 1; }
done

# Pronunciation fixes: whole words, in any letter case, replaced by espeak-ng phoneme input.
fix_words=()
fix_phonemes=()
while IFS=$'\t' read -r word phonemes; do
  [[ -z "$word" || "$word" == \#* ]] && continue
  fix_words+=("$word")
  fix_phonemes+=("$phonemes")
done < tools/pronunciation.txt
pronounce() {  # pronounce <text>: the text with the fixed words as [[phonemes]]
  local text=$1 i
  for i in "${!fix_words[@]}"; do
    text=$(printf '%s' "$text" | sed -E "s/\\b${fix_words[$i]}\\b/[[${fix_phonemes[$i]}]]/gI")
  done
  printf '%s' "$text"
}
espeak() { espeak-ng -b 1 -v "$VOICE" -s "$SPEED" -p "$PITCH" -g "$GAP" "$@"; }

if [ "$what" = phonemes ]; then
  while IFS=$'\t' read -r token text; do
    [[ -z "$token" || "$token" == \#* ]] && continue
    printf '%s\t%s\n\t%s\n' "$token" "$text" "$(espeak -q -x "$(pronounce "$text")" | tr -s "\n" " ")"
  done < tools/speech.txt
  exit 0
fi

if [ "$what" = all ]; then
  # 1. Build the picture and effect generator.
  cmake -S tools/assetgen -B tools/assetgen/build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build tools/assetgen/build >/dev/null

  # 2. Start from empty output folders, so that no stale file survives a renumbering.
  rm -f "$assets"/grafics/*.bmp "$assets"/design/*.png "$assets"/design/*.bmp \
        "$assets"/tutorial/*.JPG "$assets"/sounds/*.wav
fi
rm -f "$assets"/tutorial/*.wav "$assets"/sounds/speech/*.wav
mkdir -p "$assets"/grafics "$assets"/design "$assets"/tutorial "$assets"/sounds/speech

if [ "$what" = all ]; then
  # 3. Pictures and effects.
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d) tools/assetgen/build/assetgen "$assets"
fi

# 4. Speech and narration: 16-bit mono PCM at 22050 Hz. Each recording is measured, brought to the
#    speech level TARGET_DB (through a limiter when its peaks would pass CEILING_DB), pauses inside
#    are cut to at most 0.22 s, the silence at both ends is cut, and LEAD_IN and TAIL are put back.
#    sox runs repeatable (-R) and without dither (-D).
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
level() { sox "$1" -t dat - | awk -f tools/speech-level.awk; }
limited=()
speak() {  # speak <text> <output.wav>
  espeak -w "$tmp/raw.wav" "$(pronounce "$1")"
  local db peak voiced gain
  read -r db peak voiced < <(level "$tmp/raw.wav")
  gain=$(awk -v t="$TARGET_DB" -v l="$db" 'BEGIN { printf "%.3f", t - l }')
  local amplify=(gain "$gain")
  if awk -v p="$peak" -v g="$gain" -v c="$CEILING_DB" 'BEGIN { exit !(p + g > c) }'; then
    # Peaks above the ceiling: amplify into sox's limiter, which holds them below full scale,
    # then step down to the ceiling.
    amplify=(gain -l "$(awk -v g="$gain" -v c="$CEILING_DB" 'BEGIN { printf "%.3f", g - c }')" gain "$CEILING_DB")
    limited+=("$(basename "$2")")
  fi
  sox -R -D "$tmp/raw.wav" -r 22050 -b 16 -c 1 -e signed-integer "$2" "${amplify[@]}" \
      silence -l 1 0.02 0.3% -1 0.22 0.3% reverse silence 1 0.02 0.3% reverse pad "$LEAD_IN" "$TAIL"
  printf '%s %s\n' "$(level "$2")" "$(basename "$2")" >>"$tmp/levels"
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

echo "make-assets: $speech speech recordings for ${#count[@]} tokens, $narration narrations"
[ ${#limited[@]} = 0 ] || echo "make-assets: peaks limited in ${limited[*]}"
# The levels as measured in the finished files.
sort -n "$tmp/levels" | awk -v spread="$MAX_SPREAD_DB" -v ceiling="$CEILING_DB" '
  NR == 1 { low = $1; lowName = $4 }
  { high = $1; highName = $4; if ($2 > ceiling + 0.05) { print "make-assets: " $4 " peaks at " $2 " dBFS" > "/dev/stderr"; bad = 1 } }
  END {
    printf "make-assets: speech levels %.2f dBFS (%s) to %.2f dBFS (%s), spread %.2f dB\n", low, lowName, high, highName, high - low
    if (high - low > spread) { print "make-assets: the spread is more than " spread " dB" > "/dev/stderr"; bad = 1 }
    exit bad
  }'
[ "$too_long" = 0 ] || exit 1
du -sh "$assets"
