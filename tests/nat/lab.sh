#!/usr/bin/env bash
# The NAT laboratory: two players behind the kinds of NAT players really have, and the meeting
# service on an "internet" of documentation addresses, all in network namespaces of the test's own.
# Each cell (the host's kind of network, the joiner's) is built afresh in a mount, network and PID
# namespace of its own: when the cell ends, however it ends, its namespaces, processes and files
# end with it. In each, the game itself plays on both sides, each in an X server of its own: the
# host gives its code, the joiner joins with it, both click Play and push their balls, and the two
# recordings must agree; the table at the end holds each cell's path against the one the game
# should take, and how long the meeting took.
#
#   public   the player's own address is public: no NAT, nothing filtered
#   home     a home router: masquerade, the source port kept where it can be, and conntrack lets
#            in only what answers a datagram sent out (to that address and port)
#   hard     masquerade fully-random: a new port for every destination
#   cgn      a home router whose WAN is in 100.64.0.0/10, behind the provider's router
#            (masquerade too) that has the public address
#   same     (joiner only) on the host's own LAN, behind the host's router
#   blocked  (joiner only) a home router that drops every UDP datagram going out
#   hidden   (host only) a home router, and the host hides its address ([Net] hideAddress): the
#            joiner's network must never see a datagram from the host's address
#
# Usage: lab.sh --program KRAYLO [--joiner-program KRAYLO.EXE] [--work FOLDER] KRAYLO_MEET
#               [HOST:JOINER]...
#   without cells: the 16 of public, home, hard and cgn both ways, home:same, home:blocked and
#   hidden:home. --work keeps each cell's logs and screenshots in FOLDER/HOST-JOINER.
#   --joiner-program: the joiner plays that program instead, the Windows build under Wine (with
#   the Windows tests' WINEPREFIX).
# Runs as root. Exit 77 (skipped) where the namespaces cannot be made; under CI=true that fails.
set -euo pipefail
lab_script=$(realpath "${BASH_SOURCE[0]}")
lab_folder=$(dirname "$lab_script")

# Only documentation addresses face the "internet"; the service stands where the game's
# [Net] meetServer will point.
service=203.0.113.10
internet_gateway=203.0.113.1
# Every home network is 10.0.0.0/24, as routers out of the box all give the same one: the other
# player's LAN address may well be this player's own.
lan_router=10.0.0.1
cell_seconds=60

# ---- Cells and their expected paths

all_cells() {
  local host joiner
  for host in public home hard cgn; do
    for joiner in public home hard cgn; do echo "$host:$joiner"; done
  done
  echo home:same
  echo home:blocked
  echo hidden:home
}

# The path the game should take: direct unless a NAT with a new port per destination meets one
# that filters (every NAT here filters; a public address does not).
expected_path() {  # host's kind, joiner's kind
  case "$1:$2" in
    *blocked*) echo error ;;
    hidden:*) echo relayed ;;
    *:same) echo lan ;;
    hard:public | public:hard) echo direct ;;
    *hard*) echo relayed ;;
    *) echo direct ;;
  esac
}

kind_name() {
  case $1 in
    same) echo "same router" ;;
    blocked) echo "UDP blocked" ;;
    hidden) echo "home, hidden" ;;
    *) echo "$1" ;;
  esac
}

# ---- Namespaces

in_ns() { ip netns exec "$1" "${@:2}"; }  # namespace, command...

# The pids of what a cell started, for its tear-down (functions run in $(...) add to it too).
remember() { echo "$1" >>"$lab/pids"; }

# Fails the cell, showing its logs.
fail() {
  echo "FAIL ($cell): $*" >&2
  local log
  for log in "$logs"/*.log; do [ -f "$log" ] && sed "s|^|  ${log##*/}: |" "$log" >&2; done
  exit 1
}

# Waits up to $3 seconds for a condition ($2) to hold.
wait_for() {  # what, condition, seconds
  local end=$(($(date +%s%3N) + $3 * 1000))
  until eval "$2"; do
    [ "$(date +%s%3N)" -le $end ] || fail "expected $1 within $3 s"
    sleep 0.01
  done
}

