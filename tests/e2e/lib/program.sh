# Helpers of the end-to-end scripts that drive the real program under Wine:
# the stand-in service, fresh program folders, window texts read with
# wintext.exe, clicks with xdotool, and PASS/FAIL bookkeeping.
#
#   . "$TW_ROOT/tests/e2e/lib/program.sh"
#   e2e_begin             # checks the build, starts Wine + Xvfb, sets $work
#   ...
#   e2e_end               # prints the summary, cleans up, exits 0 or 1
#
# Wine runs with its own prefix and display (scripts/lib/wine.sh) unless the
# caller already set DISPLAY and WINEPREFIX (scripts/test does).

e2e_root=${TW_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)}
e2e_build=${TW_BUILD:-$e2e_root/build}
e2e_windows=${TW_WINDOWS_BUILD:-$e2e_build/windows}
e2e_standin=${TW_STANDIN:-$e2e_build/native/stand-in}
e2e_failed=0
e2e_passed=0
e2e_pids=()
e2e_started_wine=0

pass() { echo "PASS: $*"; e2e_passed=$((e2e_passed + 1)); }
fail() { echo "FAIL: $*"; e2e_failed=$((e2e_failed + 1)); }
# check <name> <command...>: PASS when the command succeeds.
check() {
  local name=$1; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

e2e_cleanup() {
  local p
  for p in "${e2e_pids[@]}"; do kill "$p" 2>/dev/null; done
  if [ "$e2e_started_wine" = 1 ]; then tw_wine_down; fi
  [ -n "${work:-}" ] && rm -rf "$work"
}

# e2e_begin <name>: everything a script needs; exits with FAIL when a piece
# of the build is missing.
e2e_begin() {
  e2e_name=$1
  local need
  for need in "$e2e_windows/tallywick.exe" "$e2e_windows/wintext.exe" "$e2e_standin"; do
    if [ ! -e "$need" ]; then echo "FAIL: $e2e_name (no $need)"; exit 1; fi
  done
  work=$(mktemp -d)
  trap e2e_cleanup EXIT
  . "$e2e_root/scripts/lib/wine.sh"
  if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    tw_wine_up "$e2e_build" || { echo "FAIL: $e2e_name (Wine could not start)"; exit 1; }
    e2e_started_wine=1
  fi
  export WINEDEBUG=-all
}

e2e_end() {
  echo "$e2e_name: $e2e_passed passed, $e2e_failed failed"
  [ "$e2e_failed" -eq 0 ]
  exit $?
}

# wait_until <seconds> <command...>: polls every 0.2 s.
wait_until() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  while [ "$SECONDS" -le "$end" ]; do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# start_standin <name> <args...>: a stand-in with its own fixtures folder
# $work/<name>/fixtures and log $work/<name>/log; sets $standin_port,
# $standin_fixtures, $standin_log and $standin_pid.
start_standin() {
  local name=$1; shift
  local dir=$work/$name
  mkdir -p "$dir/fixtures" "$dir/log"
  standin_fixtures=$dir/fixtures
  standin_log=$dir/log
  "$e2e_standin" --fixtures "$standin_fixtures" --log "$standin_log" --lifetime 300 "$@" \
    >"$dir/out" 2>"$dir/err" &
  standin_pid=$!
  e2e_pids+=("$standin_pid")
  local i
  for i in $(seq 100); do
    standin_port=$(sed -n 's/^port \([0-9]*\)$/\1/p' "$dir/out")
    [ -n "$standin_port" ] && return 0
    sleep 0.05
  done
  echo "stand-in $name did not start: $(cat "$dir/err")"
  return 1
}

# The number of requests the stand-in has logged so far.
request_count() { find "$standin_log" -name '*.http' | wc -l; }
# request_file <n>: the path of the n-th request (1-based).
request_file() { printf '%s/%04d.http' "$standin_log" "$1"; }

# new_folder <name>: a fresh program folder holding tallywick.exe (the one
# $e2e_program names, else the ordinary build's); prints it.
new_folder() {
  local folder=$work/$1
  mkdir -p "$folder"
  cp "${e2e_program:-$e2e_windows/tallywick.exe}" "$folder/tallywick.exe"
  echo "$folder"
}

# write_options <folder> <key=value>...: options.ini, section Main, in the
# program's code page (values are given in UTF-8).
write_options() {
  local folder=$1; shift
  {
    printf '[Main]\r\n'
    local pair
    for pair in "$@"; do printf '%s\r\n' "$pair"; done
  } | iconv -f UTF-8 -t CP1251 >"$folder/options.ini"
}

# wintext <caption>: the window's texts (see tests/e2e/tools/wintext.cpp);
# status 1 when there is no such window.
wintext() { timeout 20 wine "$e2e_windows/wintext.exe" "$1" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# window_shown <caption>: the window exists and is visible.
window_shown() { wintext "$1" | head -n 1 | grep -q "^window	1	"; }
# window_gone <caption>: no visible window of that caption.
window_gone() { ! window_shown "$1"; }
# control_text <caption> <id>: the text of one child control.
control_text() { wintext "$1" | awk -F'\t' -v id="$2" '$1 == "control" && $3 == id { print $5; exit }'; }

# start_program <folder>: runs tallywick.exe in that folder; sets $program_pid.
start_program() {
  (cd "$1" && exec timeout 170 wine tallywick.exe >/dev/null 2>&1) &
  program_pid=$!
  e2e_pids+=("$program_pid")
}

# stop_program: ends the running copy, so the next one is not refused as a
# second instance. Only the copy started from this script's folder is
# stopped: other programs in the same Wine prefix are left alone.
stop_program() {
  [ -n "${program_pid:-}" ] || return 0
  local p
  for p in $(pgrep -f 'tallywick\.exe' 2>/dev/null); do
    [ "$(readlink "/proc/$p/cwd" 2>/dev/null)" = "$folder" ] && kill "$p" 2>/dev/null
  done
  kill "$program_pid" 2>/dev/null
  wait "$program_pid" 2>/dev/null
  program_pid=
  wait_until 10 program_gone || true
}
program_gone() {
  local p
  for p in $(pgrep -f 'tallywick\.exe' 2>/dev/null); do
    [ "$(readlink "/proc/$p/cwd" 2>/dev/null)" = "$folder" ] && return 1
  done
  return 0
}

# window_origin <caption>: sets $win_x $win_y, the screen position of the
# window's client area.
window_origin() {
  local line
  line=$(wintext "$1" | head -n 1)
  [ -n "$line" ] || return 1
  win_x=$(echo "$line" | cut -f3)
  win_y=$(echo "$line" | cut -f4)
}

main_buttons_shown() {
  [ "$(wintext "$main_caption" | awk -F'\t' '$1 == "control" && ($3 == 103 || $3 == 104 || $3 == 105) && $4 == 1' |
    wc -l)" -eq 3 ]
}

# ready_main <caption>: waits for the main window, moves the pointer over
# it and waits until the intro has shown the three commands.
ready_main() {
  main_caption=$1
  wait_until 30 window_shown "$main_caption" || return 1
  window_origin "$main_caption" || return 1
  xdotool mousemove $((win_x + 200)) $((win_y + 60))
  sleep 0.1
  xdotool mousemove $((win_x + 210)) $((win_y + 70))
  wait_until 10 main_buttons_shown
}

# at_scale <v>: a 100 % coordinate at the display scale $TW_DPI (96 if unset).
at_scale() { echo $((($1 * ${TW_DPI:-96} + 48) / 96)); }

# click_at <caption> <x> <y>: one click at a point of a window's client area,
# given at 100 %.
click_at() {
  window_origin "$1" || return 1
  xdotool mousemove $((win_x + $(at_scale "$2"))) $((win_y + $(at_scale "$3")))
  sleep 0.3
  xdotool click 1
}

# click_command <n>: one click on command n of the ready main window (the
# buttons are 67 x 67 at (16,16), (16,92) and (16,208)).
click_command() {
  local y
  case $1 in 1) y=49 ;; 2) y=125 ;; 3) y=241 ;; esac
  click_at "$main_caption" 49 "$y"
}

