#!/usr/bin/env bash
# Checks the packages that scripts/package.sh put in dist/ as a user and a packager
# meet them: lists them, unpacks them, runs the program from each (the .exe under
# Wine), reads the version resource of the .exe back (exiftool), checks the manual page
# (groff, man, mandoc), the .deb with lintian, the bash completion in a bash with
# bash-completion loaded, installs and removes the .deb with apt (as root, when it is
# not installed already), makes the Debian source package (debian/) and builds a .deb
# from it with dpkg-buildpackage, which must pass lintian and the checks of CPack's
# .deb, and builds the packages once more in another folder, which must give the same
# bytes. The expected version is read here from the project() line of CMakeLists.txt,
# not from the build.
# Environment: WINE_HOME, the build folder whose Wine prefix runs the .exe
# (default build/package-windows); REPRODUCE=0 leaves out the second build;
# SOURCE_PACKAGE=0 leaves out the source package and dpkg-buildpackage.
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
mandoc -Tlint -W warning doc/pelquist_copy.1 >"$work/mandoc" 2>&1 || true
cat "$work/mandoc"
expect "mandoc -Tlint -W warning finds nothing in doc/pelquist_copy.1" test ! -s "$work/mandoc"
expect "the newest entry of CHANGELOG is version $version" \
  lines_equal "$(dpkg-parsechangelog -l CHANGELOG -S Version)" "$version"

# The checks of a .deb, the one CPack makes and the one dpkg-buildpackage makes alike.
check_deb() {  # .deb, a short name for its files in $work
  local deb=$1 tag=$2
  local info=$work/$tag-info contents=$work/$tag-contents root=$work/$tag-root
  echo "== $deb"
  dpkg-deb -I "$deb" | tee "$info"
  dpkg-deb -c "$deb" | tee "$contents"
  field() { sed -n "s/^ $1: //p" "$info"; }
  expect "package name pelquist-copy" lines_equal "$(field Package)" pelquist-copy
  expect "package version $version" lines_equal "$(field Version)" "$version"
  local doc=./usr/share/doc/pelquist-copy
  local completion=./usr/share/bash-completion/completions/pelquist_copy
  for path in ./usr/bin/pelquist_copy ./usr/share/man/man1/pelquist_copy.1.gz $completion \
              $doc/README.md $doc/copyright $doc/changelog.gz; do
    expect "the .deb holds $path" grep -q " $path\$" "$contents"
  done
  expect "the .deb holds no licence file but copyright" \
    test -z "$(grep -i 'licen[cs]e' "$contents")"
  expect "the program in the .deb is executable" \
    grep -q '^-rwxr-xr-x .* ./usr/bin/pelquist_copy$' "$contents"

  dpkg-deb -x "$deb" "$root"
  local program=$root/usr/bin/pelquist_copy
  # Every shared library that the program needs comes from a package the .deb depends on.
  local depends=" $(field Depends | sed 's/([^)]*)//g; s/[,|]/ /g') "
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
  expect "the .deb's changelog.gz is CHANGELOG" \
    cmp -s <(gzip -dc "$root/$doc/changelog.gz") CHANGELOG
  local copyright=$root/$doc/copyright
  expect "copyright is in Debian's machine-readable format" \
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"
  expect "copyright names LICENSE's holder and the licence (Expat, that is MIT)" \
    lines_equal "$(sed -n 's/^\(Copyright\|License\): //p' "$copyright" | tr '\n' '|')" \
    "$(sed -n 's/^Copyright (c) //p' LICENSE)|Expat|"
  expect "copyright holds LICENSE's text" \
    cmp -s <(sed -n '/^License:/,$ { /^License:/d; s/^ //; s/^\.$//; p }' "$copyright") \
    <(sed -n '/^Permission/,$p' LICENSE)

  # Debian's own checks: nothing at the default level; what --pedantic adds is shown.
  lintian "$deb" 2>&1 | grep -v 'running with root privileges' >"$work/lintian" || true
  cat "$work/lintian"
  expect "lintian reports no error and no warning" test -z "$(grep -E '^[EW]: ' "$work/lintian")"
  lintian --pedantic -I "$deb" 2>&1 | grep -v 'running with root privileges' >"$work/lintian-all" || true
  sed 's/^/lintian --pedantic -I: /' "$work/lintian-all"
  expect "lintian --pedantic -I finds the program hardened" \
    test -z "$(grep hardening "$work/lintian-all")"
  expect "the program is linked with relro and bindnow" \
    test -n "$(readelf -lW "$program" | grep GNU_RELRO)" \
    -a -n "$(readelf -dW "$program" | grep -E '\((BIND_NOW|FLAGS_1|FLAGS)\).* NOW')"
  expect "the program has the stack protector and fortified functions" \
    test -n "$(objdump -T "$program" | grep -w __stack_chk_fail)" \
    -a -n "$(objdump -T "$program" | grep -v __stack_chk_fail | grep '__[a-z_]*_chk')"
  # The README names the oldest C and C++ libraries the program runs with.
  newest() { objdump -T "$program" | grep -o "($1_[0-9.]*)" | tr -d '()' | sort -V | tail -n 1; }
  expect "the program needs glibc 2.34 at most (README)" \
    lines_equal "$(printf '%s\n' "$(newest GLIBC)" GLIBC_2.34 | sort -V | tail -n 1)" GLIBC_2.34
  expect "the program needs the libstdc++ of GCC 12 at most (GLIBCXX_3.4.30, README)" \
    lines_equal "$(printf '%s\n' "$(newest GLIBCXX)" GLIBCXX_3.4.30 | sort -V | tail -n 1)" \
    GLIBCXX_3.4.30

  "$program" -help >"$work/$tag-help"
  expect "-help from the .deb prints 'version : $version'" grep -qxF "version : $version" "$work/$tag-help"
  make_tree "$work/$tag-run"
  (cd "$work/$tag-run" && "$program" -collectcopy -nosw 'src/*.txt' all) >"$work/$tag-trace" ||
    fail "collect-copy from the .deb exited with $?"
  expect "collect-copy from the .deb collected the .txt files" collected_right "$work/$tag-run"
  expect "collect-copy from the .deb ends its trace" \
    lines_equal "$(tail -n 1 "$work/$tag-trace")" "collectcopy end..."
}
check_deb "$deb" deb
root=$work/deb-root
program=$root/usr/bin/pelquist_copy
copyright=$root/usr/share/doc/pelquist-copy/copyright

