#!/usr/bin/env python3
"""kraylo-meet as its operator and its clients meet it, on 127.0.0.1 only: bad options end it with
status 2 and a message; it makes its key file (0600) and keeps it across a restart; a STUN client
(our own request, and Debian's stun client when installed) gets the address it sent from; a room
is registered and joined over real sockets, the joiner and the host each getting their answer and
no answer larger than its request; SIGTERM ends it cleanly.
Usage: program_test.py KRAYLO_MEET"""

import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import zlib

MEET = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def message(kind, body, size):
    """One of our datagrams: marker, magic, version 1, type, body, padding, CRC32."""
    head = bytes([0x0F, 0xFE]) + b"KMET" + bytes([1, kind]) + body
    head += bytes(size - 4 - len(head))
    return head + struct.pack("<I", zlib.crc32(head))


def offer():
    """Version 3, 800 x 600, no port variation, no candidates (4 empty slots)."""
    return struct.pack("<HiiBB", 3, 800, 600, 0, 0) + bytes(6 * 4)


def ask(sock, port, datagram):
    sock.sendto(datagram, ("127.0.0.1", port))
    return sock.recvfrom(2048)[0]


def start(port, key, relay):
    process = subprocess.Popen([MEET, "--address", "127.0.0.1", "--port", str(port), "--key", key,
                                "--relay-ports", relay], stderr=subprocess.PIPE, text=True)
    line = process.stderr.readline()
    check("meeting on UDP port %d" % port in line, "start: " + line)
    return process


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        status = process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        status = "hung"
    rest = process.stderr.read()
    check(status == 0 and "stopped;" in rest, "SIGTERM gave %s and %r" % (status, rest))


for arguments, text in ((["--port", "0"], "--port takes a port"),
                        (["--port", "x"], "--port takes a port"),
                        (["--relay-ports", "9-3"], "--relay-ports takes LOW-HIGH"),
                        (["--relay-ports", "27000-28000"], "must not include"),
                        (["--address", "::1"], "--address takes an IPv4"),
                        (["--bogus"], "unknown option"),
                        (["--key"], "needs a value")):
    result = subprocess.run([MEET] + arguments, capture_output=True, text=True, timeout=10)
    check(result.returncode == 2 and text in result.stderr, "%s: %s" % (arguments, result.stderr))
result = subprocess.run([MEET, "--help"], capture_output=True, text=True, timeout=10)
check(result.returncode == 0 and "--key FILE" in result.stdout, "--help")

folder = tempfile.mkdtemp()
try:
    key = os.path.join(folder, "key")
    with open(os.path.join(folder, "short"), "wb") as short:
        short.write(b"123")
    result = subprocess.run([MEET, "--key", os.path.join(folder, "short")], capture_output=True,
                            text=True, timeout=10)
    check(result.returncode == 1 and "not a key of 16 bytes" in result.stderr, "short key")

    # A free port pair: the first of two consecutive ports both free for UDP on 127.0.0.1.
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1] & ~1
    probe.close()
    port = port if port < 60000 else 40000
    relay = "%d-%d" % (port + 2, port + 101)

    service = start(port, key, relay)
    check(os.stat(key).st_mode & 0o777 == 0o600 and os.path.getsize(key) == 16, "key file")
    with open(key, "rb") as made:
        first_key = made.read()
    client = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    client.settimeout(3)
    client.bind(("127.0.0.1", 0))
    own_port = client.getsockname()[1]

    # Our STUN request (padded to 32 bytes): the answer is 32 bytes with our port, XORed.
    request = struct.pack(">HHI", 1, 12, 0x2112A442) + bytes(range(12)) + struct.pack(">HH", 0x26, 8) + bytes(8)
    answer = ask(client, port + 1, request)
    check(len(answer) == 32 and struct.unpack(">H", answer[26:28])[0] ^ 0x2112 == own_port, "STUN")
    if shutil.which("stun"):
        out = subprocess.run(["stun", "127.0.0.1:%d" % (port + 1), "1", "-v"],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                             timeout=10).stdout
        check("MappedAddress = 127.0.0.1:" in out, "the stun client: " + out[-300:])

    # A room over real sockets: registered (39 bytes for 48), joined (84 to the player and 79 to
    # the host, for 163).
    registered = ask(client, port, message(1, offer(), 48))
    check(len(registered) == 39 and registered[7] == 16, "registered: %r" % registered)
    player = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    player.settimeout(3)
    joined = ask(player, port, message(3, registered[8:13] + bytes([1]) + offer(), 163))
    introduction = client.recvfrom(2048)[0]
    check(len(joined) == 84 and joined[7] == 18, "joined: %r" % joined)
    check(len(introduction) == 79 and introduction[7] == 19, "introduction")
    refused = ask(socket.socket(socket.AF_INET, socket.SOCK_DGRAM),
                  port, message(3, registered[8:13] + bytes([1]) + offer(), 163))
    check(len(refused) == 14 and refused[7] == 22 and refused[8] == 2, "second player")
    stop(service)

    service = start(port, key, relay)
    with open(key, "rb") as kept:
        check(kept.read() == first_key, "the key kept across a restart")
    stop(service)
finally:
    shutil.rmtree(folder)

print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
