#!/usr/bin/env bash
# The real program with the keyboard alone (xdotool keys, no pointer move or
# click once it runs): a key starts the intro, Tab and Enter start a check
# through the stand-in proxy, Tab and Space store the report's list; the
# options open by keys, Space toggles anonymous access and Esc leaves the
# file as it was, Enter in a field saves; F1 opens the about window and Esc
# closes it. A reader in another process (wintext --access) hears each
# control's role and name. Screenshots show the focus cue.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin keyboard

report_caption="Изменения в профиле"
options_caption="Настройки"
about_caption="О программе"
today=$(date +%d.%m.%Y)
# Control ids: the main window's XpB3..5 are 103..105; the report's XpB1 is
# 1201; the options window's Check1 is 561, its tick XpB1 591, the ID field
# the edit (1001) inside Combo1.
same() {  # same <name> <expected> <actual>
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1 (expected '$2', got '$3')"; fi
}
focus_of() { wintext "$1" | awk -F'\t' '$1 == "focus" { print $2 }'; }
active() { wintext "$1" | awk -F'\t' '$1 == "focus" { print $3 }' | grep -qx 1; }
# tab_to <caption> <id>: Tab until that control has the focus (once the
# window is the active one, so the keys reach it).
tab_to() {
  local i
  wait_until 10 active "$1" || return 1
  for i in $(seq 1 20); do
    [ "$(focus_of "$1")" = "$2" ] && return 0
    xdotool key Tab
    sleep 0.2
  done
  return 1
}
heard() {  # heard <caption> <id>: role and name as another process reads them
  wine "$e2e_windows/wintext.exe" --access "$1" 2>/dev/null | tr -d '\r' |
    awk -F'\t' -v id="$2" '$1 == "access" && $2 == id { print $3 "\t" $5; exit }'
}
history_lines() { [ -f "$folder/1100.history.txt" ] && wc -l <"$folder/1100.history.txt" || echo 0; }
report_shown() { window_shown "$report_caption"; }

start_standin open || { fail "stand-in starts"; e2e_end; }
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
profiles=$e2e_root/tests/fixtures/profiles
mkdir -p "$standin_fixtures/member-1100"
cp "$profiles"/member-1100/*.html "$standin_fixtures/member-1100/"

folder=$(new_folder keyboard)
write_options "$folder" "ID=1100" "Guest=True" "UseProxy=True" "ProxyHost=127.0.0.1" "ProxyPort=$standin_port" \
  "LastUpdate=$today"
main_caption="Tallywick v 2.1 beta  [id=1100]"
start_program "$folder"
wait_until 30 window_shown "$main_caption" || { fail "the main window opens"; e2e_end; }

# 1. A key starts the intro (Wine under Xvfb keeps its pointer at the
# screen's centre, over the new window, so the pointer may have started it
# already; the window's model test shows the key alone does); Tab and Enter
# start a check.
xdotool key space
check "after a key the intro shows the commands" wait_until 10 main_buttons_shown
same "a reader hears XpB3 as a button named by its command" "$(printf '43\tПроверить профиль')" \
  "$(heard "$main_caption" 103)"
check "Tab reaches XpB3" tab_to "$main_caption" 103
shot keyboard-main-focus
before=$(history_lines)
xdotool key Return
if check "Enter on XpB3 checks the profile" wait_until 40 report_shown; then
  # 2. In the report: Tab to the tick, Space stores the list.
  sleep 0.5
  check "Tab reaches the report's tick" tab_to "$report_caption" 1201
  same "a reader hears the tick" "$(printf '43\tПринять список')" "$(heard "$report_caption" 1201)"
  xdotool key space
  check "Space on the tick closes the report" wait_until 20 eval 'window_gone "$report_caption" && window_shown "$main_caption"'
  check "the history file grows" [ "$(history_lines)" -gt "$before" ]
  check "the snapshot is stored" [ -f "$folder/1100.id" ]
fi

# 3. The options by keys: Space toggles anonymous access, Esc changes nothing.
open_options() {
  tab_to "$main_caption" 104 && xdotool key Return && wait_until 20 window_shown "$options_caption"
}
wait_until 10 window_shown "$main_caption"
ini_before=$(md5sum <"$folder/options.ini")
if check "Tab and Enter open the options" open_options; then
  sleep 0.5
  check "Tab reaches the anonymous-access box" tab_to "$options_caption" 561
  same "a reader hears the box checked" "$(printf '44\tИспользовать анонимный вход')" \
    "$(heard "$options_caption" 561)"
  xdotool key space
  sleep 0.3
  check "Space unchecks it: the login fields show" \
    eval "wintext '$options_caption' | awk -F'\t' '\$1 == \"control\" && \$3 == 541 { print \$4 }' | grep -qx 1"
  check "Tab reaches the tick" tab_to "$options_caption" 591
  shot keyboard-options-tick-focus
  xdotool key Escape
  check "Esc closes the options" wait_until 20 eval 'window_gone "$options_caption" && window_shown "$main_caption"'
  same "Esc leaves options.ini as it was" "$ini_before" "$(md5sum <"$folder/options.ini")"
fi

# 4. Change the ID and save with Enter in the field.
if check "the options open again" open_options; then
  sleep 0.5
  same "the ID field has the focus" 1001 "$(focus_of "$options_caption")"
  xdotool key ctrl+a
  xdotool type --delay 50 1101
  xdotool key Return
  check "Enter in the field saves and closes" wait_until 20 eval 'window_gone "$options_caption"'
  check "options.ini holds the new ID" grep -q '^ID=1101' <(tr -d '\r' <"$folder/options.ini")
fi
main_caption="Tallywick v 2.1 beta  [id=1101]"

# 5. F1 opens the about window; Esc closes it.
if check "the main window comes back" wait_until 20 window_shown "$main_caption"; then
  xdotool key F1
  if check "F1 opens the about window" wait_until 10 window_shown "$about_caption"; then
    shot keyboard-about
    xdotool key Escape
    check "Esc closes the about window" wait_until 10 window_gone "$about_caption"
  fi
fi
stop_program
e2e_end
