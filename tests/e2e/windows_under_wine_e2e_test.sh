#!/bin/bash
# The Windows build end to end as a user of a Japanese Windows meets it, from the host of
# the Wine that runs it, which makes what Windows calls cannot: names outside code page
# 932, links, a share, Ctrl-C. Each case compares the exit status, the output and files.
# Usage: windows_under_wine_e2e_test.sh WINE_RUN BUILD_DIR PROGRAM
set -u
wine_run=$1 build=$2 program=$3
share=$build/wine-prefix/dosdevices/unc/pelquist
"$wine_run" "$build" cmd /c exit >/dev/null 2>&1 # the prefix, made once
top=$(mktemp -d "$build/wine-prefix/drive_c/pq.XXXXXX")
trap 'rm -rf "$top" "$share/${top##*/}"' EXIT
T='C:\'${top##*/} W=$T'\work' Q='\\?\'$T R=${T#C:} S='\\pelquist\'${top##*/}
failures=0

reset() { rm -rf "${top:?}"/* && mkdir -p "$top/work" && cd "$top" || exit 2; }
same() { # WHAT EXPECTED ACTUAL
  [ "$2" == "$3" ] && return
  printf 'FAILED %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3" | iconv -f CP932 -t UTF-8 -c | head -60
  failures=$((failures + 1))
}
# WHAT STATUS OUTPUT ARGS...: the exit status and output (LF line ends; "" for any) in work\
expect() {
  local what=$1 status=$2 output=$3 got
  shift 3
  got=$(cd work && "$wine_run" "$build" "$program" "$@" | tr -d '\r'; echo "exit ${PIPESTATUS[0]}")
  [ -z "$output" ] && got=${got##*$'\n'}
  same "$what" "${output:+$output$'\n'}exit $status" "$got"
}
files() { (cd "$1" && find . -type f -printf '%P=' -exec cat {} \; -printf '\n' | sort | tr '\n' ' '); }
jp() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; } # expected Japanese, in code page 932
head_() { # SOURCE PATTERN DEST DEST_DIR SOURCE_DIR [FORCE]: the trace up to the copies
  printf '%s\n' "collectcopy start..." "src         : $1" " collected  : $2" "dest        : $3" \
    " collected  : $4" "current dir : $W" " collected  : $5" "force write : ${6:-false}" "" \
    "reset() arg:" " arg1 / $2" " arg2 / $5" "reset succeeded..." "find succeeded..." "" \
    "copy to    : $3" " collected : $4"
}
copied() { printf 'copy dest : %s\ncopy : %s  succeeded\n' "$1" "$1"; }
skipped() { printf 'find skipped : %s / ERROR Message:The name %s\n' "$1" "$2"; }
outside="holds a character that the system's ANSI code page cannot spell."
device='is that of a device (CON, CONIN$, CONOUT$, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9), which Windows opens in the file'\''s place.'
end=collectcopy\ end...

reset # names outside the code page, beside their plain twins
mkdir -p src/cafe src/café dst
printf plain >src/cafe.txt; printf accent >src/café.txt; printf hangul >src/한.txt
printf emoji >src/x😀.txt; printf a >src/cafe/a.txt; printf b >src/café/b.txt
expect "names" 1 "$(head_ "$T\\src\\*.txt" '*.txt' "$T\\dst" "$T\\dst" "$T\\src\\"
  echo "change current dir:$T\\src\\"; copied "$T\\dst\\a.txt"; copied "$T\\dst\\cafe.txt"
  for name in 'caf?' 'caf?.txt' 'x??.txt' '?.txt'; do skipped "$T\\src\\$name" "$outside"; done
  echo $end)" -collectcopy -nosw "$T\\src\\*.txt" "$T\\dst"
same "names: dst" "a.txt=a cafe.txt=plain " "$(files dst)"

reset # arguments outside the code page: nothing is run
mkdir -p work/old work/ete work/resume; printf a >work/a.txt; printf x >work/ete/x.txt
printf plain >work/cafe.txt
refused=$(jp "なんかコードページで書けない文字が引数に入っているのペルクイスト")
expect "moved name" 1 "$refused"$'\n?.txt' -nosw -move 한.txt old
expect "copied name" 1 "$refused"$'\ncaf?.txt' -nosw -copy café.txt bak.txt
expect "collected folder" 1 "$refused"$'\n?t?\\*.txt' -nosw -fw -collectcopy 'été\*.txt' résumé
same "arguments: work" "a.txt=a cafe.txt=plain ete/x.txt=x " "$(files work)"

reset # a source folder of 261 bytes in code page 932, its parent holding other files
kanji() { printf '日%.0s' $(seq "$1"); }
long=x$(kanji 60)/$(kanji 61)
mkdir -p "$long/2024" "$long/2025" dst
printf p >"$long/parent.txt"; printf o >"$long/2024/other.txt"; printf a >"$long/2025/a.txt"
expect "261 bytes" 0 "" -collectcopy -nosw -fw "$T\\${long/\//\\}\\2025\\*.txt" "$T\\dst"
same "261 bytes: dst" "a.txt=a " "$(files dst)"

reset # "\\?\", whose '?' is no wildcard
mkdir -p src dst; printf new >src/a.txt; printf old >dst/a.txt
expect "\\\\?\\ existing" 0 "$(head_ "$T\\src\\*.txt" '*.txt' "$Q\\dst" "$Q\\dst" "$T\\src\\"
  echo "change current dir:$T\\src\\"; echo "copy dest : $Q\\dst\\a.txt"
  echo "  CopyFileWin32($Q\\dst\\a.txt , $T\\src\\a.txt , false );"
  jp "  すでにファイルが存在しちゃっているらしいのペルクイスト"; echo
  jp "  強制上書きは -fwスイッチペルクイスト"; echo; echo $end)" \
  -collectcopy -nosw "$T\\src\\*.txt" "$Q\\dst"

reset # a network share
mkdir -p src/sub dst "$share"; printf a >src/a.txt; printf b >src/sub/b.txt
ln -sfn "$top" "$share/${top##*/}"
expect "UNC" 0 "$(head_ "$S\\src\\*.txt" '*.txt' "$S\\dst" "$S\\dst" "$S\\src\\"
  echo "change current dir:$S\\src\\"; copied "$S\\dst\\a.txt"; copied "$S\\dst\\b.txt"
  echo $end)" -collectcopy -nosw "$S\\src\\*.txt" "$S\\dst"

