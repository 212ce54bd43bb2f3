#!/usr/bin/env bash
# The NAT laboratory: two players behind the kinds of NAT players really have, and the meeting
# service on an "internet" of documentation addresses, all in network namespaces of the test's own.
# Each cell (the host's kind of network, the joiner's) is built afresh in a mount, network and PID
# namespace of its own: when the cell ends, however it ends, its namespaces, processes and files
# end with it. play_cell then tries the two players against each other; the table at the end holds
# each cell's path against the one the game should take.
#
#   public   the player's own address is public: no NAT, nothing filtered
#   home     a home router: masquerade, the source port kept where it can be, and conntrack lets
#            in only what answers a datagram sent out (to that address and port)
#   hard     masquerade fully-random: a new port for every destination
#   cgn      a home router whose WAN is in 100.64.0.0/10, behind the provider's router
#            (masquerade too) that has the public address
#   same     (joiner only) on the host's own LAN, behind the host's router
#   blocked  a home router that drops every UDP datagram going out
#
# Usage: lab.sh [--program KRAYLO] [--work FOLDER] KRAYLO_MEET [HOST:JOINER]...
#   without cells: the 16 of public, home, hard and cgn both ways, home:same and home:blocked.
#   --work keeps each cell's logs in FOLDER/HOST-JOINER; --program is the game, for the cells
#   that play it.
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
}

# The path the game should take: direct unless a NAT with a new port per destination meets one
# that filters (every NAT here filters; a public address does not).
expected_path() {  # host's kind, joiner's kind
  case "$1:$2" in
    *blocked*) echo error ;;
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
    home | hard | blocked)
      make_router "$side-rt" net "$lan_router/24" "$public/24" "$internet_gateway" "$2"
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
  wait_for "the meeting service to start" "grep -q 'meeting on UDP port' '$logs/meet.log'" 5
}

# Records every datagram from ADDRESS that reaches namespace NS; `captured NS` ends the
# recording and prints how many there were.
capture_from() {  # namespace, address
  in_ns "$1" tcpdump -i any -n -U -w "$lab/$1.pcap" udp and src host "$2" 2>"$logs/tcpdump-$1.log" &
  echo $! >"$lab/$1.capture"
  remember $!
  wait_for "tcpdump in $1" "grep -q 'listening on' '$logs/tcpdump-$1.log'" 5
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
  in_ns "$1" Xvfb -displayfd 3 -noreset -screen 0 1280x720x24 -nolisten tcp -nolisten unix -nolock \
    3>"$lab/$1.display" >"$logs/xvfb-$1.log" 2>&1 &
  remember $!
  wait_for "an X server for $1" "[ -s '$lab/$1.display' ]" 10
  echo ":$(cat "$lab/$1.display")"
}

# ---- The check without the game: STUN from one socket, then a hole punch

# One value of a probe's report: "KEY VALUE" lines.
value() { awk -v key="$1" '$1 == key { print $2 }' "$2"; }  # key, file

start_probe() {  # side, namespace
  in_ns "$2" timeout 10 python3 "$lab_folder/probe.py" "$1" "$service" "$lab" \
    >"$lab/$1.heard" 2>"$logs/probe-$1.log" &
  echo $! >"$lab/$1.probe"
}

# Whether what the service saw of a side fits its kind of network: the address the internet
# sees it by, the same port at both service ports (a new one for the hard NAT), and for a public
# address the player's own port.
seen_fits() {  # side, kind
  local one two lan public
  one=$(value seen27911 "$lab/$1.mapped") two=$(value seen27912 "$lab/$1.mapped")
  lan=$(value lan "$lab/$1.mapped") public=$(cat "$lab/$1.public")
  [ "${one%:*}" = "$public" ] && [ "${two%:*}" = "$public" ] || return 1
  case $2 in
    hard) [ "$one" != "$two" ] ;;
    public) [ "$one" = "$two" ] && [ "$one" = "$lan" ] ;;
    *) [ "$one" = "$two" ] ;;
  esac
}

describe_seen() {  # side
  local one two
  one=$(value seen27911 "$lab/$1.mapped") two=$(value seen27912 "$lab/$1.mapped")
  if [ "$one" = - ]; then echo "no answer"; else echo "$one/${two##*:}"; fi
}

# Did the other side hear a probe of this one.
heard() {  # side that listened
  [ "$(value heard_probes "$lab/$1.heard")" != - ]
}

