#!/usr/bin/env bash
# The figure-set exports read by the engines' own code: vor-cli exports the
# sample project and a random character as PNG files, as a WebGAL figure set
# and as a sprite atlas; WebGAL's scene parser reads the scene
# (webgal_check.cjs), PixiJS in headless Chromium draws the atlas
# (pixi_check.cjs) and Godot 3 loads its SpriteFrames (godot_check.gd), each
# comparing every picture with the PNG export's. The blink and talk frames
# are compared with the PNG export of a copy of the data tree whose eye (or
# mouth) shapes show their frame images in place of their still ones.
#
#   engines_check.sh VOR_CLI GEN_SAMPLE WORK
#
# A reader that is not installed is skipped and said so; exits 77 when none
# could run, 1 when any check failed.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$(dirname "$here")")"
vor_cli="$1" gen_sample="$2" work="$3"

command -v node >/dev/null || { echo "engines: node is not installed (scripts/setup)"; exit 77; }
modules="$("$root/scripts/engine-packages")"
status=$?
[ $status -eq 0 ] || { echo "engines: the npm packages could not be installed"; exit 77; }
export NODE_PATH="$modules/node_modules"

rm -rf "$work"
mkdir -p "$work"
"$gen_sample" "$work/sample" >/dev/null || { echo "engines: the sample tree could not be written"; exit 1; }
data=(--data "$work/sample/data")
projects=("$work/sample/sample.vor")
"$vor_cli" "${data[@]}" random --seed 7 --out "$work/random7.vor" >/dev/null || exit 1
projects+=("$work/random7.vor")

# framed_tree DATA OUT PART FRAME: a copy of the data tree whose every PART
# shape shows its FRAME images (`<expression>FRAME_<a|b|h>.png`) in place of
# the still ones in each expression that has any; a frame image that is
# missing leaves its layer empty, as it does in the frame.
framed_tree() {
  cp -r "$1" "$2"
  local framed folder stem role
  for framed in "$2/$3"/*/*"$4"_[abh].png; do
    [ -e "$framed" ] || continue
    folder="$(dirname "$framed")"
    stem="$(basename "$framed")"
    stem="${stem%"$4"_[abh].png}"
    for role in a b h; do
      rm -f "$folder/${stem}_$role.png"
      if [ -e "$folder/$stem$4_$role.png" ]; then cp "$folder/$stem$4_$role.png" "$folder/${stem}_$role.png"; fi
    done
  done
}
framed_tree "$work/sample/data" "$work/data_blink" eye _close
framed_tree "$work/sample/data" "$work/data_talk" mouth _talk

ran=0 failed=0
# Runs one check, counting it; its output goes to the log as it is.
run_check() {
  ran=$((ran + 1))
  if ! "$@"; then
    failed=$((failed + 1))
  fi
}

for n in "${!projects[@]}"; do
  project="${projects[$n]}"
  out="$work/p$n"
  echo "engines: $(basename "$project")"
  # The references: $out/ref/<still|blink|talk>/<style>/<expression>.png.
  mkdir -p "$out/ref"
  for frame in still blink talk; do
    tree="$work/sample/data"
    [ $frame = still ] || tree="$work/data_$frame"
    "$vor_cli" --data "$tree" export "$project" --out "$out/png_$frame" >/dev/null ||
      { echo "FAILED: PNG export ($frame)"; exit 1; }
    mv "$(find "$out/png_$frame" -mindepth 1 -maxdepth 1 -type d | head -1)" "$out/ref/$frame"
  done
  ref_dir="$out/ref"
  # A random character's name may not be a tag.
  "$vor_cli" "${data[@]}" export "$project" --webgal "$out/webgal" --tag "figure$n" >/dev/null ||
    { echo "FAILED: WebGAL export"; exit 1; }
  "$vor_cli" "${data[@]}" export "$project" --atlas "$out/atlas" --tag "figure$n" >/dev/null ||
    { echo "FAILED: atlas export"; exit 1; }

  run_check node "$here/webgal_check.cjs" "$out/webgal" "$ref_dir"

  if command -v chromium >/dev/null; then
    run_check node "$here/pixi_check.cjs" "$(command -v chromium)" "$out/atlas/figure$n.json" "$ref_dir"
  else
    echo "engines: chromium is not installed; PixiJS not checked"
  fi

  if command -v godot3-server >/dev/null; then
    godot="$out/godot"
    mkdir -p "$godot"
    printf 'config_version=4\n\n[application]\n\nconfig/name="VOR atlas check"\n' >"$godot/project.godot"
    cp "$out/atlas/"*.png "$out/atlas/"*.tres "$here/godot_check.gd" "$godot/"
    # Its settings and logs stay inside the work folder.
    run_check env HOME="$godot" VOR_REF_DIR="$ref_dir" godot3-server --path "$godot" -s godot_check.gd
  else
    echo "engines: godot3-server is not installed; Godot not checked"
  fi
done

[ $ran -gt 0 ] || exit 77
echo "engines: $((ran - failed)) passed, $failed failed"
[ $failed -eq 0 ]