reset # the consoles' names, with and without an extension
mkdir -p src dst; printf a >src/a.txt; printf i >'src/conin$.txt'; printf o >'src/CONOUT$'
expect "devices" 1 "$(head_ "$T\\src\\*.*" '*.*' "$T\\dst" "$T\\dst" "$T\\src\\"
  echo "change current dir:$T\\src\\"; copied "$T\\dst\\a.txt"
  skipped "$T\\src\\conin\$.txt" "$device"; skipped "$T\\src\\CONOUT\$" "$device"; echo $end)" \
  -collectcopy -nosw "$T\\src\\*.*" "$T\\dst"

reset # two folder links back up the tree
mkdir -p src/sub dst; printf a >src/a.txt; ln -s "$top/src" src/sub/up; ln -s "$top/src" src/sub/again
expect "links back up" 0 "$(head_ "$T\\src\\*.txt" '*.txt' "$T\\dst" "$T\\dst" "$T\\src\\" true
  echo "change current dir:$T\\src\\"; copied "$T\\dst\\a.txt"; echo $end)" \
  -collectcopy -nosw -fw "$T\\src\\*.txt" "$T\\dst"

reset # paths relative to a drive or to its root
mkdir -p work/src src; printf a >work/src/a.txt; printf b >src/b.txt
expect "drive-relative" 0 "$(head_ 'C:src\*.txt' '*.txt' C:dst "$W\\dst" "$W\\src\\"
  echo "current dir:$W"; copied "$W\\dst\\a.txt"; echo $end)" -collectcopy -nosw 'C:src\*.txt' C:dst
expect "root-relative" 0 "$(head_ "$R\\src\\*.txt" '*.txt' "$R\\dst" "$T\\dst" "$T\\src\\"
  echo "current dir:$W"; copied "$T\\dst\\b.txt"; echo $end)" -collectcopy -nosw "$R\\src\\*.txt" "$R\\dst"
reset # an existing folder typed with two separators
mkdir -p work/dst2; printf c >work/c.txt
expect "two separators" 0 "$(head_ '*.txt' '*.txt' 'dst2\\' "$W\\dst2\\\\" "$W\\"
  echo "current dir:$W"; copied "$W\\dst2\\\\c.txt"; echo $end)" -collectcopy -nosw '*.txt' 'dst2\\'

reset # a hard and a symbolic link at the destination are replaced, not written through
mkdir -p src dst; printf new >src/a.txt; printf new >src/b.txt; printf keep >hard; printf keep >soft
ln hard dst/a.txt; ln -s "$top/soft" dst/b.txt
expect "links at the destination" 0 "" -collectcopy -nosw -fw "$T\\src\\*.txt" "$T\\dst"
same "links at the destination" "keep keep a.txt=new b.txt=new " "$(cat hard; echo -n " "; cat soft; echo -n " "; files dst)"

reset # Ctrl-C while a large file replaces another: the old one or the new, whole, and nothing beside
mkdir -p src dst; truncate -s 256M src/big.dat; printf old >dst/big.dat; mkfifo out
(cd work && exec "$wine_run" "$build" "$program" -collectcopy -fw -nosw "$T\\src\\*.dat" "$T\\dst") >out &
copying=$!
{ while IFS= read -r line; do
  case $line in 'change current dir:'*) break ;; esac
done # then, once the copy has begun writing (or has ended):
until [ "$(ls -A dst | wc -l)" != 1 ] || [ "$(stat -c %s dst/big.dat)" != 3 ] || ! kill -0 $copying; do
  sleep 0.01; done; kill -INT $copying; cat >/dev/null; } <out
wait $copying
same "interrupted: dst" "big.dat" "$(ls -A dst)"
case $(stat -c %s dst/big.dat) in 3 | 268435456) ;; *) same "interrupted: size" whole part ;; esac

[ $failures -eq 0 ] || { echo "$failures failed"; exit 1; }
echo "all passed"
