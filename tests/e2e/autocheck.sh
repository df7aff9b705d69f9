#!/usr/bin/env bash
# The daily background check of the real program under Wine and the stand-in
# proxy: the option registers the task; /check without a change, with one
# (icon, click, report, stored list), with the stand-in down, beside an open
# program (/check, /report), and the user's own start while an icon waits.
# md5 sums of the snapshot, history and options.ini show what changed.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin autocheck

today=$(date +%d.%m.%Y)
options_caption="Настройки"
report_caption="Изменения в профиле"
# Wine runs no Task Scheduler service until asked (Windows always does).
timeout 60 wine net start schedule >/dev/null 2>&1
tasks=$WINEPREFIX/drive_c/windows/system32/tasks

start_standin auto || { fail "stand-in starts"; e2e_end; }
port=$standin_port
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
mkdir -p "$standin_fixtures/member-1100"
# Every request sees page 1 until page 2 is put in its place.
cp "$e2e_root/tests/fixtures/profiles/member-1100/1.html" "$standin_fixtures/member-1100/"

folder=$(new_folder auto)
write_options "$folder" "ID=1100" "Guest=True" "UseProxy=True" "ProxyHost=127.0.0.1" "ProxyPort=$port" \
  "LastUpdate=$today"
# The list of page 1, accepted earlier.
printf '1%%Первый\r\n2%%Второй\r\n3%%Третий\r\n' | iconv -f UTF-8 -t CP1251 >"$folder/1100.id"
main_caption="Tallywick v 2.1 beta  [id=1100]"

tasks_now() { ls "$tasks" 2>/dev/null | grep -c '^Tallywick '; }
tasks_before=$(tasks_now)
task_there() { [ "$(tasks_now)" -gt "$tasks_before" ]; }
task_gone() { ! task_there; }
sums() { (cd "$folder" && md5sum 1100.id options.ini 1100.history.txt 2>/dev/null); }
notifier_running() { pgrep -f 'tallywick\.exe /notify' >/dev/null; }
tray_shown() { xdotool search --name "Wine System Tray" >/dev/null 2>&1; }
run_check() { (cd "$folder" && timeout 120 wine tallywick.exe /check >/dev/null 2>&1); }
result() { iconv -f CP1251 -t UTF-8 "$folder/autocheck.txt" | tr -d '\r' | cut -f2; }
# Ends every copy of the program in the folder (the one a click started too).
stop_all() {
  local p
  for p in $(pgrep -f 'tallywick\.exe' 2>/dev/null); do
    [ "$(readlink "/proc/$p/cwd" 2>/dev/null)" = "$folder" ] && kill "$p" 2>/dev/null
  done
  program_pid=
  wait_until 10 program_gone || true
}
same() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1 (expected '$2', got '$3')"; fi; }
# Options window: Check5 at (20, 367) 13 x 13, XpB1 56 x 56 at (224, 436).
open_options() {
  click_command 2 && wait_until 20 window_shown "$options_caption"
}
accept_options() { click_at "$options_caption" 252 464 && wait_until 20 window_shown "$main_caption"; }

# 1. The option on: the task is registered under the folder's name.
start_program "$folder"
if ready_main "$main_caption" && open_options; then
  click_at "$options_caption" 26 373
  accept_options
  check "option on: AutoCheck=True, AutoCheckTime=09:00 in options.ini" \
    grep -qx 'AutoCheckTime=09:00' <(tr -d '\r' <"$folder/options.ini" | sed -n '/^AutoCheck=True$/{n;p}')
  check "option on: a \"Tallywick <folder id>\" task is registered" wait_until 10 task_there
else
  fail "the options window opens"
fi
stop_all

# 2. No change: exit 0, nothing shown, no file changed but the result.
before=$(sums)
run_check
same "no change: exit code" 0 $?
same "no change: result" "без изменений" "$(result)"
check "no change: no icon" bash -c "! pgrep -f 'tallywick\\.exe /notify' >/dev/null"
check "no change: no tmp.id" test ! -e "$folder/tmp.id"
same "no change: snapshot, options.ini and history unchanged (md5)" "$before" "$(sums)"
echo "$before"

