#!/usr/bin/env bash
# Builds the demo programs (small Windows programs with version resources and icons) and
# packs each into its download archive: the folder "Qovra·<name>" holding "<entry>.exe".
#   build-demo.sh OUTPUT_FOLDER      -> OUTPUT_FOLDER/programs/*.exe, OUTPUT_FOLDER/packages/*.rar
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
icons="$(cd "$here/../../tests/fixtures" && pwd)"
out="${1:?output folder}"
mkdir -p "$out/programs" "$out/packages" "$out/work"

grep -v '^#' "$here/programs.txt" | while IFS='|' read -r package name version icon message; do
  [ -n "$package" ] || continue
  exe="$out/programs/$package.exe"
  rc="$out/work/$package.rc"
  if [ ! -f "$exe" ] || [ "$exe" -ot "$here/programs.txt" ] || [ "$exe" -ot "$here/programs/demo_program.c" ]; then
    sed -e "s|@ICON@|$icon|" -e "s|@MESSAGE@|$message|" -e "s|@NAME@|$name|g" \
        -e "s|@VERSION@|$version|g" -e "s|@VERSION_COMMAS@|${version//./,}|g" \
        "$here/programs/demo_program.rc.in" > "$rc"
    x86_64-w64-mingw32-windres -I"$icons" "$rc" -O coff -o "$out/work/$package.res"
    x86_64-w64-mingw32-gcc -Os -s -municode -mwindows "$here/programs/demo_program.c" \
      "$out/work/$package.res" -o "$exe"
  fi
  folder="$out/work/pack-$package/$name"
  rm -rf "$out/work/pack-$package"
  mkdir -p "$folder"
  cp "$exe" "$folder/$name.exe"
  printf '[%s]\r\n版本=%s\r\n' "$name" "$version" | iconv -f UTF-8 -t GBK > "$folder/$name.ini"
  python3 "$here/store_rar.py" "$out/packages/$package.rar" "$folder"
done