echo "== $tarball"
tar -tzvf "$tarball" | tee "$work/tar-contents"
tar_top=pelquist_copy-${version}-linux-$(uname -m)
for path in bin/pelquist_copy share/man/man1/pelquist_copy.1.gz \
            share/bash-completion/completions/pelquist_copy share/doc/pelquist-copy/README.md \
            share/doc/pelquist-copy/LICENSE.txt share/doc/pelquist-copy/changelog.gz; do
  expect "the tarball holds $tar_top/$path" grep -q " $tar_top/$path\$" "$work/tar-contents"
done
mkdir "$work/tar"
tar -xzf "$tarball" -C "$work/tar"
expect "the tarball's program is the .deb's" cmp -s "$work/tar/$tar_top/bin/pelquist_copy" "$program"
expect "the tarball's LICENSE.txt is LICENSE" \
  cmp -s "$work/tar/$tar_top/share/doc/pelquist-copy/LICENSE.txt" LICENSE

echo "== $zip"
unzip -l "$zip" | tee "$work/zip-contents"
zip_top=pelquist_copy-${version}-win64
for name in pelquist_copy.exe README.txt MANUAL.txt LICENSE.txt; do
  expect "the zip holds $zip_top/$name" grep -q " $zip_top/$name\$" "$work/zip-contents"
done
unzip -q "$zip" -d "$work/zip"
exe=$work/zip/$zip_top/pelquist_copy.exe

expect "README.txt is README.md with Windows line ends" \
  cmp -s <(sed 's/\r$//' "$work/zip/$zip_top/README.txt") README.md
expect "LICENSE.txt is LICENSE with Windows line ends" \
  cmp -s "$work/zip/$zip_top/LICENSE.txt" <(sed 's/$/\r/' LICENSE)
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

# --- the version resource, as exiftool reads it
exiftool -S -FileVersionNumber -ProductVersionNumber -FileVersion -ProductVersion \
  -ProductName -OriginalFileName -FileDescription -LegalCopyright "$exe" | tee "$work/version-values"