# 3. A change: the icon with its balloon; a click opens the report.
cp "$e2e_root/tests/fixtures/profiles/member-1100/2.html" "$standin_fixtures/member-1100/1.html"
run_check
same "change: exit code" 0 $?
same "change: result" "+1 -1 ~0" "$(result)"
same "change: snapshot, options.ini and history unchanged (md5)" "$before" "$(sums)"
if check "change: the icon waits in a process of its own" wait_until 15 notifier_running &&
  check "change: Wine shows the notification area" wait_until 15 tray_shown; then
  same "change: the icon's notice (ID, +, -, ~, total, flags)" "1100 1 1 0 3 -" \
    "$(pgrep -af 'tallywick\.exe /notify' | sed 's/.*\/notify //' | tr -d '\r')"
  # Wine opens the balloon about two seconds after the icon; only the
  # picture waits for it.
  [ -n "${E2E_SHOTS:-}" ] && sleep 3
  shot autocheck-balloon
  tray=$(xdotool search --name "Wine System Tray" | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  # The first icon of Wine's tray window sits at the left of its bottom row.
  xdotool mousemove $((X + 14)) $((Y + HEIGHT - 14)); sleep 0.3; xdotool click 1
  if check "click: the report opens" wait_until 40 window_shown "$report_caption"; then
    shot autocheck-report
    check "click: the icon is gone" wait_until 10 bash -c "! pgrep -f 'tallywick\\.exe /notify' >/dev/null"
    same "click: the report shows the change" "Подписались (1)" "$(control_text "$report_caption" 1001)"
    # XpB1 of the report: 52 x 52 at (516, 378).
    click_at "$report_caption" 542 404
    wait_until 20 window_shown "$main_caption"
    after=$(sums)
    check "accept: the snapshot is the new list" \
      test "$(iconv -f CP1251 -t UTF-8 "$folder/1100.id" | tr -d '\r' | cut -d% -f1 | tr '\n' ' ')" = "1 3 4 "
    check "accept: the history has the report" grep -q "Четвёртый" <(iconv -f CP1251 -t UTF-8 "$folder/1100.history.txt")
    check "accept: md5 of the snapshot changed" test "$(echo "$before" | grep 1100.id)" != "$(echo "$after" | grep 1100.id)"
    echo "$after"
  fi
  stop_all
else
  fail "change: no icon"
fi

# 4. The stand-in down: exit 1, and the options window tells why.
kill "$standin_pid" 2>/dev/null
wait "$standin_pid" 2>/dev/null
before=$(sums)
run_check
same "stand-in down: exit code" 1 $?
check "stand-in down: the result is the socket error" grep -q "Ошибка подключения #" <(result)
same "stand-in down: no file changed (md5)" "$before" "$(sums)"
start_program "$folder"
if ready_main "$main_caption" && open_options; then
  shown=$(wintext "$options_caption" | awk -F'\t' '$1 == "control" && $3 == 516 { print $5 }')
  check "options: the last result is shown" grep -q "Последняя проверка: .* — Ошибка подключения #" <<<"$shown"
  shot options-autocheck-error
  click_at "$options_caption" 312 464  # XpB2: cancel
  wait_until 20 window_shown "$main_caption"
else
  fail "the options window opens after the failed check"
fi

# 5. The program open: /check leaves it alone; /report brings it to the
# front and starts the check, without the second-instance box.
start_standin again --port "$port" || fail "stand-in starts again"
mkdir -p "$standin_fixtures/member-1100"
cp "$e2e_root/tests/fixtures/profiles/member-1100/2.html" "$standin_fixtures/member-1100/1.html"
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
run_check
same "open program: /check exit code" 0 $?
same "open program: /check result" "без изменений" "$(result)"
check "open program: its main window stays" window_shown "$main_caption"
check "open program: no second-instance box" window_gone "Ошибка"
(cd "$folder" && timeout 60 wine tallywick.exe /report >/dev/null 2>&1)
same "open program: /report ends at once" 0 $?
check "open program: /report makes it check (the report opens)" wait_until 40 window_shown "$report_caption"
check "open program: no second-instance box after /report" window_gone "Ошибка"
click_at "$report_caption" 602 404  # XpB2: close
wait_until 20 window_shown "$main_caption"
stop_all

# 6. An icon waits; the user's own start opens the program normally.
printf '1%%Первый\r\n' | iconv -f UTF-8 -t CP1251 >"$folder/1100.id"
run_check
check "waiting icon: there" wait_until 15 notifier_running
start_program "$folder"
check "own start while the icon waits: the main window" ready_main "$main_caption"
check "own start while the icon waits: no second-instance box" window_gone "Ошибка"
stop_all

# 7. The option off: the task is deleted.
start_program "$folder"
if ready_main "$main_caption" && open_options; then
  click_at "$options_caption" 26 373
  accept_options
  check "option off: the task is deleted" wait_until 10 task_gone
  check "option off: AutoCheck=False" grep -q '^AutoCheck=False' <(tr -d '\r' <"$folder/options.ini")
fi
stop_all
e2e_end