# A namespace with only `lo`; IPv4 only, as the game is; a bridge in it only switches (no
# iptables on bridged frames), as a home router's switch does.
new_ns() {  # name, [forwarding 0|1]
  ip netns add "$1"
  ip -n "$1" link set lo up
  in_ns "$1" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1 \
    net.ipv4.ip_forward="${2:-0}" net.bridge.bridge-nf-call-iptables=0
}

# Namespace $2's uplink `wan`, a cable into the `lan` bridge of namespace $1.
plug() {  # upstream namespace, namespace, address/prefix, gateway
  ip -n "$1" link add "to-$2" type veth peer name wan netns "$2"
  ip -n "$1" link set "to-$2" master lan up
  ip -n "$2" addr add "$3" dev wan
  ip -n "$2" link set wan up
  ip -n "$2" route add default via "$4"
}

# The internet: one switch (`lan` of namespace `net`) with its gateway and the meeting service.
make_internet() {
  new_ns net
  ip -n net link add lan type bridge
  ip -n net link set lan up
  ip -n net addr add "$internet_gateway/24" dev lan
  ip -n net addr add "$service/24" dev lan
}

# A router's nftables: NAT out of `wan`, and nothing in but what answers a datagram sent out.
# Unsolicited datagrams are dropped at input, never answered: a port-unreachable answer would
# leave a conntrack entry that makes masquerade give the player's next mapping another port.
router_rules() {  # home | hard | blocked
  local nat=masquerade block=""
  [ "$1" != hard ] || nat="masquerade fully-random"
  [ "$1" != blocked ] || block='iifname "lan" meta l4proto udp drop'
  cat <<EOF
table ip router {
  chain forward {
    type filter hook forward priority filter; policy drop;
    $block
    ct state established,related accept
    iifname "lan" oifname "wan" accept
  }
  chain input {
    type filter hook input priority filter; policy drop;
    ct state established,related accept
    iifname { "lo", "lan" } accept
  }
  chain postrouting {
    type nat hook postrouting priority srcnat; policy accept;
    oifname "wan" $nat
  }
}
EOF
}

# A router with LAN $3 (its own address/prefix) behind uplink address $4 on upstream $2's switch.
make_router() {  # name, upstream namespace, lan address/prefix, wan address/prefix, wan gateway, rules
  new_ns "$1" 1
  ip -n "$1" link add lan type bridge
  ip -n "$1" link set lan up
  ip -n "$1" addr add "$3" dev lan
  plug "$2" "$1" "$4" "$5"
  router_rules "$6" | in_ns "$1" nft -f -
}

# Builds a player's network and prints the namespace the player runs in (named after the side);
# records the address the internet sees the player by in $lab/SIDE.public.
make_player() {  # side (host|join), kind
  local side=$1 number=2
  [ "$side" != host ] || number=1
  local public=203.0.113.2$number provider=100.64.$number
  case $2 in
    public)
      new_ns "$side"
      plug net "$side" "$public/24" "$internet_gateway"
      ;;
    home | hard | blocked | hidden)
      make_router "$side-rt" net "$lan_router/24" "$public/24" "$internet_gateway" "${2/hidden/home}"
      new_ns "$side"
      plug "$side-rt" "$side" 10.0.0.2/24 "$lan_router"
      ;;
    cgn)
      make_router "$side-isp" net "$provider.1/24" "$public/24" "$internet_gateway" home
      make_router "$side-rt" "$side-isp" "$lan_router/24" "$provider.2/24" "$provider.1" home
      new_ns "$side"
      plug "$side-rt" "$side" 10.0.0.2/24 "$lan_router"
      ;;
    same)
      ip netns list | grep -q '^host-rt\b' || fail "a joiner on the host's LAN needs a host behind a router"
      public=$(cat "$lab/host.public")
      new_ns "$side"
      plug host-rt "$side" 10.0.0.3/24 "$lan_router"
      ;;
    *) fail "no such kind of network: $2" ;;
  esac
  echo "$public" >"$lab/$side.public"
  echo "$side"
}

# The meeting service in the internet, with a key of this cell's own.
start_service() {
  in_ns net "$meet" --address "$service" --key "$lab/meet.key" 2>"$logs/meet.log" &
  remember $!
  wait_for "the meeting service to start" "grep -qs 'meeting on UDP port' '$logs/meet.log'" 5
}

