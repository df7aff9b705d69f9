#!/usr/bin/env bash
# The options window of the real program, driven by pointer clicks and
# typing: the first start without options.ini, a profile and the stand-in
# as proxy entered and checked, login and password kept in user.dat and
# sent as cookies after a restart, keeping switched off, cancel after edits,
# and clearing the other profiles' snapshots.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin options_road

profile_id=1001
plain_caption="Tallywick v 2.1 beta"
id_caption="$plain_caption  [id=$profile_id]"
options_caption="Настройки"
today=$(date +%d.%m.%Y)

# Points of the options window's client area.
combo=(250 52)
check1=(26 79)
text1=(170 108)
text2=(170 136)
check2=(26 163)
check3=(26 233)
text3=(150 260)
text4=(290 260)
xpb1=(252 464)
xpb2=(316 464)

start_standin open || { fail "stand-in starts"; e2e_end; }
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
cp "$e2e_root/tests/fixtures/profiles/member-$profile_id.html" "$standin_fixtures/"
expect=$work/expected
mkdir -p "$expect"

options_shown() { window_shown "$options_caption"; }
options_gone() { window_gone "$options_caption"; }
main_gone() { window_gone "$id_caption" && window_gone "$plain_caption"; }
# click_options <point...>: one click on a point of the options window.
click_options() { click_at "$options_caption" "$1" "$2"; }
# type_into <x> <y> <text>: a click into a field, then the text typed.
type_into() {
  click_options "$1" "$2"
  sleep 0.2
  xdotool type --delay 40 "$3"
  sleep 0.2
}
ini_value() { tr -d '\r' <"$folder/options.ini" | sed -n "s/^$1=//p"; }
has_requests() { [ "$(request_count)" -ge "$1" ]; }
open_options_by() {
  ready_main "$1" || return 1
  click_command "$2"
  wait_until 20 options_shown
}

folder=$(new_folder road)

# 1. First start: no profile, command 1 leads to the options.
start_program "$folder"
if open_options_by "$plain_caption" 1; then
  pass "first start: command 1 opens the options"
  check "first start: the main window is not shown meanwhile" main_gone
  shot options-first
  type_into "${combo[@]}" "$profile_id"
  click_options "${check3[@]}"
  type_into "${text3[@]}" "127.0.0.1"
  type_into "${text4[@]}" "$standin_port"
  click_options "${xpb1[@]}"
  check "accept: the options close" wait_until 20 options_gone
  check "accept: the main window is back and names the profile" wait_until 20 window_shown "$id_caption"
  check "accept: ID, guest and proxy in options.ini" \
    [ "$(ini_value ID)|$(ini_value Guest)|$(ini_value UseProxy)|$(ini_value ProxyHost)|$(ini_value ProxyPort)" \
      = "$profile_id|True|True|127.0.0.1|$standin_port" ]
  before=$(request_count)
  if ready_main "$id_caption"; then
    click_command 1
    wait_until 40 has_requests $((before + 2))
    expected_request proxy profile $profile_id >"$expect/guest-profile"
    same_request $((before + 2)) "$expect/guest-profile" "check: the guest request through the entered proxy"
  else
    fail "check: the main window shows its commands"
  fi
else
  fail "first start: command 1 opens the options"
fi
stop_program

# 2. Login and password kept: user.dat written, the cookie after a restart.
start_program "$folder"
if open_options_by "$id_caption" 2; then
  click_options "${check1[@]}"
  type_into "${text1[@]}" "user1"
  type_into "${text2[@]}" "secret1"
  click_options "${check2[@]}"
  shot options-login
  click_options "${xpb1[@]}"
  check "login kept: the options close" wait_until 20 options_gone
  check "login kept: user.dat written" [ -f "$folder/user.dat" ]
  check "login kept: Guest and SaveLoginPassword" [ "$(ini_value Guest)|$(ini_value SaveLoginPassword)" = "False|True" ]
else
  fail "command 2 opens the options"
fi
stop_program
start_program "$folder"
if ready_main "$id_caption"; then
  before=$(request_count)
  click_command 1
  wait_until 40 has_requests $((before + 1))
  sleep 1
  expected_request proxy profile $profile_id cookie user1 secret1 >"$expect/user-profile"
  same_request $((before + 1)) "$expect/user-profile" "restart: the request carries the login cookies"
else
  fail "restart: the main window shows its commands"
fi
stop_program

# 3. Cancel after edits: both files byte for byte as before.
cp "$folder/options.ini" "$work/ini-before"
cp "$folder/user.dat" "$work/user-before"
start_program "$folder"
if open_options_by "$id_caption" 2; then
  type_into "${text3[@]}" "9"
  click_options "${check2[@]}"
  click_options "${xpb2[@]}"
  check "cancel: the options close" wait_until 20 options_gone
  check "cancel: the main window is back" wait_until 20 window_shown "$id_caption"
  check "cancel: options.ini unchanged" cmp -s "$folder/options.ini" "$work/ini-before"
  check "cancel: user.dat unchanged" cmp -s "$folder/user.dat" "$work/user-before"
else
  fail "cancel: command 2 opens the options"
fi

# 4. Keeping switched off: user.dat goes.
if open_options_by "$id_caption" 2; then
  click_options "${check2[@]}"
  click_options "${xpb1[@]}"
  check "keeping off: the options close" wait_until 20 options_gone
  check "keeping off: user.dat deleted" [ ! -e "$folder/user.dat" ]
else
  fail "keeping off: command 2 opens the options"
fi

# 5. "Очистить...": No keeps every snapshot, Yes keeps only the current one.
for id in $profile_id 45 67; do printf '1%%a\r\n' >"$folder/$id.id"; done
asked() { window_shown "Внимание!"; }
others_there() { [ -f "$folder/45.id" ] && [ -f "$folder/67.id" ]; }
others_gone() { [ ! -e "$folder/45.id" ] && [ ! -e "$folder/67.id" ]; }
if open_options_by "$id_caption" 2; then
  click_options "${combo[@]}"
  # The list holds 1001, 45, 67 and "Очистить..."; nothing is selected yet.
  xdotool key Down Down Down Down
  if wait_until 20 asked; then
    pass "clear: the question is asked"
    shot options-clear-question
    xdotool key Tab Return
    wait_until 20 window_gone "Внимание!"
    check "clear No: every snapshot stays" others_there
    # The question moved the focus to XpB1: back into the combo first.
    click_options "${combo[@]}"
    xdotool key Up Down
    if wait_until 20 asked; then
      shot options-clear-again
      xdotool key Return
      check "clear Yes: the other snapshots are deleted" wait_until 10 others_gone
      check "clear Yes: the current profile's snapshot stays" [ -f "$folder/$profile_id.id" ]
    else
      fail "clear: the question is asked again"
    fi
  else
    fail "clear: the question is asked"
  fi
  click_options "${xpb2[@]}"
else
  fail "clear: command 2 opens the options"
fi
stop_program

e2e_end
