#!/usr/bin/env python3
"""One player of the NAT laboratory, without the game: from one UDP socket it asks the meeting
service's two ports (27911, 27912) for the address they see (STUN Binding), writes what it learned
to FOLDER/SIDE.mapped, waits for the laboratory to write the other player's addresses into
FOLDER/SIDE.peer, then punches: for under 2 s it probes every one of them, echoes every probe of
the other player to where it came from and probes that address too (the other side's NAT may have
given it a port of its own for us). It prints what it heard, for the laboratory to judge.
Usage: probe.py SIDE SERVICE_ADDRESS FOLDER"""

import os
import secrets
import select
import socket
import struct
import sys
import time

SIDE, SERVICE, FOLDER = sys.argv[1], sys.argv[2], sys.argv[3]
STUN_PORTS = (27911, 27912)
STUN_WAIT = 1.0      # the game gives the service as long
PEER_WAIT = 5.0      # for the laboratory to hand over the other's addresses
PUNCH_SECONDS = 1.7  # then a little longer to hear the last echoes: under 2 s in all
LINGER_SECONDS = 0.2
PROBE_EVERY = 0.1
COOKIE = 0x2112A442


def stun_request(transaction):
    """A Binding request padded to the service's answer size (a PADDING attribute of 8 bytes),
    so that the service, which never answers with more than it was sent, answers it."""
    return struct.pack("!HHI", 0x0001, 12, COOKIE) + transaction + struct.pack("!HH", 0x0026, 8) \
        + bytes(8)


def read_stun_answer(datagram, transaction):
    """The XOR-MAPPED-ADDRESS of a Binding success for `transaction`, as "ip:port"; else None."""
    if len(datagram) < 20 or datagram[8:20] != transaction:
        return None
    kind, length, cookie = struct.unpack("!HHI", datagram[:8])
    if kind != 0x0101 or cookie != COOKIE:
        return None
    at = 20
    while at + 4 <= min(len(datagram), 20 + length):
        attribute, size = struct.unpack("!HH", datagram[at:at + 4])
        if attribute == 0x0020 and size >= 8:
            port, address = struct.unpack("!HI", datagram[at + 6:at + 12])
            address = socket.inet_ntoa(struct.pack("!I", address ^ COOKIE))
            return "%s:%d" % (address, port ^ (COOKIE >> 16))
        at += 4 + (size + 3) // 4 * 4
    return None


def ask_service(sock):
    """The address each service port saw, resending every 0.2 s for up to STUN_WAIT."""
    transactions = {port: secrets.token_bytes(12) for port in STUN_PORTS}
    seen = {}
    deadline = time.monotonic() + STUN_WAIT
    next_send = 0.0
    while len(seen) < len(STUN_PORTS) and time.monotonic() < deadline:
        if time.monotonic() >= next_send:
            for port in STUN_PORTS:
                if port not in seen:
                    sock.sendto(stun_request(transactions[port]), (SERVICE, port))
            next_send = time.monotonic() + 0.2
        if select.select([sock], [], [], 0.05)[0]:
            datagram, _ = sock.recvfrom(2048)
            for port in STUN_PORTS:
                mapped = read_stun_answer(datagram, transactions[port])
                if mapped:
                    seen[port] = mapped
    return seen


def own_lan_address(port):
    """The address this player's own network knows it by: the source its route to the service
    picks (a connected UDP socket sends nothing)."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as route:
        route.connect((SERVICE, STUN_PORTS[0]))
        return "%s:%d" % (route.getsockname()[0], port)


def write_atomically(path, text):
    with open(path + ".part", "w") as out:
        out.write(text)
    os.replace(path + ".part", path)


def wait_for_peers():
    """The other player's addresses, one a line; none when the laboratory gives up on the cell."""
    path = os.path.join(FOLDER, SIDE + ".peer")
    deadline = time.monotonic() + PEER_WAIT
    while not os.path.exists(path) and time.monotonic() < deadline:
        time.sleep(0.01)
    if not os.path.exists(path):
        return []
    with open(path) as given:
        return [line.strip() for line in given if ":" in line]


def endpoint(text):
    address, port = text.rsplit(":", 1)
    return address, int(port)


def punch(sock, targets):
    """Probes and echoes; what was heard from the other player, by the address it came from."""
    targets = [endpoint(t) for t in targets]
    probe = ("kraylo-lab probe %s" % SIDE).encode()
    echo = ("kraylo-lab echo %s" % SIDE).encode()
    heard_probes, heard_echoes = set(), set()
    started = time.monotonic()
    next_send = started
    while time.monotonic() < started + PUNCH_SECONDS + LINGER_SECONDS:
        now = time.monotonic()
        if now < started + PUNCH_SECONDS and now >= next_send:
            for target in targets:
                sock.sendto(probe, target)
            next_send = now + PROBE_EVERY
        if not select.select([sock], [], [], 0.02)[0]:
            continue
        datagram, source = sock.recvfrom(2048)
        words = datagram.split()
        if len(words) != 3 or words[0] != b"kraylo-lab" or words[2] == SIDE.encode():
            continue
        if words[1] == b"probe":
            heard_probes.add(source)
            sock.sendto(echo, source)
            if source not in targets:
                targets.append(source)
        elif words[1] == b"echo":
            heard_echoes.add(source)
    return heard_probes, heard_echoes


def listed(endpoints):
    return " ".join(sorted("%s:%d" % e for e in endpoints)) or "-"


def main():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("0.0.0.0", 0))
    seen = ask_service(sock)
    lan = own_lan_address(sock.getsockname()[1])
    write_atomically(os.path.join(FOLDER, SIDE + ".mapped"),
                     "lan %s\n" % lan + "".join("seen%d %s\n" % (port, seen.get(port, "-"))
                                                for port in STUN_PORTS))
    peers = wait_for_peers()
    heard_probes, heard_echoes = punch(sock, peers) if peers else (set(), set())
    print("heard_probes %s" % listed(heard_probes))
    print("heard_echoes %s" % listed(heard_echoes))


main()
