#!/usr/bin/env bash
# The sound files' type: the shared-mime-info package file builds a MIME database in which
# *.corvane is application/x-corvane-sound, and the desktop entry opens that type (and no
# audio files, which Corvane cannot open).
# Usage: mime_type_test.sh MIME_PACKAGE_XML DESKTOP_ENTRY
set -uo pipefail
xml=$1 desktop=$2

if ! command -v update-mime-database >/dev/null; then
  if [ "${CI:-}" = true ]; then
    echo "FAIL: update-mime-database missing (scripts/test.sh installs shared-mime-info)"
    exit 1
  fi
  echo "SKIP: update-mime-database not installed; the file type check needs it"
  exit 77
fi

failed=0
fail() { echo "FAIL: $*"; failed=1; }

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
db=$data/mime
mkdir -p "$db/packages"
cp "$xml" "$db/packages/corvane.xml"
report=$(XDG_DATA_HOME=$data XDG_DATA_DIRS=$data update-mime-database "$db" 2>&1)
[ -z "$report" ] || fail "update-mime-database:"$'\n'"$report"
grep -qE '^[0-9]+:application/x-corvane-sound:\*\.corvane$' "$db/globs2" ||
  fail "*.corvane is not application/x-corvane-sound in the built database"
grep -q '^application/x-corvane-sound text/plain$' "$db/subclasses" || fail "a sound file is not known as text"

mime=$(grep '^MimeType=' "$desktop")
[ "$mime" = "MimeType=application/x-corvane-sound;" ] || fail "desktop entry: $mime"

[ $failed -eq 0 ] && echo "the sound file type installs and the desktop entry opens it"
exit $failed
