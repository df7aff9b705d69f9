#!/usr/bin/env bash
# A profile check of the real program straight to the service host, without a
# proxy: a build whose service host and port name the stand-in (scripts/test
# makes it in <build>/windows-direct) sends the origin-form requests, and a
# failed version post reports the server's error.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"

direct=${TW_DIRECT_BUILD:-$e2e_build/windows-direct}
header=$direct/generated/deployment.h
if [ ! -f "$direct/tallywick.exe" ] || [ ! -f "$header" ]; then
  echo "FAIL: check_direct (no $direct/tallywick.exe; scripts/test builds it)"
  exit 1
fi
e2e_begin check_direct
# The program of this build; the tools come from the ordinary one.
e2e_program=$direct/tallywick.exe
pda_host=$(sed -n 's/.*kPdaHost\[\] = "\(.*\)";/\1/p' "$header")
pda_port=$(sed -n 's/.*kPdaPort = \([0-9]*\);/\1/p' "$header")
export E2E_PDA_HOST=$pda_host
if [ "$pda_host" != 127.0.0.1 ] || [ -z "$pda_port" ]; then
  fail "the direct build names the stand-in ($pda_host:$pda_port)"
  e2e_end
fi

profile_id=1001
check_captions
today=$(date +%d.%m.%Y)
start_standin direct --port "$pda_port" || { fail "stand-in starts on port $pda_port"; e2e_end; }
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
cp "$e2e_root/tests/fixtures/profiles/member-$profile_id.html" "$standin_fixtures/"
expect=$work/expected
mkdir -p "$expect"

# 1. A logged-in user, no proxy: the origin-form request line, the
# "Connection" line and the cookie, for the version post and the profile.
credentials=("Читатель" "pass word")
if start_check user "ID=$profile_id" "Guest=False" "UseProxy=False" "ProxyAuth=True" "ProxyLogin=x"; then
  wait_until 40 has_requests 2 && wait_until 30 reported
  expected_request direct post $profile_id cookie "${credentials[@]}" >"$expect/post"
  expected_request direct profile $profile_id cookie "${credentials[@]}" >"$expect/profile"
  same_request $((before + 1)) "$expect/post" "direct: the version post request"
  same_request $((before + 2)) "$expect/profile" "direct: the profile request (no proxy lines)"
  check "direct: the check ends on the report" reported
  check "direct: LastUpdate is today" [ "$(last_update)" = "$today" ]
  [ -n "${E2E_KEEP:-}" ] && cp "$(request_file $((before + 2)))" "$E2E_KEEP/direct-profile.http"
fi
credentials=()
stop_program

# 2. The version post fails: the server's error, nothing else requested.
echo 500 >"$standin_fixtures/mode"
if start_check failedpost "ID=$profile_id" "Guest=True" "LastUpdate=01.01.2001"; then
  check "direct failed version post: Ошибка на стороне сервера" \
    wait_until 30 message_shown "Ошибка на стороне сервера"
  press_enter
  check "direct failed version post: the main window is back" wait_until 20 settled
  check "direct failed version post: no profile request" [ "$(requests_since)" -eq 1 ]
  check "direct failed version post: LastUpdate unchanged" [ "$(last_update)" = "01.01.2001" ]
fi
rm -f "$standin_fixtures/mode"
stop_program

e2e_end
