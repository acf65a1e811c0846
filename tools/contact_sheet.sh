#!/usr/bin/env bash
# Renders every picture of the graphics archive on one contact sheet, each
# composited the way the engine draws it (mask multiplied onto a faceplate
# colour, then the image added), small pictures enlarged.
#   tools/contact_sheet.sh BIN_DIR OUT.png
set -euo pipefail
bin=${1:?BIN_DIR}
out=${2:?OUT.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$bin"
declare -A file
while read -r name path kind rest; do
  [ "$name" = "END" ] && break
  [ -n "${path:-}" ] || continue
  file[$name]=$path
done < <(tail -n +2 grfx/opengl.mim)

i=0
while read -r name path kind rest; do
  [ "$name" = "END" ] && break
  case "$name" in *_MASK|*MASK_*) continue ;; esac
  mask=""
  if [ -n "${file[${name}_MASK]:-}" ]; then mask=${file[${name}_MASK]}
  elif [ -n "${file[${name%_*}_MASK]:-}" ]; then mask=${file[${name%_*}_MASK]}
  elif [ "$name" = "FOND_DEMO" ]; then mask=${file[FOND_MASK_DEMO]}
  fi
  i=$((i + 1))
  tile="$work/$(printf %03d $i).png"
  size=$(identify -format '%wx%h' "$path")
  if [ -n "$mask" ] && [ "$kind" = "SIMPLEPART" ]; then
    convert -size "$size" xc:'#2B2E33' "$mask" -compose Multiply -composite \
      "$path" -compose Plus -composite "$tile"
  else
    cp "$path" "$tile"
  fi
  w=${size%x*}
  if [ "$w" -le 64 ]; then convert "$tile" -filter point -resize 400% "$tile"
  elif [ "$w" -gt 520 ]; then convert "$tile" -resize 50% "$tile"; fi
  convert "$tile" -background '#606468' -gravity center -extent "$(identify -format '%[fx:max(w,64)+8]x%[fx:h+8]' "$tile")" \
    -fill white -pointsize 10 label:"$name" -gravity center -append "$tile"
done < <(tail -n +2 grfx/opengl.mim)
montage "$work"/*.png -tile 8x -geometry +4+4 -background '#404448' "$out"
echo "$out: $i pictures"
