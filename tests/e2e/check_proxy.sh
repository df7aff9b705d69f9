#!/usr/bin/env bash
# A profile check of the real program through the stand-in acting as the
# proxy: the exact request bytes for a guest, a logged-in user and proxy
# credentials, the once-a-day version post, a failed version post, a refused
# port, a stalled server and a 50 MB answer, each started with one click on
# command 1 of the main window.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin check_proxy

profile_id=1001
main_caption="Tallywick v 2.1 beta  [id=$profile_id]"
loading_caption="Получение информации о профиле ID=$profile_id"
today=$(date +%d.%m.%Y)
info_id=301
cancel_x=300  # the cancel button, 48 x 48 at the right of the client area
cancel_y=48

start_standin proxy --proxy-auth user:pass || { fail "stand-in starts"; e2e_end; }
auth_port=$standin_port
auth_fixtures=$standin_fixtures
auth_log=$standin_log
start_standin open || { fail "stand-in starts"; e2e_end; }
for fixtures in "$auth_fixtures" "$standin_fixtures"; do
  printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$fixtures/version-post.html"
  cp "$e2e_root/tests/fixtures/profiles/member-$profile_id.html" "$fixtures/"
done

# use <stand-in>: later helpers read this stand-in's log and fixtures.
use_open() { standin_port=$open_port; standin_fixtures=$open_fixtures; standin_log=$open_log; }
use_auth() { standin_port=$auth_port; standin_fixtures=$auth_fixtures; standin_log=$auth_log; }
open_port=$standin_port
open_fixtures=$standin_fixtures
open_log=$standin_log

# scenario <name> <options...>: a fresh folder with options.ini naming the
# stand-in as proxy, the program started and command 1 clicked once. Sets
# $folder and $before (the stand-in's request count before the click).
scenario() {
  local name=$1; shift
  folder=$(new_folder "$name")
  write_options "$folder" "ID=$profile_id" "UseProxy=True" "ProxyHost=127.0.0.1" "$@"
  [ -n "${credentials:-}" ] && timeout 30 wine "$e2e_windows/usercred.exe" "$folder/user.dat" $credentials
  start_program "$folder"
  if ! ready_main "$main_caption"; then
    fail "$name: the main window shows its commands"
    return 1
  fi
  before=$(request_count)
  click_command 1
  return 0
}
requests_since() { echo $(($(request_count) - before)); }
has_requests() { [ "$(requests_since)" -ge "$1" ]; }
main_back() { window_shown "$main_caption"; }
last_update() { tr -d '\r' <"$folder/options.ini" | sed -n 's/^LastUpdate=//p'; }
# settled: the check is over and the main window shows again.
settled() { main_back && ! window_shown "$loading_caption"; }
# reported: a successful check ends on the change report, or on the main
# window while no report window is built in.
reported() { ! window_shown "$loading_caption" && { window_shown "Изменения в профиле" || main_back; }; }

expect=$work/expected
mkdir -p "$expect"

# 1. A guest: the version post, then the profile; the day is marked.
use_open
if scenario guest "Guest=True" "ProxyPort=$open_port"; then
  wait_until 40 has_requests 2 && wait_until 30 reported
  expected_request proxy post $profile_id >"$expect/guest-post"
  expected_request proxy profile $profile_id >"$expect/guest-profile"
  same_request $((before + 1)) "$expect/guest-post" "guest: the version post request"
  same_request $((before + 2)) "$expect/guest-profile" "guest: the profile request"
  check "guest: two requests only" [ "$(requests_since)" -eq 2 ]
  check "guest: the check ends on the report" reported
  check "guest: LastUpdate is today" [ "$(last_update)" = "$today" ]
  check "guest: the profile list was written" [ -f "$folder/tmp.id" ]
  [ -n "${E2E_KEEP:-}" ] && cp "$(request_file $((before + 2)))" "$E2E_KEEP/guest-profile.http"
fi
stop_program

e2e_end