# press_enter: Enter to the window that has the focus (a message box).
press_enter() { xdotool key Return; }

# shot <name>: a screenshot of the whole display into $E2E_SHOTS, if set.
shot() {
  [ -n "${E2E_SHOTS:-}" ] || return 0
  mkdir -p "$E2E_SHOTS"
  import -window root "$E2E_SHOTS/$1.png" 2>/dev/null || true
}

# expected_request <direct|proxy> <post|profile> <id> [cookie LOGIN PASS]
#                  [proxyauth USER PASS]: prints the request bytes the program
# must send, built from the rules of the request independently of the
# program's own code (LOGIN, PASS in UTF-8; sent in the program's code page).
expected_request() {
  python3 - "$@" <<'PY'
import base64, hashlib, os, sys
form, target, pid, rest = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
main_host = "diary.example"
pda_host = os.environ.get("E2E_PDA_HOST", "pda.diary.example")
path = "/~wrenfold/?comments&postid=4548577" if target == "post" else \
       "/member/?" + pid + "&fullreaderslist&fullfavoriteslist"
lines = ["GET " + ("http://" + main_host + path if form == "proxy" else path) + " HTTP/1.0",
         "Accept: */*", "Referer: http://" + pda_host + "/", "Accept-Language: ru",
         "User-Agent: Tallywick 2.0 (by Orvane)", "Host: " + pda_host,
         "Proxy-Connection: Close" if form == "proxy" else "Connection: Close"]
lines = [l.encode("ascii") for l in lines]
i = 0
while i < len(rest):
    if rest[i] == "cookie":
        login, password = rest[i + 1].encode("cp1251"), rest[i + 2].encode("cp1251")
        # A login that starts with "%" is taken as already encoded.
        nick = login if login[:1] == b"%" else b"".join(
            b"+" if c == 0x20 else b"%%%02X" % c for c in login)
        lines.append(b"Cookie: user_login=" + nick + b"; user_pass=" +
                     hashlib.md5(password).hexdigest().encode())
        i += 3
    elif rest[i] == "proxyauth":
        cred = (rest[i + 1] + ":" + rest[i + 2]).encode("cp1251")
        if form == "proxy":
            lines.append(b"Proxy-Authorization: Basic " + base64.b64encode(cred))
        i += 3
    else:
        sys.exit("unknown part " + rest[i])
sys.stdout.buffer.write(b"".join(l + b"\r\n" for l in lines) + b"\r\n")
PY
}