resource() { sed -n "s/^$1: //p" "$work/version-values"; }
expect "resource FileVersion is $version" lines_equal "$(resource FileVersion)" "$version"
expect "resource ProductVersion is $version" lines_equal "$(resource ProductVersion)" "$version"
expect "resource ProductName is pelquist_copy" lines_equal "$(resource ProductName)" pelquist_copy
expect "resource OriginalFilename is pelquist_copy.exe" \
  lines_equal "$(resource OriginalFileName)" pelquist_copy.exe
expect "resource FileDescription is given" test -n "$(resource FileDescription)"
expect "resource LegalCopyright is LICENSE's copyright line and the licence" \
  lines_equal "$(resource LegalCopyright)" "$(grep -m 1 '^Copyright ' LICENSE), MIT License"
# 0.50 -> 0.50.0.0, from the version of CMakeLists.txt
IFS=. read -r -a parts <<<"$version"
expected_numbers=""
for i in 0 1 2 3; do expected_numbers+="$((10#${parts[i]:-0}))."; done
expected_numbers=${expected_numbers%.}
expect "FILEVERSION is $expected_numbers" \
  lines_equal "$(resource FileVersionNumber)" "$expected_numbers"
expect "PRODUCTVERSION is $expected_numbers" \
  lines_equal "$(resource ProductVersionNumber)" "$expected_numbers"

