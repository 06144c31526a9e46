#!/usr/bin/env bash
# Checks the packages that scripts/package.sh put in dist/ as a user meets them: lists
# them, unpacks them, runs the program from each (the .exe under Wine), reads the
# version resource of the .exe back, and checks the manual page. The expected version
# is read here from the project() line of CMakeLists.txt, not from the build.
# Environment: WINE_HOME, the build folder whose Wine prefix runs the .exe
# (default build/package-windows).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
wine_home=$top/${WINE_HOME:-build/package-windows}

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAILED: $*" >&2; }
expect() {  # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
die() { echo "check-packages: $*" >&2; exit 1; }
lines_equal() { [ "$1" = "$2" ] || { printf '  expected: %s\n  found:    %s\n' "$2" "$1" >&2; false; }; }

version=$(sed -n 's/^project(pelquist_copy VERSION \([0-9][0-9.]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no version in the project() line of CMakeLists.txt"
echo "== the version of CMakeLists.txt: $version"

deb=dist/pelquist-copy_${version}_$(dpkg --print-architecture).deb
tarball=dist/pelquist_copy-${version}-linux-$(uname -m).tar.gz
zip=dist/pelquist_copy-${version}-win64.zip
for package in "$deb" "$tarball" "$zip"; do
  [ -f "$package" ] || die "missing $package (scripts/package.sh makes it)"
done

work=$(mktemp -d)
# Wine's server would wait five idle minutes after the last run.
trap 'rm -rf "$work"; WINEPREFIX="$wine_home/wine-prefix" wineserver -k 2>/dev/null || true' EXIT

# A small tree to collect from: two .txt files at different depths, one other file.
make_tree() {  # folder
  mkdir -p "$1/src/notes/2026" "$1/src/photos"
  printf 'shopping list\n' >"$1/src/list.txt"
  printf 'february\n' >"$1/src/notes/2026/feb.txt"
  printf 'not collected\n' >"$1/src/photos/cat.jpg"
}
collected_right() {  # folder: all/ holds exactly the two .txt files, unchanged
  [ "$(cd "$1/all" && ls | tr '\n' ' ')" = "feb.txt list.txt " ] &&
    cmp -s "$1/all/list.txt" "$1/src/list.txt" &&
    cmp -s "$1/all/feb.txt" "$1/src/notes/2026/feb.txt"
}

echo "== the manual page"
expect "groff -man -ww renders doc/pelquist_copy.1 without a warning" \
  test -z "$(groff -man -ww -z doc/pelquist_copy.1 2>&1)"
expect "man --warnings renders doc/pelquist_copy.1 without a warning" \
  test -z "$(man --warnings -l doc/pelquist_copy.1 2>&1 >/dev/null)"

echo "== $deb"
dpkg-deb -I "$deb" | tee "$work/deb-info"
dpkg-deb -c "$deb" | tee "$work/deb-contents"
field() { sed -n "s/^ $1: //p" "$work/deb-info"; }
expect "package name pelquist-copy" lines_equal "$(field Package)" pelquist-copy
expect "package version $version" lines_equal "$(field Version)" "$version"
for path in ./usr/bin/pelquist_copy ./usr/share/man/man1/pelquist_copy.1.gz \
            ./usr/share/doc/pelquist-copy/README.md; do
  expect "the .deb holds $path" grep -q " $path\$" "$work/deb-contents"
done
expect "the program in the .deb is executable" \
  grep -q '^-rwxr-xr-x .* ./usr/bin/pelquist_copy$' "$work/deb-contents"

root=$work/deb-root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/pelquist_copy
# Every shared library that the program needs comes from a package the .deb depends on.
depends=" $(field Depends | sed 's/([^)]*)//g; s/[,|]/ /g') "
for library in $(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }'); do
  owner=$(dpkg -S "*/$library" 2>/dev/null | sed -n '1s/:.*//p')
  expect "$library (package ${owner:-none}) is among the dependencies" \
    test -n "$owner" -a -z "${depends##* "$owner" *}"
done
expect "the .deb's manual page is doc/pelquist_copy.1" \
  cmp -s <(gzip -dc "$root/usr/share/man/man1/pelquist_copy.1.gz") doc/pelquist_copy.1
expect "man reads the .deb's manual page without a warning" \
  test -z "$(man --warnings -l "$root/usr/share/man/man1/pelquist_copy.1.gz" 2>&1 >/dev/null)"
expect "the .deb's README is README.md" \
  cmp -s "$root/usr/share/doc/pelquist-copy/README.md" README.md

"$program" -help >"$work/deb-help"
expect "-help from the .deb prints 'version : $version'" grep -qxF "version : $version" "$work/deb-help"
make_tree "$work/deb-run"
(cd "$work/deb-run" && "$program" -collectcopy -nosw 'src/*.txt' all) >"$work/deb-trace" ||
  fail "collect-copy from the .deb exited with $?"
expect "collect-copy from the .deb collected the .txt files" collected_right "$work/deb-run"
expect "collect-copy from the .deb ends its trace" \
  lines_equal "$(tail -n 1 "$work/deb-trace")" "collectcopy end..."

echo "== $tarball"
tar -tzvf "$tarball" | tee "$work/tar-contents"
tar_top=pelquist_copy-${version}-linux-$(uname -m)
for path in bin/pelquist_copy share/man/man1/pelquist_copy.1.gz share/doc/pelquist-copy/README.md; do
  expect "the tarball holds $tar_top/$path" grep -q " $tar_top/$path\$" "$work/tar-contents"
done
mkdir "$work/tar"
tar -xzf "$tarball" -C "$work/tar"
expect "the tarball's program is the .deb's" cmp -s "$work/tar/$tar_top/bin/pelquist_copy" "$program"

echo "== $zip"
unzip -l "$zip" | tee "$work/zip-contents"
zip_top=pelquist_copy-${version}-win64
for name in pelquist_copy.exe README.txt MANUAL.txt; do
  expect "the zip holds $zip_top/$name" grep -q " $zip_top/$name\$" "$work/zip-contents"
done
unzip -q "$zip" -d "$work/zip"
exe=$work/zip/$zip_top/pelquist_copy.exe

expect "README.txt is README.md with Windows line ends" \
  cmp -s <(sed 's/\r$//' "$work/zip/$zip_top/README.txt") README.md
# A plain text manual: CR LF line ends, no escape sequences or overstriking.
manual=$work/zip/$zip_top/MANUAL.txt
expect "MANUAL.txt has its sections" grep -q $'^EXIT STATUS\r$' "$manual"
expect "MANUAL.txt is plain text with CR LF line ends" \
  test -z "$(sed 's/\r$//' "$manual" | LC_ALL=C grep -n '[^[:print:]]' | head -n 3)" \
  -a -z "$(LC_ALL=C grep -n -v $'\r$' "$manual" | head -n 3)"

# The .exe runs from the zip alone: it needs no DLL of the compiler's beside it.
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' | tr '\n' ' ')
echo "imported DLLs: $dlls"
expect "the .exe imports no runtime DLL of mingw-w64 (lib*.dll)" \
  test -z "$(echo "$dlls" | tr ' ' '\n' | grep -i '^lib')"

"$top/cmake/wine-run.sh" "$wine_home" "$exe" -help | sed 's/\r$//' >"$work/zip-help"
expect "-help from the zip under Wine prints 'version : $version'" \
  grep -qxF "version : $version" "$work/zip-help"
make_tree "$work/zip-run"
(cd "$work/zip-run" && "$top/cmake/wine-run.sh" "$wine_home" "$exe" -collectcopy -nosw \
  'src\*.txt' all) | sed 's/\r$//' >"$work/zip-trace" ||
  fail "collect-copy from the zip exited with $?"
expect "collect-copy from the zip under Wine collected the .txt files" \
  collected_right "$work/zip-run"

# --- the version resource, walked node by node (VS_VERSIONINFO: each node is
# wLength, wValueLength, wType, a UTF-16 key, its value, then its children, each part
# aligned to 4 bytes).
wrestool -x --raw -t16 "$exe" >"$work/version.res" || die "no version resource in the .exe"
mapfile -t bytes < <(od -An -v -tu1 "$work/version.res" | tr -s ' ' '\n' | sed '/^$/d')
word() { echo $((bytes[$1] | bytes[$1 + 1] << 8)); }
dword() { echo $(($(word "$1") | $(word $(($1 + 2))) << 16)); }
align() { echo $((($1 + 3) & ~3)); }
text_at() {  # offset, end: the UTF-16 text from offset to its terminating zero; sets next
  local at=$1 text="" unit
  while [ "$at" -lt "$2" ]; do
    unit=$(word "$at")
    at=$((at + 2))
    [ "$unit" -eq 0 ] && break
    if [ "$unit" -lt 128 ]; then text+=$(printf "\\x$(printf %02x "$unit")"); else text+='?'; fi
  done
  next=$at
  printf '%s' "$text"
}
fixed_info=-1
walk() {  # offset, path of the parent; prints "path/key=value" for each text value
  local at=$1 length value_length type key value_at child end
  length=$(word "$at")
  value_length=$(word $((at + 2)))
  type=$(word $((at + 4)))
  end=$((at + length))
  key=$(text_at $((at + 6)) "$end"; echo "|$next")
  value_at=$(align "${key##*|}")
  key=${key%|*}
  if [ "$type" -eq 1 ]; then
    [ "$value_length" -gt 0 ] && echo "$2/$key=$(text_at "$value_at" "$end")"
    child=$(align $((value_at + 2 * value_length)))
  else
    [ "$key" = VS_VERSION_INFO ] && echo "@fixed=$value_at"
    child=$(align $((value_at + value_length)))
  fi
  while [ "$child" -lt "$end" ] && [ "$(word "$child")" -gt 0 ]; do
    walk "$child" "$2/$key"
    child=$(align $((child + $(word "$child"))))
  done
}
walk 0 "" >"$work/version-values"
cat "$work/version-values"
string_value() { sed -n "s|^/VS_VERSION_INFO/StringFileInfo/[0-9A-Fa-f]*/$1=||p" "$work/version-values"; }
expect "resource FileVersion is $version" lines_equal "$(string_value FileVersion)" "$version"
expect "resource ProductVersion is $version" lines_equal "$(string_value ProductVersion)" "$version"
expect "resource ProductName is pelquist_copy" lines_equal "$(string_value ProductName)" pelquist_copy
expect "resource OriginalFilename is pelquist_copy.exe" \
  lines_equal "$(string_value OriginalFilename)" pelquist_copy.exe
expect "resource FileDescription is given" test -n "$(string_value FileDescription)"

fixed_info=$(sed -n 's/^@fixed=//p' "$work/version-values")
[ -n "$fixed_info" ] || die "the version resource has no fixed file information"
expect "the fixed file information has its signature" \
  lines_equal "$(printf %x "$(dword "$fixed_info")")" feef04bd
# 0.50 -> 0.50.0.0, from the version of CMakeLists.txt
IFS=. read -r -a parts <<<"$version"
expected_numbers=""
for i in 0 1 2 3; do expected_numbers+="$((10#${parts[i]:-0}))."; done
expected_numbers=${expected_numbers%.}
numbers() {  # offset of the MS double word
  local ms ls
  ms=$(dword "$1")
  ls=$(dword $(($1 + 4)))
  echo "$((ms >> 16)).$((ms & 0xffff)).$((ls >> 16)).$((ls & 0xffff))"
}
expect "FILEVERSION is $expected_numbers" lines_equal "$(numbers $((fixed_info + 8)))" "$expected_numbers"
expect "PRODUCTVERSION is $expected_numbers" \
  lines_equal "$(numbers $((fixed_info + 16)))" "$expected_numbers"

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