# same_request <n> <expected file> <name>: PASS when request n is exactly
# the expected bytes; on a difference both are shown.
same_request() {
  local got
  got=$(request_file "$1")
  if [ -f "$got" ] && cmp -s "$got" "$2"; then
    pass "$3"
  else
    fail "$3"
    echo "  expected:"; cat -A "$2" | sed 's/^/    /'
    echo "  received:"; { [ -f "$got" ] && cat -A "$got" || echo "(no request $1)"; } | sed 's/^/    /'
  fi
}

# A check from the main window. The caller sets $profile_id; $main_caption
# and $loading_caption follow from it, and $credentials (an array, login and
# password) makes a user.dat when not empty.
credentials=()
check_captions() {
  main_caption="Tallywick v 2.1 beta  [id=$profile_id]"
  loading_caption="Получение информации о профиле ID=$profile_id"
}

# start_check <name> <key=value...>: a fresh program folder with those
# options, the program started and command 1 clicked once, after the intro
# has shown it. Sets $folder and $before (the stand-in's request count before
# the click). E2E_ONLY="name ..." runs only those checks (for debugging).
start_check() {
  local name=$1; shift
  if [ -n "${E2E_ONLY:-}" ] && [[ " $E2E_ONLY " != *" $name "* ]]; then return 1; fi
  check_captions
  folder=$(new_folder "$name")
  write_options "$folder" "$@"
  if [ ${#credentials[@]} -gt 0 ]; then
    LC_ALL=C.UTF-8 timeout 30 wine "$e2e_windows/usercred.exe" "$folder/user.dat" "${credentials[@]}" ||
      fail "$name: user.dat written"
  fi
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
# message_shown <text>: a "Сообщение" box with that text is up.
message_shown() { wintext "Сообщение" | grep -qF "	$1"; }