# --- the bash completion, in a bash with bash-completion loaded as in a login shell
complete_words() {  # data folder ("" for the default), folder, the words of a command
  # line; prints what completing its last word offers, one a line, sorted
  local data=$1 folder=$2
  shift 2
  (cd "$folder" && env ${data:+XDG_DATA_DIRS="$data"} LC_ALL=C bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion pelquist_copy || exit 1
    registered=$(complete -p pelquist_copy) || exit 1
    function=$(sed -n "s/.* -F \([^ ]*\) .*/\1/p" <<<"$registered")
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    "$function" pelquist_copy "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort' bash "$@")
}
check_completion() {  # data folder, where it comes from
  expect "completion ($2): -co offers -collectcopy and -copy" \
    lines_equal "$(complete_words "$1" "$work" pelquist_copy -co | tr '\n' ' ')" "-collectcopy -copy "
  expect "completion ($2): - offers the seven switches" \
    lines_equal "$(complete_words "$1" "$work" pelquist_copy -nosw - | tr '\n' ' ')" \
    "-collectcopy -copy -fw -help -move -nosw -xcopy "
  expect "completion ($2): a path offers file and folder names" \
    lines_equal "$(complete_words "$1" "$work/completion" pelquist_copy -fw no | tr '\n' ' ')" \
    "notes notes.txt "
}
echo "== the bash completion"
mkdir -p "$work/completion/notes"
touch "$work/completion/notes.txt" "$work/completion/other.jpg"
check_completion "$root/usr/share" "the .deb, unpacked"

# --- the .deb installed and removed as a user does it; only as root, and only where
# no pelquist-copy is installed (it would be removed here)
echo "== apt install and apt remove"
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: not root"
elif dpkg-query -W -f='${Status}' pelquist-copy 2>/dev/null | grep -q ' installed'; then
  echo "skipped: pelquist-copy is installed on this machine already"
else
  apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
  # Minimal images tell dpkg to leave manuals out (path-exclude in /etc/dpkg/dpkg.cfg.d).
  manuals=yes
  grep -rqsE '^path-exclude[= ]*/usr/share/man' /etc/dpkg/dpkg.cfg.d && manuals=no
  if apt_get install "$top/$deb" >"$work/apt-install" 2>&1; then
    pass "apt-get install ./$deb"
    expect "pelquist_copy is /usr/bin/pelquist_copy" \
      lines_equal "$(command -v pelquist_copy)" /usr/bin/pelquist_copy
    if [ $manuals = yes ]; then
      expect "man pelquist_copy shows the manual" \
        grep -q '^COLLECT-COPY' <(MANWIDTH=80 man -P cat pelquist_copy 2>/dev/null)
    else
      echo "skipped: this machine's dpkg installs no manual pages"
    fi
    expect "/usr/share/doc/pelquist-copy/copyright is the .deb's" \
      cmp -s /usr/share/doc/pelquist-copy/copyright "$copyright"
    check_completion "" "installed"
  else
    cat "$work/apt-install"
    fail "apt-get install ./$deb"
  fi
  apt_get remove pelquist-copy >"$work/apt-remove" 2>&1 || cat "$work/apt-remove"
  # Its files, and its own folders, are gone.
  left=$(awk '$1 ~ /^-/ || $6 ~ /pelquist/ { print substr($6, 2) }' "$work/deb-contents" |
    while read -r path; do if [ -e "$path" ]; then echo "$path"; fi; done)
  expect "apt remove leaves nothing of the package${left:+ (left: $left)}" \
    test -z "$left" -a -z "$(dpkg-query -W -f='${Status}' pelquist-copy 2>/dev/null | grep ' installed')"
fi

# --- the Debian source package: dpkg-source makes it from a copy of this tree and
# lintian checks it; dpkg-buildpackage builds a .deb from it (running the tests through
# dh_auto_test), which must pass the checks of CPack's and say and hold what that says
# and holds
echo "== the Debian source package and dpkg-buildpackage"
if [ "${SOURCE_PACKAGE:-1}" = 0 ]; then
  echo "skipped (SOURCE_PACKAGE=0)"
else
  started=$SECONDS
  sources=$work/source
  mkdir -p "$sources/pelquist-copy-$version"
  tar -cf - --exclude=./.git --exclude=./build --exclude=./dist --exclude=./sample . |
    tar -xf - -C "$sources/pelquist-copy-$version"
  if (cd "$sources" && dpkg-source --build "pelquist-copy-$version") >"$work/dpkg-source" 2>&1
  then
    pass "dpkg-source --build"
  else
    cat "$work/dpkg-source" >&2
    fail "dpkg-source --build"
  fi
  lintian "$sources/pelquist-copy_$version.dsc" 2>&1 |
    grep -v 'running with root privileges' >"$work/lintian-source" || true
  cat "$work/lintian-source"
  expect "lintian reports no error and no warning on the source package" \
    test -z "$(grep -E '^[EW]: ' "$work/lintian-source")"
  if (cd "$sources/pelquist-copy-$version" &&
      DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b) \
      >"$work/dpkg-buildpackage" 2>&1; then
    pass "dpkg-buildpackage -us -uc -b, its tests passed"
    built=$sources/$(basename "$deb")
    check_deb "$built" built
    for name in Maintainer Section Priority Depends Description; do
      expect "the $name of dpkg-buildpackage's .deb is CPack's" \
        lines_equal "$(dpkg-deb -f "$built" "$name")" "$(dpkg-deb -f "$deb" "$name")"
    done
    paths() { dpkg-deb -c "$1" | awk '$6 != "./" { print $6 }' | sort | tr '\n' ' '; }
    expect "dpkg-buildpackage's .deb holds the files of CPack's" \
      lines_equal "$(paths "$built")" "$(paths "$deb")"
  else
    tail -n 40 "$work/dpkg-buildpackage" >&2
    fail "dpkg-buildpackage -us -uc -b"
  fi
  echo "(the source package took $((SECONDS - started)) s)"
fi

# --- the packages reproduce: a second build of this tree in another folder, with the
# same SOURCE_DATE_EPOCH as scripts/package.sh takes, gives the same bytes
echo "== the packages, built once more in another folder"
if [ "${REPRODUCE:-1}" = 0 ]; then
  echo "skipped (REPRODUCE=0)"
else
  started=$SECONDS
  second=$work/again/pelquist_copy
  mkdir -p "$second"
  tar -cf - --exclude=./.git --exclude=./build --exclude=./dist --exclude=./sample . |
    tar -xf - -C "$second"
  epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null ||
    dpkg-parsechangelog -l CHANGELOG -S Timestamp)}
  if (cd "$second" && SOURCE_DATE_EPOCH=$epoch scripts/package.sh) >"$work/again.log" 2>&1; then
    for package in "$deb" "$tarball" "$zip"; do
      first_sum=$(sha256sum <"$package" | cut -d ' ' -f 1)
      second_sum=$(sha256sum <"$second/$package" | cut -d ' ' -f 1)
      echo "sha256 $first_sum  $top/$package"
      echo "sha256 $second_sum  $second/$package"
      expect "$package: the same bytes from both folders" lines_equal "$second_sum" "$first_sum"
    done
  else
    tail -n 30 "$work/again.log" >&2
    fail "the second build of the packages"
  fi
  echo "(the second build took $((SECONDS - started)) s)"
fi

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
