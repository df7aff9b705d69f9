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
check_captions
today=$(date +%d.%m.%Y)
info_id=301
cancel_x=360  # the cancel button, 48 x 48 at the right of the client area
cancel_y=48

start_standin proxy --proxy-auth user:pass || { fail "stand-in starts"; e2e_end; }
auth_port=$standin_port
auth_fixtures=$standin_fixtures
auth_log=$standin_log
start_standin open --huge-mb 50 || { fail "stand-in starts"; e2e_end; }
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

# scenario <name> <options...>: start_check with options.ini naming the
# stand-in as proxy.
scenario() {
  local name=$1; shift
  start_check "$name" "ID=$profile_id" "UseProxy=True" "ProxyHost=127.0.0.1" "$@"
}

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

# 2. A logged-in user: both requests carry the login cookies.
use_open
credentials=("Тест user" "секрет")
if scenario user "Guest=False" "ProxyPort=$open_port"; then
  wait_until 40 has_requests 2 && wait_until 30 reported
  expected_request proxy post $profile_id cookie "${credentials[@]}" >"$expect/user-post"
  expected_request proxy profile $profile_id cookie "${credentials[@]}" >"$expect/user-profile"
  same_request $((before + 1)) "$expect/user-post" "user: the version post request with the cookie"
  same_request $((before + 2)) "$expect/user-profile" "user: the profile request with the cookie"
  check "user: the check ends on the report" reported
  [ -n "${E2E_KEEP:-}" ] && cp "$(request_file $((before + 2)))" "$E2E_KEEP/user-profile.http"
fi
credentials=()
stop_program

# 3. Proxy credentials: the proxy asks for them and gets them.
use_auth
if scenario proxyauth "Guest=True" "ProxyPort=$auth_port" "ProxyAuth=True" "ProxyLogin=user" "ProxyPass=pass"; then
  wait_until 40 has_requests 2 && wait_until 30 reported
  expected_request proxy post $profile_id proxyauth user pass >"$expect/auth-post"
  expected_request proxy profile $profile_id proxyauth user pass >"$expect/auth-profile"
  same_request $((before + 1)) "$expect/auth-post" "proxy credentials: the version post request"
  same_request $((before + 2)) "$expect/auth-profile" "proxy credentials: the profile request"
  check "proxy credentials: the check ends on the report" reported
fi
stop_program

# 4. The version post was fetched today already: only the profile.
use_open
if scenario today "Guest=True" "ProxyPort=$open_port" "LastUpdate=$today"; then
  wait_until 40 has_requests 1 && wait_until 30 reported
  sleep 1
  expected_request proxy profile $profile_id >"$expect/today-profile"
  same_request $((before + 1)) "$expect/today-profile" "LastUpdate today: the first request is the profile"
  check "LastUpdate today: one request only" [ "$(requests_since)" -eq 1 ]
fi
stop_program

# 5. The version post fails: the proxy's error message, no profile request,
# LastUpdate unchanged.
use_open
echo 500 >"$open_fixtures/mode"
if scenario failedpost "Guest=True" "ProxyPort=$open_port" "LastUpdate=01.01.2001"; then
  check "failed version post: the message names the proxy's bad answer" wait_until 30 message_shown "Прокси-сервер вернул ошибочный ответ"
  shot failed-post-message
  press_enter
  check "failed version post: the main window is back" wait_until 20 settled
  check "failed version post: no profile request" [ "$(requests_since)" -eq 1 ]
  check "failed version post: LastUpdate unchanged" [ "$(last_update)" = "01.01.2001" ]
fi
rm -f "$open_fixtures/mode"
stop_program