# Records every datagram from ADDRESS that reaches namespace NS; `captured NS` ends the
# recording and prints how many there were.
capture_from() {  # namespace, address
  in_ns "$1" tcpdump -i any -n -U -w "$lab/$1.pcap" udp and src host "$2" 2>"$logs/tcpdump-$1.log" &
  echo $! >"$lab/$1.capture"
  remember $!
  wait_for "tcpdump in $1" "grep -qs 'listening on' '$logs/tcpdump-$1.log'" 5
}
captured() {  # namespace
  local pid
  pid=$(cat "$lab/$1.capture")
  kill -INT "$pid"
  wait "$pid" 2>/dev/null || true
  tcpdump -r "$lab/$1.pcap" -n 2>/dev/null | wc -l
}

# An X server for a player, in the player's namespace, that only that namespace's clients reach:
# it listens on an abstract socket alone (those belong to a network namespace) and writes no
# lock file, so nothing of it lands in /tmp and every player's display is :0. Run the player's
# X clients (the game, openbox, xdotool, import) with `DISPLAY=:0 in_ns NS ...`. Prints the display.
start_display() {  # namespace
  in_ns "$1" Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp -nolisten unix -nolock \
    3>"$lab/$1.display" >"$logs/xvfb-$1.log" 2>&1 &
  remember $!
  wait_for "an X server for $1" "[ -s '$lab/$1.display' ]" 10
  echo ":$(cat "$lab/$1.display")"
}

# ---- The game in a cell

# A player's copy of the game with its data folder, the meeting service in its configuration;
# `hideAddress` too for a host that hides.
copy_game() {  # side
  local folder=$lab/$1-game hide="" game=$program
  [ "$1:$host_kind" != host:hidden ] || hide=$'hideAddress = true\r\n'
  [ "$1" != join ] || game=$joiner_program
  mkdir -p "$folder" "$lab/$1-home"
  cp -r "$(dirname "$game")/dorvane" "$folder/"
  if [[ $game == *.exe ]]; then
    # As the portable zip has it: the font beside it, and the mark that keeps its files there.
    cp "$game" "$(dirname "$game")/tahoma.ttf" "$folder/"
    touch "$folder/portable.txt"
  else
    cp "$game" "$folder/kraylo"
  fi
  printf '[Net]\r\nmeetServer = %s\r\n%s' "$service" "$hide" >>"$folder/dorvane/config.cfg"
}

# The command that starts a side's copy, from its folder.
game_command() {  # side
  if [ -f "$lab/$1-game/kraylo.exe" ]; then echo "wine ./kraylo.exe"; else echo "./kraylo"; fi
}

# Starts a side's game in its namespace and on its X server, recording; its standard output in
# $logs/SIDE.out (the code, the way the meeting found, when the game began).
start_game() {  # side, namespace, option...
  local side=$1 ns=$2
  shift 2
  (cd "$lab/$side-game" && HOME=$lab/$side-home DISPLAY=:0 SDL_AUDIODRIVER=dummy \
    exec ip netns exec "$ns" $(game_command "$side") "$@" --record "$lab/$side.krp" \
    >"$logs/$side.out" 2>"$logs/$side.log") &
  echo $! >"$lab/$side.pid"
  remember $!
}

