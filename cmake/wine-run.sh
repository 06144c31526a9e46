#!/bin/sh
# Runs a Windows program under Wine with the build tree's own prefix and locale.
# Usage: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
set -e
home=$1
shift
export WINEPREFIX="$home/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LOCPATH="$home/locale"
export LC_ALL=ja_JP.UTF-8

# Both the locale and the prefix are made once; a lock keeps parallel tests from racing.
if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$home"
  (
    flock 9
    if [ ! -d "$LOCPATH/ja_JP.UTF-8" ]; then
      mkdir -p "$LOCPATH"
      localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || true
      [ -d "$LOCPATH/ja_JP.UTF-8" ] || { echo "wine-run.sh: cannot make the ja_JP.UTF-8 locale" >&2; exit 2; }
    fi
    if [ ! -f "$WINEPREFIX/.ready" ]; then
      wine wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$WINEPREFIX/.ready"
    fi
  ) 9>"$home/wine-prefix.lock"
fi
# Wine's server and its service processes outlive a program and would hold on to its
# output pipe, keeping the caller waiting; start them here, detached from it, so that
# the program below finds them running. They stop after five idle minutes.
wineserver -p300 </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
exec wine "$@"
