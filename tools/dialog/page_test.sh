#!/bin/sh
# velko-dialog's settings pages on the sample device, run as a user taps them: what each page shows
# from the stored settings, what its buttons save (or leave alone), its message boxes, and the calls
# it makes of the main view (printed by the tool's stand-in as view=...).
set -u
dev=$(cd "$1" && pwd)
tool=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; [ -f "$dir/out.txt" ] && cat "$dir/out.txt" "$dir/err.txt" "$dir/frames/msgbox.log"; exit 1; }
has() { grep -qxF -- "$1" "$dir/out.txt" || fail "$2: no line '$1'"; }
hasnt() { grep -qF -- "$1" "$dir/out.txt" && fail "$2: line '$1'"; return 0; }
box() { grep -qF -- "$1" "$dir/frames/msgbox.log" || fail "$2: no message box '$1'"; }
# A private copy of the device: the pages write its settings file.
fresh() { rm -rf "$dir/dev"; cp -r "$dev" "$dir/dev"; }
run() {
  page=$1 text=$2
  shift 2
  rm -rf "$dir/frames"
  printf '%b' "$text" > "$dir/run.script"
  "$tool" --root "$dir/dev" --page "$page" "$@" --script "$dir/run.script" --frames "$dir/frames" \
    > "$dir/out.txt" 2> "$dir/err.txt"
  code=$?
  [ $code = 0 ] || fail "$page: exit $code"
}
# Title bar: "이전" (175, 18), "현위치" (217, 18); "Apply" (119, 269) on most tabs; the tab strip
# along y 302.
back='tap 175 18\nwait 100\n'
apply='tap 119 269\nwait 100\n'

# ---- Display page on the sample's settings: the defaults shown, nothing written on leaving.
fresh
run display "wait 300\nsnapshot display\n$back"
has result=3 "back"
has group.지도모드그룹=2 "map mode"
has group.궤적표시그룹=1 "trail off shows 해제"
has combo.안내레벨콤보=5 "level 8"
has combo.교차로레벨콤보=0 "no change"
has combo.고속레벨콤보=0 "no change"
has combo.야간시작시간=3 "19시"
has combo.야간종료시간=3 "07시"
has hidden.야간시작시간=1 "time hidden"
has hidden.야간종료시간=1 "time hidden"
has hidden.~=1 "time hidden"
hasnt written= "nothing saved"
# Stored show-on-map -3: "표시 안함" checked, no choice; unchecking it (tab "i보기") chooses 2.
run display "wait 300\ntap 91 302\nwait 100\nsnapshot poi\ntap 45 268\nwait 100\nanswer yes\n$back" --set 3=-3
has group.지도에표시그룹=2 "choice back"
has check.표시\ 안함=0 "unchecked"
has setting.3=2 "saved"
has setting.49=2 "bar entry"
has "view=SetPoiBarEntry 2" "bar entry shown"
has "view=SetPoiBarSelection 2" "bar selection"
# The scheme combos: the sample's "Color_야간.bin" and "Color_주간.bin" after "기본".
run display "wait 300\n$back" --set day=주간 --set night=야간
has "combo.기본지도색상콤보.items=기본|야간|주간" "day schemes"
has "combo.야간지도색상콤보.items=기본|야간|주간" "night schemes"
has combo.기본지도색상콤보=2 "day scheme"
has combo.야간지도색상콤보=1 "night scheme"
# "Apply" without a change saves nothing and still asks; no leaves the page with 4.
run display "wait 300\nanswer no\n$apply"
has result=4 "left by no"
hasnt written= "nothing saved"
box "환경설정을 계속하시겠습니까?" "continue question"
# "궤적삭제" clears the trail at once; leaving without saving keeps it cleared (the view's side).
run display "wait 300\nanswer ok\ntap 184 149\nwait 100\n$back"
has view=ClearTrail "trail cleared"
box "궤적을 삭제하였습니다." "trail notice"
has result=3 "back"
hasnt written= "nothing saved"

