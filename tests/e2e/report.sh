#!/usr/bin/env bash
# The change report of the real program after checks through the stand-in
# proxy: the first check of a stepping profile lists every reader as
# subscribed; accepting turns tmp.id into the snapshot with tmp.id's time;
# the next check shows exactly who came, went and was renamed; closing
# without accepting keeps the snapshot, so the same changes come back; a
# snapshot another program holds locked gives an error and changes nothing;
# and every profile the parser refuses ends on its message in a "Сообщение" box.
set -uo pipefail
. "${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}/tests/e2e/lib/program.sh"
e2e_begin report

report_caption="Изменения в профиле"
today=$(date +%d.%m.%Y)
# Control ids of the report window: LabelN is 1000 + N, List1..3 are 1101..1103.
list1=1101 list2=1102 list3=1103
# XpB1 and XpB2: 52 x 52 at (516, 378) and (576, 378) of the 640 x 440 client area.
accept_x=542 close_x=602 buttons_y=404

start_standin open || { fail "stand-in starts"; e2e_end; }
printf 'VERSION INFO Current_Version={2.1 beta} News={1}' >"$standin_fixtures/version-post.html"
profiles=$e2e_root/tests/fixtures/profiles
# Pages 1 and 2 only at first: the stand-in stays at the last page, so the
# check after a closed report sees the same page again.
mkdir -p "$standin_fixtures/member-1100"
cp "$profiles/member-1100/1.html" "$profiles/member-1100/2.html" "$standin_fixtures/member-1100/"
for id in 1002 1003 1004 1005 1006 1007 1009 1011; do cp "$profiles/member-$id.html" "$standin_fixtures/"; done

label() { control_text "$report_caption" $((1000 + $1)); }
# items <list id>: the list box's lines, one a line (a tab shows as \t).
items() { wintext "$report_caption" | awk -F'\t' -v id="$1" '$1 == "item" && $2 == id { print $4 }'; }
label10_shown() {
  wintext "$report_caption" | awk -F'\t' '$1 == "control" && $3 == 1010 { print $4; exit }' | grep -qx 1
}
report_shown() { window_shown "$report_caption"; }
report_gone() { window_gone "$report_caption" && window_shown "$main_caption"; }
same() {  # same <name> <expected> <actual>
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1 (expected '$2', got '$3')"; fi
}
# check_profile: command 1 of the main window, then the report.
check_profile() {
  click_command 1
  wait_until 40 report_shown
}

folder=$(new_folder stepping)
write_options "$folder" "ID=1100" "Guest=True" "UseProxy=True" "ProxyHost=127.0.0.1" "ProxyPort=$standin_port" \
  "LastUpdate=$today"
start_program "$folder"
main_caption="Tallywick v 2.1 beta  [id=1100]"
if ! ready_main "$main_caption"; then
  fail "the main window shows its commands"
  e2e_end
fi

# 1. First check: no snapshot, every reader subscribed.
if check "first check: the report opens" check_profile; then
  shot report-first
  same "first check: List1 holds every reader" "$(printf 'Первый\nВторой\nТретий')" "$(items $list1)"
  same "first check: List2 is empty" "" "$(items $list2)"
  same "first check: List3 is empty" "" "$(items $list3)"
  same "first check: Label1" "Подписались (3)" "$(label 1)"
  same "first check: Label2" "Отписались (0)" "$(label 2)"
  same "first check: Label3" "Сменили имя (0)" "$(label 3)"
  same "first check: Label4" "Результат для ID=1100" "$(label 4)"
  same "first check: Label7 is the owner" "Шагающий" "$(label 7)"
  same "first check: Label9 counts the readers" "3" "$(label 9)"
  period=$(label 6)
  check "first check: the period starts with no data ('$period')" \
    [ "$period" = "c [нет данных] по $(date -d "@$(stat -c %Y "$folder/tmp.id")" '+%d.%m.%Y %H:%M')" ]
  check "first check: Label10 hidden" eval '! label10_shown'
  downloaded=$(stat -c %Y "$folder/tmp.id")
  touch -d "@$((downloaded - 7200))" "$folder/tmp.id"  # as if downloaded two hours ago
  downloaded=$((downloaded - 7200))
  click_at "$report_caption" $accept_x $buttons_y
  check "accept: the report closes onto the main window" wait_until 20 report_gone
  check "accept: tmp.id is gone" [ ! -e "$folder/tmp.id" ]
  check "accept: the snapshot holds the three readers" \
    [ "$(tr -d '\r' <"$folder/1100.id" 2>/dev/null | iconv -f CP1251 -t UTF-8 | cut -d% -f2 | paste -sd,)" = "Первый,Второй,Третий" ]
  same "accept: the snapshot keeps tmp.id's time" "$downloaded" "$(stat -c %Y "$folder/1100.id" 2>/dev/null)"