# The game's rule for a side: direct once a probe of the other's reached it and its own came back.
side_direct() {  # side
  heard "$1" && [ "$(value heard_echoes "$lab/$1.heard")" != - ]
}

# direct or lan (punched, and how), relayed (not punched), error (no answer from the service);
# bad-seen when the service saw something the kind of network cannot give.
probe_path() {
  if [ "$(value seen27911 "$lab/host.mapped")" = - ] ||
    [ "$(value seen27911 "$lab/join.mapped")" = - ]; then
    echo error
  elif ! seen_fits host "$host_kind" || ! seen_fits join "$join_kind"; then
    echo bad-seen
  elif side_direct host && side_direct join; then
    if grep -q ' 10\.' "$lab/host.heard" "$lab/join.heard"; then echo lan; else echo direct; fi
  else
    echo relayed
  fi
}

# Both sides get the other's LAN address and the address the meeting port saw, as the game's
# offers carry them; none when either got no answer from the service.
hand_over() {
  local side other
  for side in host join; do
    other=$([ $side = host ] && echo join || echo host)
    if [ "$(value seen27911 "$lab/$other.mapped")" = - ] ||
      [ "$(value seen27911 "$lab/$side.mapped")" = - ]; then
      : >"$lab/$side.peer"
    else
      printf '%s\n%s\n' "$(value lan "$lab/$other.mapped")" \
        "$(value seen27911 "$lab/$other.mapped")" >"$lab/$side.peer"
    fi
  done
}

cell_columns=$'host seen as (27911/27912)\tjoiner seen as\thost→joiner\tjoiner→host\thost\'s public address at the joiner'

# Plays one cell: prints the path and the columns above, tab-separated. The program's cells
# replace this with the game itself on both sides.
play_cell() {  # host's namespace, joiner's namespace
  local host_public packets path way_there way_back
  host_public=$(cat "$lab/host.public")
  capture_from "$2" "$host_public"
  start_probe host "$1"
  start_probe join "$2"
  wait_for "both probes' reports of the service" "[ -s '$lab/host.mapped' ] && [ -s '$lab/join.mapped' ]" 5
  hand_over
  wait "$(cat "$lab/host.probe")" || fail "the host's probe failed"
  wait "$(cat "$lab/join.probe")" || fail "the joiner's probe failed"
  packets=$(captured "$2")
  path=$(probe_path)
  way_there=$(heard join && echo yes || echo no)
  way_back=$(heard host && echo yes || echo no)
  # tcpdump must see the host's public address exactly when the joiner heard anything from it:
  # what proves later that a hidden address never arrives.
  if grep -qF " $host_public:" "$lab/join.heard"; then
    [ "$packets" -gt 0 ] || path=bad-capture
  else
    [ "$packets" = 0 ] || path=bad-capture
  fi
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$path" "$(describe_seen host)" "$(describe_seen join)" \
    "$way_there" "$way_back" "$packets datagrams"
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
  meet=$LAB_MEET program=${LAB_PROGRAM:-}
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
  for tool in ip nft unshare tcpdump python3 timeout; do
    command -v "$tool" >/dev/null || skip "$tool is missing (tools/install-deps test)"
  done
  [ -x "$LAB_MEET" ] || skip "no meeting service at $LAB_MEET"
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
  program="" work_folder=""
  while [ $# -gt 0 ]; do
    case $1 in
      --in-cell) in_cell "$2"; exit ;;
      --program) program=$(realpath "$2") && shift 2 ;;
      --work) work_folder=$(realpath -m "$2") && shift 2 ;;
      *) break ;;
    esac
  done
  [ $# -ge 1 ] || { sed -n '/^# Usage:/,/^# Runs as root/p' "$lab_script" | sed 's/^# \{0,1\}//'; exit 2; }
  export LAB_MEET LAB_PROGRAM=$program
  LAB_MEET=$(realpath -m "$1")
  shift
  check_prerequisites
  # The whole run in a PID namespace of its own too: killed, it takes every cell with it at once.
  if [ -z "${LAB_ENCLOSED:-}" ]; then
    LAB_ENCLOSED=1 exec unshare --mount --net --pid --fork --kill-child --mount-proc -- \
      "$lab_script" ${program:+--program "$program"} ${work_folder:+--work "$work_folder"} \
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
