#!/usr/bin/env bash
# The release as a person on Windows gets it: the zip that scripts/package
# made (scripts/test makes it before the end-to-end scripts run), its
# checksum, what it holds, the exe's version resource, and the unpacked exe
# started up to its main window.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"

dist=${TW_DIST:-$e2e_root/dist}
version=$(sed -n 's/^#define TW_VERSION_TEXT "\(.*\)"$/\1/p' "$e2e_root/src/program/version.h")
zip=$dist/Tallywick-${version// /-}.zip
if [ ! -f "$zip" ]; then
  echo "FAIL: release (no $zip; scripts/package makes it)"
  exit 1
fi
e2e_begin release

size=$(stat -c %s "$zip")
echo "zip: $(basename "$zip"), $size bytes"
check "the zip is at most 4 MB ($size bytes)" [ "$size" -le 4000000 ]
check "SHA256SUMS names the zip's checksum" bash -c "cd '$dist' && sha256sum --quiet -c SHA256SUMS"
listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
check "the zip holds the folder, the exe and the read-me, nothing else" \
  [ "$listing" = "$(printf 'Tallywick/\nTallywick/tallywick.exe\nTallywick/ПРОЧТИТЕ.txt')" ]

unpacked=$work/unpacked
python3 -m zipfile -e "$zip" "$unpacked"
folder=$unpacked/Tallywick
readme=$folder/ПРОЧТИТЕ.txt
# Notepad on any Windows: UTF-8 with a byte order mark, CR LF after every line.
check "the read-me is UTF-8 with a byte order mark" [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ]
check "the read-me is Russian text that decodes" grep -q 'Что делает программа' "$readme"
check "every line of the read-me ends in CR LF" [ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ]
check "the exe carries no debug information" \
  bash -c "! x86_64-w64-mingw32-objdump -h '$folder/tallywick.exe' | grep -q '\.debug_'"

major=$(sed -n 's/^#define TW_VERSION_MAJOR \([0-9]*\)$/\1/p' "$e2e_root/src/program/version.h")
minor=$(sed -n 's/^#define TW_VERSION_MINOR \([0-9]*\)$/\1/p' "$e2e_root/src/program/version.h")
resource=$(timeout 20 wine "$e2e_windows/verinfo.exe" "$(winepath -w "$folder/tallywick.exe" 2>/dev/null)" 2>/dev/null | tr -d '\r')
echo "version resource: $(echo "$resource" | paste -sd '|')"
check "the exe's version resource says $major.$minor / $version" \
  [ "$resource" = "$(printf '%s.%s.0.0\n%s\n%s' "$major" "$minor" "$version" "$version")" ]

# The unpacked exe, in its own folder, as a first start: no settings yet.
start_program "$folder"
check "the unpacked exe opens its main window" wait_until 30 window_shown "Tallywick v $version"
if [ -n "${TW_RELEASE_SHOT:-}" ]; then import -window root "$TW_RELEASE_SHOT"; fi
stop_program
e2e_end
