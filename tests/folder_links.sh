#!/usr/bin/env bash
# Each source folder links only with the folders below it (README): fails when an object
# file of a folder needs a symbol that only a folder above it, or beside it, defines.
# Arguments: the object files of the game's library, as one ;-separated list or one each.
set -euo pipefail

# Lower rank = lower folder; folders of one rank stand beside each other.
declare -A rank=([runtime]=0 [settings]=1 [support]=2 [speech]=3 [msgbox]=3 [windows]=3
                 [playtime]=4 [game]=5)

objects=()
for arg in "$@"; do
  IFS=';' read -ra parts <<<"$arg"
  objects+=("${parts[@]}")
done

# One line per symbol an object defines or needs: "def|use folder symbol".
table=$(mktemp)
trap 'rm -f "$table"' EXIT
for object in "${objects[@]}"; do
  [[ $object =~ /src/([a-z]+)/[^/]+$ ]] || continue
  folder=${BASH_REMATCH[1]}
  if [ -z "${rank[$folder]:-}" ]; then
    echo "folder src/$folder has no place in the folder order" >&2
    exit 1
  fi
  nm -P --defined-only "$object" | awk -v f="$folder" '$2 ~ /^[TDBRV]$/ { print "def", f, $1 }'
  nm -P --undefined-only "$object" | awk -v f="$folder" -v o="${object##*/src/}" '{ print "use", f, $1, o }'
done >"$table"

if ! grep -q '^def' "$table"; then
  echo "no object files of the source folders were given" >&2
  exit 1
fi

ranks=""
for folder in "${!rank[@]}"; do ranks+="$folder=${rank[$folder]} "; done

# A use is upward when no folder that defines the symbol is the user's own or below it.
violations=$(awk -v ranks="$ranks" '
  BEGIN { n = split(ranks, pairs, " "); for (i = 1; i <= n; ++i) { split(pairs[i], kv, "="); r[kv[1]] = kv[2] } }
  $1 == "def" { defined[$3] = defined[$3] " " $2; next }
  $1 == "use" && ($3 in defined) {
    ok = 0; m = split(defined[$3], owners, " ")
    for (i = 1; i <= m; ++i) if (owners[i] == $2 || r[owners[i]] < r[$2]) ok = 1
    if (!ok) print $4 " needs " $3 " of" defined[$3]
  }' "$table" | sort -u)

if [ -n "$violations" ]; then
  echo "Upward links (a folder may use only the folders below it):"
  echo "$violations" | c++filt
  exit 1
fi
echo "$(grep -c '^use' "$table") uses checked: every folder links downward only"