on() { DISPLAY=:0 in_ns "$@"; }  # namespace, X client...
shot() { on "$1" import -window root "$logs/$2.png" && echo "$logs/$2.png"; }  # namespace, name
# The share of a rectangle of a screenshot that is lit.
lit_share() { convert "$1" -crop "${4}x${5}+${2}+${3}" -threshold 6% -format "%[fx:mean]" info:; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
said() { grep -qF -- "$2" "$logs/$1.out" 2>/dev/null; }  # side, text on its standard output

# Whether a screenshot shows the menu: the Play button lit, and where the start-up window's log
# would be white, black.
is_menu() { above "$(lit_share "$1" 340 255 120 22)" 0.5 && ! above "$(lit_share "$1" 20 100 100 100)" 0.1; }
# Waits for a side's menu, then clicks Play; the displays are 800x600 as the field is, so the
# frame's pixels are the screen's.
click_play() {  # side, namespace
  wait_for "the $1's menu" "is_menu \$(shot $2 $1-menu)" 15
  on "$2" xdotool mousemove 400 260 sleep 0.1 click 1
}

# Holds a key for a while in a side's window.
press() {  # namespace, key, seconds
  local window
  window=$(on "$1" xdotool search --name '^Kraylo$' | head -1)
  on "$1" xdotool windowfocus --sync "$window" keydown "$2" sleep "$3" keyup "$2"
}

ended() { ! kill -0 "$(cat "$lab/$1.pid")" 2>/dev/null; }  # side

# One value of a line on a side's standard output: the first number after `prefix`.
number_after() { sed -n "s/^$2[^0-9]*\([0-9.]*\).*/\1/p" "$logs/$1.out" | head -1; }

# The way the game went, from the joiner's path line: lan when it went to the host's LAN address.
game_path() {
  if grep -q '^Path: relayed' "$logs/join.out"; then echo relayed
  elif grep -q '^Path: direct to 10\.' "$logs/join.out"; then echo lan
  else echo direct; fi
}

cell_columns=$'code to the way\tcode to the first shared tick\trequests to the service\tthe two games'

# Plays one cell with the game on both sides: the host clicks Play and gives its code, the joiner
# joins with it and clicks Play, both push their balls, the joiner leaves with Esc and the host
# ends. Prints the path and the columns above, tab-separated.
play_cell() {  # host's namespace, joiner's namespace
  local host_public code agreed
  host_public=$(cat "$lab/host.public")
  start_display "$1" >/dev/null
  start_display "$2" >/dev/null
  capture_from "$2" "$host_public"
  copy_game host
  copy_game join
  start_game host "$1" --host --no-port-mapping
  click_play host "$1"
  wait_for "the host's code" "said host 'Code: '" 10
  code=$(sed -n 's/^Code: //p' "$logs/host.out")
  start_game join "$2" --join "$code"
  click_play join "$2"
  if [ "$join_kind" = blocked ]; then
    wait_for "the joiner's failure" "said join 'blocks UDP'" 10
    shot "$2" join-failed >/dev/null
    printf 'error\t-\t-\t-\t"%s"\n' "$(tail -1 "$logs/join.out")"
    return
  fi
  wait_for "both games to begin" "said host 'Playing, ' && said join 'Playing, '" 15
  press "$1" Right 0.2
  press "$2" Right 0.1
  sleep 2.5
  shot "$1" host-playing >/dev/null
  press "$2" Escape 0.3
  wait_for "the joiner to end" "ended join" 5
  wait_for "the host's \"the other player left\"" \
    "above \$(lit_share \$(shot $1 host-left) 250 114 300 72) 0.02" 5
  press "$1" Escape 0.3
  wait_for "the host to end" "ended host" 5
  agreed=$(python3 "$lab_folder/same_game.py" "$lab/host.krp" "$lab/join.krp" 2>&1) ||
    fail "the two games differ: $agreed"
  # A host that hides its address is never seen by the joiner: only the relay's datagrams reach it.
  if [ "$host_kind" = hidden ] && [ "$(captured "$2")" != 0 ]; then
    fail "the joiner's network saw datagrams from the hidden host's address $host_public"
  fi
  printf '%s\t%s s\t%s s\t%s\t%s\n' "$(game_path)" "$(number_after join 'Path: .*(')" \
    "$(number_after join 'Playing, ')" "$(number_after join 'Path: .*s, ')" "$agreed"
}

# ---- One cell, inside its own namespaces

tear_down() {
  local pid
  if [ -f "$lab/pids" ]; then
    for pid in $(tac "$lab/pids"); do kill "$pid" 2>/dev/null || true; done
  fi
  ip -all netns delete 2>/dev/null || true
}

in_cell() {  # HOST:JOINER
  cell=$1 host_kind=${1%:*} join_kind=${1#*:}
  # A private /run: `ip netns` keeps its names in /run/netns, and the key and the players'
  # reports stay here too; all of it goes with this mount namespace.
  mount -t tmpfs -o mode=0700 nat-lab /run
  mkdir /run/netns /run/lab
  lab=/run/lab logs=${LAB_WORK:-/run/lab}
  [ -z "${LAB_WORK:-}" ] || { rm -rf "$logs" && mkdir -p "$logs"; }
  trap tear_down EXIT
  meet=$LAB_MEET program=${LAB_PROGRAM:-} joiner_program=${LAB_JOINER_PROGRAM:-$LAB_PROGRAM}
  make_internet
  start_service
  local host_ns join_ns
  host_ns=$(make_player host "$host_kind")
  join_ns=$(make_player join "$join_kind")
  play_cell "$host_ns" "$join_ns"
}

# ---- The whole laboratory

skip() {
  echo "SKIP: $*"
  if [ "${CI:-}" = true ]; then echo "FAIL: under CI=true the NAT laboratory must run"; exit 1; fi
  exit 77
}

check_prerequisites() {
  [ "$(id -u)" = 0 ] || skip "the NAT laboratory makes network namespaces: run it as root"
  local tool
  for tool in ip nft unshare tcpdump python3 timeout Xvfb xdotool convert import; do
    command -v "$tool" >/dev/null || skip "$tool is missing (tools/install-deps test)"
  done
  [ -x "$LAB_MEET" ] || skip "no meeting service at $LAB_MEET"
  [ -x "$LAB_PROGRAM" ] || skip "no game at '$LAB_PROGRAM' (--program)"
  unshare --mount --net --pid --fork sh -c 'mount -t tmpfs lab /run && ip netns add lab &&
    ip link add lab0 type veth peer name lab1 && nft add table ip lab' 2>/dev/null ||
    skip "this machine cannot make namespaces with veth cables and nftables here"
}

# Runs a cell in a mount, network and PID namespace of its own: should this script be killed, the
# cell's processes are killed with it, and its namespaces and files vanish.
run_cell() {  # HOST:JOINER
  local work=""
  [ -z "$work_folder" ] || work="$work_folder/${1/:/-}"
  LAB_WORK=$work timeout "$cell_seconds" \
    unshare --mount --net --pid --fork --kill-child --mount-proc -- "$lab_script" --in-cell "$1"
}

print_row() { printf '%-8s %-12s %-9s %-11s %s\n' "$@"; }

main() {
  program="" joiner_program="" work_folder=""
  while [ $# -gt 0 ]; do
    case $1 in
      --in-cell) in_cell "$2"; exit ;;
      --program) program=$(realpath "$2") && shift 2 ;;
      --joiner-program) joiner_program=$(realpath "$2") && shift 2 ;;
      --work) work_folder=$(realpath -m "$2") && shift 2 ;;
      *) break ;;
    esac
  done
  [ $# -ge 1 ] || { sed -n '/^# Usage:/,/^# Runs as root/p' "$lab_script" | sed 's/^# \{0,1\}//'; exit 2; }
  export LAB_MEET LAB_PROGRAM=$program LAB_JOINER_PROGRAM=$joiner_program
  LAB_MEET=$(realpath -m "$1")
  shift
  check_prerequisites
  # The whole run in a PID namespace of its own too: killed, it takes every cell with it at once.
  if [ -z "${LAB_ENCLOSED:-}" ]; then
    LAB_ENCLOSED=1 exec unshare --mount --net --pid --fork --kill-child --mount-proc -- \
      "$lab_script" ${program:+--program "$program"} \
      ${joiner_program:+--joiner-program "$joiner_program"} ${work_folder:+--work "$work_folder"} \
      "$LAB_MEET" "$@"
  fi
  local cells=("$@") cell row path details expected verdict mismatches=0 started
  [ ${#cells[@]} -gt 0 ] || mapfile -t cells < <(all_cells)
  started=$(date +%s%3N)
  print_row host joiner expected path "${cell_columns//$'\t'/ | }"
  for cell in "${cells[@]}"; do
    expected=$(expected_path "${cell%:*}" "${cell#*:}")
    row=$(run_cell "$cell") || row=$'failed\t(its log on stderr)'
    path=${row%%$'\t'*} details=${row#*$'\t'} verdict=""
    [ "$path" = "$expected" ] || { verdict="   <-- expected $expected" && mismatches=$((mismatches + 1)); }
    print_row "$(kind_name "${cell%:*}")" "$(kind_name "${cell#*:}")" "$expected" "$path" \
      "${details//$'\t'/ | }$verdict"
  done
  echo "${#cells[@]} cells in $((($(date +%s%3N) - started) / 1000)) s, $mismatches not as expected"
  [ $mismatches = 0 ]
}

# Sourced, it only defines the functions (to try a piece by hand).
[ "${BASH_SOURCE[0]}" != "$0" ] || main "$@"