fi

# 2. The stand-in stepped: one reader came, one went.
second_report() {
  same "$1: List1" "Четвёртый" "$(items $list1)"
  same "$1: List2" "Второй" "$(items $list2)"
  same "$1: List3" "" "$(items $list3)"
  same "$1: Label1" "Подписались (1)" "$(label 1)"
  same "$1: Label2" "Отписались (1)" "$(label 2)"
  same "$1: Label3" "Сменили имя (0)" "$(label 3)"
  same "$1: Label9" "3" "$(label 9)"
  period=$(label 6)
  check "$1: the period runs from the snapshot's time ('$period')" \
    [ "${period%% по *}" = "c $(date -d "@$downloaded" '+%d.%m.%Y %H:%M')" ]
}
if check "second check: the report opens" check_profile; then
  shot report-second
  second_report "second check"
  snapshot_before=$(md5sum <"$folder/1100.id")
  click_at "$report_caption" $close_x $buttons_y
  check "close: the report closes onto the main window" wait_until 20 report_gone
  check "close: tmp.id stays" [ -e "$folder/tmp.id" ]
  same "close: the snapshot is untouched" "$snapshot_before" "$(md5sum <"$folder/1100.id")"
fi

# 3. Checked again after closing: the same changes against the same snapshot.
if check "third check: the report opens" check_profile; then
  second_report "third check"
  click_at "$report_caption" $accept_x $buttons_y
  check "third check: accepted" wait_until 20 report_gone
fi

# 4. A rename and nothing else.
cp "$profiles/member-1100/3.html" "$standin_fixtures/member-1100/"
if check "rename: the report opens" check_profile; then
  shot report-rename
  same "rename: List1" "" "$(items $list1)"
  same "rename: List2" "" "$(items $list2)"
  same "rename: List3 has old and new name" 'Третий\tТретий переименован' "$(items $list3)"
  same "rename: Label3" "Сменили имя (1)" "$(label 3)"
  check "rename: Label10 hidden" eval '! label10_shown'
  click_at "$report_caption" $accept_x $buttons_y
  check "rename: accepted" wait_until 20 report_gone
fi

# 5. Nothing changed since: Label10.
if check "unchanged: the report opens" check_profile; then
  shot report-unchanged
  check "unchanged: Label10 shown" label10_shown
  same "unchanged: Label10 text" "Нет изменений со времени последней проверки." "$(label 10)"
  click_at "$report_caption" $close_x $buttons_y
  check "unchanged: closed onto the main window" wait_until 20 report_gone
fi