# 6. A port where nothing listens: the socket error as a link; cancel
# returns to the main window.
free_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
error_shown() { [ "$(control_text "Ошибка подключения" $info_id)" = "Ошибка подключения #$1" ]; }
if scenario refused "Guest=True" "ProxyPort=$free_port" "LastUpdate=$today"; then
  check "refused port: status Ошибка подключения #10061" wait_until 30 error_shown 10061
  shot refused-error
  click_at "Ошибка подключения" $cancel_x $cancel_y
  check "refused port: cancel returns to the main window" wait_until 20 main_back
  check "refused port: the download window is gone" window_gone "Ошибка подключения"
fi
stop_program

# 7. A proxy port that is no number: reported like a socket error, with
# the number for an address that cannot be used; nothing is sent.
use_open
if scenario badport "Guest=True" "ProxyPort=80a" "LastUpdate=$today"; then
  check "bad proxy port: status Ошибка подключения #10049" wait_until 30 error_shown 10049
  click_at "Ошибка подключения" $cancel_x $cancel_y
  check "bad proxy port: cancel returns to the main window" wait_until 20 main_back
  check "bad proxy port: the download window is gone" window_gone "Ошибка подключения"
  check "bad proxy port: nothing requested" [ "$(requests_since)" -eq 0 ]
fi
stop_program

# 8. A server that never answers: cancel ends the wait.
use_open
echo stall >"$open_fixtures/mode"
waiting_shown() { [ "$(control_text "$loading_caption" $info_id)" = "Запрос отправлен, ожидание ответа..." ]; }
if scenario stalled "Guest=True" "ProxyPort=$open_port" "LastUpdate=$today"; then
  wait_until 30 has_requests 1
  check "stalled server: waiting for the answer" wait_until 20 waiting_shown
  # The download window opens centred: the huge answer below uses this.
  window_origin "$loading_caption" && loading_x=$win_x && loading_y=$win_y
  click_at "$loading_caption" $cancel_x $cancel_y
  check "stalled server: cancel returns to the main window" wait_until 20 settled
fi
rm -f "$open_fixtures/mode"
stop_program

# 9. A 50 MB answer: the status counts kilobytes as they arrive and cancel
# works while they do. The answer streams in well under a second, so the
# status is watched from inside the desktop (wintext --watch), the pointer
# waits on the cancel button and the click follows the second reading.
echo huge >"$open_fixtures/mode"
watch_log=$work/huge-watch
: >"$watch_log"
(timeout 90 wine "$e2e_windows/wintext.exe" --watch $info_id "$loading_caption" >"$watch_log" 2>/dev/null) &
e2e_pids+=($!)
if [ -z "${loading_x:-}" ]; then
  fail "huge answer: the download window's place is known"
elif scenario huge "Guest=True" "ProxyPort=$open_port" "LastUpdate=$today"; then
  xdotool mousemove $((loading_x + cancel_x)) $((loading_y + cancel_y))
  first= second=
  while IFS= read -r line; do
    now=$(printf '%s' "$line" | tr -d '\r' | sed -n 's/^Загрузка данных - \([0-9]*\) Кб$/\1/p')
    [ -n "$now" ] || continue
    if [ -z "$first" ]; then
      first=$now
    elif [ "$now" != "$first" ]; then
      second=$now
      xdotool click 1
      break
    fi
  done < <(timeout 30 tail -n +1 -f "$watch_log")
  if [ -n "$first" ] && [ -n "$second" ] && [ "$second" -gt "$first" ]; then
    pass "huge answer: the status grows while the answer arrives ($first Кб, then $second Кб)"
  else
    fail "huge answer: the status grows while the answer arrives ('$first', then '$second')"
  fi
  check "huge answer: cancel returns to the main window" wait_until 20 settled
  last_status=$(tail -n 2 "$watch_log" | tr -d '\r' | tr '\n' '|')
  check "huge answer: cancelled before the end ($last_status)" [ ! -e "$folder/tmp.id" ]
  [ -n "${E2E_TRACE:-}" ] && cat "$watch_log"
fi
rm -f "$open_fixtures/mode"
stop_program

e2e_end