# ---- Safe-driving page: the five speeds, steps at the ends, a stored 14, reset then back.
fresh
run safedrive "wait 300\ntap 178 302\nwait 100\nsnapshot warn\n$back"
has label.고속도로속도=120 "highway"
has label.도시고속도로속도=110 "urban highway"
has label.국도속도=110 "national road"
has label.지방도로속도=90 "local road"
has label.일반도로속도=90 "general road"
has changed=0 "nothing changed"
# "고속도로" at 13 ("150"): "플러스" keeps 150 but marks the page changed (the save question).
run safedrive "wait 300\ntap 178 302\nwait 100\ntap 89 78\nwait 100\ntap 184 92\nwait 100\nanswer no\n$back" --set 23=13
has label.고속도로속도=150 "top speed kept"
box "설정사항을 저장하시겠습니까?" "changed"
# A stored 14 shows "없음" and "Apply" saves 0.
run safedrive "wait 300\nanswer no\ntap 172 269\nwait 100\n" --set 24=14
has label.도시고속도로속도=없음 "none shown"
has setting.24=0 "none saved"
has written=\\Storage\ Card\\VelkoData\\config.bin\ size=1004 "settings file"
# "Reset", "이전", no: the settings file as it was.
fresh
run safedrive "wait 300\nanswer ok\ntap 67 269\nwait 100\nanswer no\n$back" --set 19=1
box "초기화하였습니다." "reset notice"
has result=3 "back"
has setting.19=1 "not saved"
hasnt written= "nothing saved"

# ---- Route page: a stored 20-minute interval opens at 15 and is saved so; "해제" of traffic is 0.
fresh
run route "wait 300\ntap 120 302\nwait 100\ntap 145 73\nwait 100\nanswer no\ntap 119 266\nwait 100\n" --set 16=20
has combo.재탐색표시간격=3 "15 minutes"
has group.교통정보반영그룹=1 "해제"
has setting.16=15 "saved as 15"
has setting.14=0 "traffic off"

# ---- System page: the port choices off while the ZARN unit is used alone; without the unit the
# separate receiver goes too.
fresh
run system "wait 300\nsnapshot gps\n$back" --set 32=1 --set 31=0
has combo.Port설정.active=0 "port off"
has combo.BaudRate설정.active=0 "speed off"
run system "wait 300\ntap 44 217\nwait 100\ntap 44 239\nwait 100\nanswer no\n$apply" --set 32=1 --set 31=0
hasnt combo.Port설정.active=0 "port on again"
has check.별도\ GPS\ 수신기\ 사용=0 "separate off"
has setting.31=0 "separate saved off"
has setting.32=0 "unit saved off"
has menu.initial=0 "initial menu untouched"
has menu.user=0 "user menu untouched"
# Three keys: the key combos show settings 35-37.
run system "wait 300\ntap 149 302\nwait 100\nsnapshot keys\n$back" --set keys=3 --set 35=4 --set 36=5 --set 37=6
has combo.Button설정0=4 "key 0"
has combo.Button설정1=5 "key 1"
has combo.Button설정2=6 "key 2"
# The receiver search: found fills the controls, none found says so.
run system "wait 300\nanswer ok\ntap 122 103\nwait 100\nanswer no\n$back" --set receiver=3,5,1,0
has view=FindReceivers "searched"
has combo.Port설정=3 "port found"
has combo.BaudRate설정=5 "speed found"
has check.ZARN\ 수신기\ 사용=1 "unit found"
box "수신기를 찾았습니다." "found"
run system "wait 300\nanswer ok\ntap 122 103\nwait 100\n$back"
box "수신기를 찾지 못했습니다." "not found"

# ---- Save-location page: "PDA" and "Apply" save 64 = 0 in the memory folder and leave with 3.
fresh
run savelocation "wait 300\nsnapshot location\ntap 44 73\nwait 100\nanswer ok\n$apply"
box "적용하였습니다." "applied"
has result=3 "closed"
has setting.64=0 "memory"
has written=\\My\ Documents\\VelkoData\\config.bin\ size=1004 "memory settings file"

# ---- Sound page: button sounds off (tab "효과음") switch the click and the message box off at once.
fresh
run sound "wait 300\ntap 178 302\nwait 100\ntap 145 73\nwait 100\nanswer no\ntap 119 266\nwait 100\n"
has setting.66=0 "button sound off"
has setting.65=1 "voice on"
has "view=SetClickSound 0" "click off"
has "view=SetMessageBoxSound 0" "box sound off"
has "view=SetVoiceGuidance 1" "voice"
has result=4 "left"

# An unknown page is refused.
printf 'wait 100\n' > "$dir/run.script"
"$tool" --root "$dir/dev" --page nothing --script "$dir/run.script" --frames "$dir/frames" > "$dir/out.txt" 2> "$dir/err.txt"
[ $? = 2 ] || fail "unknown page accepted"
echo "settings pages ok"