# 6. Another program holds the snapshot open without sharing: an error box
# instead of a report, and tmp.id and the snapshot stay byte for byte.
snapshot_unreadable_shown() {
  wintext "Ошибка" | grep -qF "Не удалось прочитать сохранённый список читателей профиля 1100"
}
# The box may not have the keyboard yet when it first shows: Enter again
# while it is still there, never once it is gone.
enter_until_main() {
  window_shown "$main_caption" && return 0
  if snapshot_unreadable_shown; then
    press_enter
    wait_until 2 eval '! snapshot_unreadable_shown'
  fi
  return 1
}
held_snapshot() {
  local fifo=$work/hold-fifo before_tmp before_snapshot before_time
  before_tmp=$(md5sum <"$folder/tmp.id")
  before_snapshot=$(md5sum <"$folder/1100.id")
  before_time=$(stat -c %Y "$folder/1100.id")
  mkfifo "$fifo"
  (cd "$folder" && exec timeout 150 wine "$e2e_windows/holdfile.exe" 1100.id <"$fifo" >"$work/hold-out" 2>&1) &
  local hold_pid=$!
  e2e_pids+=("$hold_pid")
  exec 3>"$fifo"
  if check "held snapshot: another program holds 1100.id" wait_until 30 grep -q held "$work/hold-out"; then
    click_command 1
    check "held snapshot: the error box tells the list could not be read" wait_until 40 snapshot_unreadable_shown
    shot held-snapshot
    check "held snapshot: no report" window_gone "$report_caption"
    check "held snapshot: the main window is back" wait_until 20 enter_until_main
    check "held snapshot: still no report" window_gone "$report_caption"
  fi
  exec 3>&-
  wait "$hold_pid"
  same "held snapshot: tmp.id as it was" "$before_tmp" "$(md5sum <"$folder/tmp.id" 2>/dev/null)"
  same "held snapshot: the snapshot as it was" "$before_snapshot" "$(md5sum <"$folder/1100.id")"
  same "held snapshot: the snapshot's time as it was" "$before_time" "$(stat -c %Y "$folder/1100.id")"
}
held_snapshot
stop_program

# 7. Profiles the parser refuses: their message, no report. The truncated
# page (1011) has no owner nickname, hence the two spaces.
message_shown() { wintext "Сообщение" | grep -qF "	$1"; }
refused() {  # refused <id> <guest True|False> <message>
  local id=$1 guest=$2 message=$3
  folder=$(new_folder "refused-$id")
  write_options "$folder" "ID=$id" "Guest=$guest" "UseProxy=True" "ProxyHost=127.0.0.1" \
    "ProxyPort=$standin_port" "LastUpdate=$today"
  if [ "$guest" = False ]; then
    LC_ALL=C.UTF-8 timeout 30 wine "$e2e_windows/usercred.exe" "$folder/user.dat" "Читатель" "пароль" ||
      fail "$id: user.dat written"
  fi
  start_program "$folder"
  main_caption="Tallywick v 2.1 beta  [id=$id]"
  if ready_main "$main_caption"; then
    click_command 1
    check "profile $id: message '$message'" wait_until 40 message_shown "$message"
    [ "$id" = 1005 ] && shot refused-message
    check "profile $id: no report" window_gone "$report_caption"
    press_enter
    check "profile $id: the main window is back" wait_until 20 window_shown "$main_caption"
    check "profile $id: no tmp.id" [ ! -e "$folder/tmp.id" ]
  else
    fail "profile $id: the main window shows its commands"
  fi
  stop_program
}
refused 1002 True "Пользователь с ID=1002 не найден"
refused 1003 True "Дополнительная информация о профиле пользователя Закрытый закрыта для анонимного доступа."
refused 1004 False "Для вас закрыт доступ к дополнительной информации профиля пользователя Закрытый для вас"
refused 1005 True "У пользователя Одиночка нет постоянных читателей"
refused 1006 True "Неизвестная ошибка обработки профиля 1"
refused 1007 True 'Неизвестная ошибка обработки профиля 2.\r\n\r\nПопробуйте произвести загрузку еще раз.'
refused 1009 True 'Неизвестная ошибка обработки профиля 2.\r\n\r\nПопробуйте произвести загрузку еще раз.'
refused 1011 True "У пользователя  нет постоянных читателей"  # truncated: no owner nickname

e2e_end
