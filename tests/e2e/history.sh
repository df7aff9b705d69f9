#!/usr/bin/env bash
# The reader history of the real program through the stand-in proxy: three
# accepted checks of a stepping profile leave exactly their records in
# 1100.history.txt; the history window, opened from the report and from the
# options window, lists the events newest first and draws the chart; and a
# page that announces 5 readers but lists 4 shows the red line and asks
# before anything is stored: No keeps the snapshot and the history byte for
# byte, Yes stores both.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin history

report_caption="Изменения в профиле"
options_caption="Настройки"
today=$(date +%d.%m.%Y)
# The report: XpB1 at (516, 378) and XpB2 at (576, 378), 52 x 52; the link
# "История изменений" right-aligned in (488, 56, 140 x 16); the red line is
# control 1020. The options window's link: (20, 456, 150 x 16).
accept_x=542 close_x=602 buttons_y=404
report_link_x=600 report_link_y=63
options_link_x=60 options_link_y=463
# The history window: the events list is control 1303.
history_list=1303

start_standin open || { fail "stand-in starts"; e2e_end; }
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
profiles=$e2e_root/tests/fixtures/profiles
mkdir -p "$standin_fixtures/member-1100"
cp "$profiles"/member-1100/*.html "$standin_fixtures/member-1100/"
cp "$profiles/member-1012.html" "$standin_fixtures/"

report_shown() { window_shown "$report_caption"; }
report_gone() { window_gone "$report_caption" && window_shown "$main_caption"; }
same() {  # same <name> <expected> <actual>
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1"; diff <(echo "$2") <(echo "$3") | sed 's/^/    /'; fi
}
check_profile() {
  click_command 1
  wait_until 40 report_shown
}
# accept_as_of <local time>: the list as if downloaded then, accepted.
accept_as_of() {
  touch -d "$1" "$folder/tmp.id"
  click_at "$report_caption" $accept_x $buttons_y
  wait_until 20 report_gone
}
# history_text: the history file as UTF-8 with visible line ends.
history_text() { iconv -f CP1251 -t UTF-8 <"$folder/1100.history.txt" | sed 's/\r$/<CR>/'; }
history_items() {
  wintext "$history_caption" | awk -F'\t' -v id="$history_list" '$1 == "item" && $2 == id { print $4 }'
}

folder=$(new_folder stepping)
write_options "$folder" "ID=1100" "Guest=True" "UseProxy=True" "ProxyHost=127.0.0.1" "ProxyPort=$standin_port" \
  "LastUpdate=$today"
start_program "$folder"
main_caption="Tallywick v 2.1 beta  [id=1100]"
history_caption="История изменений ID=1100"
ready_main "$main_caption" || { fail "the main window shows its commands"; e2e_end; }

# Three accepted checks: the first, one came and one went, one renamed.
n=0
for when in "2025-03-01 10:00" "2025-03-08 10:00" "2025-03-15 10:00"; do
  n=$((n + 1))
  if check "check $n: the report opens" check_profile; then
    check "check $n: accepted" accept_as_of "$when"
  fi
done
expected="2025-03-01 10:00	всего	3<CR>
2025-03-08 10:00	всего	3<CR>
2025-03-08 10:00	+	4	Четвёртый<CR>
2025-03-08 10:00	-	2	Второй<CR>
2025-03-15 10:00	всего	3<CR>
2025-03-15 10:00	~	3	Третий	Третий переименован<CR>"
same "three accepted checks leave exactly their history lines" "$expected" "$(history_text)"
echo "  1100.history.txt:"; history_text | sed 's/^/    /'

# A fourth check, nothing new: the history from the report's link.
if check "check 4: the report opens" check_profile; then
  click_at "$report_caption" $report_link_x $report_link_y
  if check "the report's link opens the history window" wait_until 20 window_shown "$history_caption"; then
    sleep 1
    shot history-window
    same "the history lists the events newest first" \
      "$(printf '15.03.2025 10:00\\t~\\tТретий → Третий переименован\n08.03.2025 10:00\\t+\\tЧетвёртый\n08.03.2025 10:00\\t−\\tВторой')" \
      "$(history_items)"
    same "the history's totals" "Пришли: 1, ушли: 1, сменили имя: 1" "$(control_text "$history_caption" 1302)"
    xdotool key Escape
    check "Esc closes the history onto the report" wait_until 10 window_gone "$history_caption"
  fi
  click_at "$report_caption" $close_x $buttons_y
  check "check 4: closed without storing" wait_until 20 report_gone
  same "closing without storing adds nothing to the history" "$expected" "$(history_text)"
fi

# The options window's link shows the same history.
sleep 0.5
click_command 2
if check "the options window opens" wait_until 20 window_shown "$options_caption"; then
  click_at "$options_caption" $options_link_x $options_link_y
  if check "the options window's link opens the history" wait_until 20 window_shown "$history_caption"; then
    same "the same first event" "15.03.2025 10:00\\t~\\tТретий → Третий переименован" "$(history_items | head -n 1)"
    xdotool key Escape
    check "the history closes onto the options" wait_until 10 window_gone "$history_caption"
  fi
  click_at "$options_caption" 316 464  # cancel
  wait_until 20 window_gone "$options_caption"
fi
stop_program

# The guard: 5 announced, 4 listed.
folder=$(new_folder short)
write_options "$folder" "ID=1012" "Guest=True" "UseProxy=True" "ProxyHost=127.0.0.1" "ProxyPort=$standin_port" \
  "LastUpdate=$today"
printf '121%%\xd0\xe0\xe7\r\n' >"$folder/1012.id"  # "Раз"
printf '2025-03-01 10:00\t\xe2\xf1\xe5\xe3\xee\t1\r\n' >"$folder/1012.history.txt"
snapshot_before=$(md5sum <"$folder/1012.id")
history_before=$(md5sum <"$folder/1012.history.txt")
start_program "$folder"
main_caption="Tallywick v 2.1 beta  [id=1012]"
question_shown() { wintext "Внимание!" | grep -qF "	Список читателей может быть неполным: получено 4 из 5.\r\n\r\nВсё равно сохранить его?"; }
if ready_main "$main_caption" && check "short list: the report opens" check_profile; then
  same "short list: the red line" "Получено читателей: 4 из 5, указанных на странице. Список может быть неполным." \
    "$(control_text "$report_caption" 1020)"
  shot report-short-list
  click_at "$report_caption" $accept_x $buttons_y
  if check "short list: accepting asks first" wait_until 20 question_shown; then
    shot report-short-list-question
    press_enter  # No is the default button
    check "No: the question goes" wait_until 10 eval '! question_shown'
    check "No: the report stays open" report_shown
    same "No: the snapshot is byte for byte as it was" "$snapshot_before" "$(md5sum <"$folder/1012.id")"
    same "No: the history is byte for byte as it was" "$history_before" "$(md5sum <"$folder/1012.history.txt")"
    check "No: tmp.id stays" [ -e "$folder/tmp.id" ]
  fi
  click_at "$report_caption" $accept_x $buttons_y
  if check "short list: asked again" wait_until 20 question_shown; then
    xdotool key Tab Return  # Yes
    check "Yes: the report closes" wait_until 20 report_gone
    same "Yes: the snapshot holds the four readers" "121%Раз,122%Два,123%Три,124%Четыре" \
      "$(iconv -f CP1251 -t UTF-8 <"$folder/1012.id" | tr -d '\r' | paste -sd,)"
    check "Yes: the history gained the report" \
      eval "iconv -f CP1251 -t UTF-8 <'$folder/1012.history.txt' | tr -d '\r' | grep -qP '^\d{4}-\d\d-\d\d \d\d:\d\d\t\+\t124\tЧетыре$'"
    check "Yes: the earlier history line stays first" \
      [ "$(head -n 1 "$folder/1012.history.txt" | md5sum)" = "$(printf '2025-03-01 10:00\t\xe2\xf1\xe5\xe3\xee\t1\r\n' | md5sum)" ]
  fi
else
  fail "short list: the main window and the report"
fi
stop_program

e2e_end
