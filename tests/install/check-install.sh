#!/usr/bin/env bash
# Checks of what `cmake --install` puts into a prefix. One check per call:
#   check-install.sh files    BUILD PREFIX EXPECTED  installs BUILD into PREFIX, compares the file list
#   check-install.sh desktop  PREFIX                 desktop-file-validate on the desktop entry
#   check-install.sh metainfo PREFIX                 appstreamcli validate --no-net on the metadata
#   check-install.sh manual   PREFIX                 renders the manual pages with groff -ww
#   check-install.sh options  CLI MANUAL             every long option of `CLI --help` is in MANUAL
# A check whose tool is missing exits 77, which CTest reports as skipped.
set -euo pipefail
check=$1
shift

need() {
  if ! command -v "$1" >/dev/null; then
    echo "pominięto: brak programu $1 (scripts/install-deps go instaluje)"
    exit 77
  fi
}

# Runs a validator; any message it prints counts as a failure.
quiet() {
  local output
  output=$("$@" 2>&1) || { echo "$output"; exit 1; }
  if [ -n "$output" ]; then
    echo "$output"
    exit 1
  fi
}

case $check in
files)
  build=$1 prefix=$2 expected=$3
  rm -rf "$prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  diff -u "$expected" <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
  for program in przenosnik przenosnik-cli; do
    [ -x "$prefix/bin/$program" ] || { echo "$program nie jest wykonywalny"; exit 1; }
  done
  ;;
desktop)
  need desktop-file-validate
  quiet desktop-file-validate "$1"/share/applications/*.desktop
  ;;
metainfo)
  need appstreamcli
  appstreamcli validate --no-net "$1"/share/metainfo/*.metainfo.xml
  ;;
manual)
  need groff
  # -k runs the UTF-8 text through preconv, as man does.
  for page in "$1"/share/man/man1/*.1; do
    quiet groff -k -ww -man -Tutf8 -z "$page"
  done
  ;;
options)
  cli=$1 manual=$2
  missing=0
  # The page writes a dash as \-; the options are compared as --help writes them.
  page=$(sed 's/\\-/-/g' "$manual")
  for option in $("$cli" --help | grep -o -- '--[a-z0-9][a-z0-9-]*' | sort -u); do
    if ! grep -q -- "${option}\b" <<<"$page"; then
      echo "strona podręcznika nie opisuje opcji $option"
      missing=1
    fi
  done
  exit $missing
  ;;
*)
  echo "nieznane sprawdzenie: $check" >&2
  exit 2
  ;;
esac
