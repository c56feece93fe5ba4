# SPDX-License-Identifier: MIT
# Each hostile request gets its status (or is dropped in time), and the server answers after each.
import concurrent.futures, contextlib, re, socket, sys, threading, time

port = int(sys.argv[1])  # usage: hostile_requests.py PORT GOOD_GAME
good = open(sys.argv[2], "rb").read()
token = b"hostile-token-0123456789abcdef"
failures = []
kinds = 0


def exchange(data, timeout=15, pause=0.0):
    """Sends data (pieces of a list `pause` apart) while reading the answer; returns (status or None, answer, s)."""
    start, answer = time.time(), b""
    s = socket.create_connection(("127.0.0.1", port), timeout=timeout)

    def send():
        with contextlib.suppress(OSError):
            for piece in data if isinstance(data, list) else [data]:
                s.sendall(piece)
                time.sleep(pause)
    sender = threading.Thread(target=send)
    sender.start()
    with contextlib.suppress(socket.timeout, ConnectionResetError):
        # Until the whole head and body came (the connection may stay open after them).
        while len(answer) < 65536 and (chunk := s.recv(65536)):
            answer += chunk
            head, ended, body = answer.partition(b"\r\n\r\n")
            length = re.search(rb"(?im)^content-length: *(\d+)", head)
            if ended and length and len(body) >= int(length[1]):
                break
    took = time.time() - start
    s.close()
    sender.join()
    return int(answer[9:12]) if answer.startswith(b"HTTP/1.1 ") else None, answer, took


def post(body, headers=b"", auth=True):
    head = b"POST /api/games HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: text/plain\r\n"
    head += b"Authorization: Bearer " + token + b"\r\n" if auth else b""
    return head + headers + b"Content-Length: " + str(len(body)).encode() + b"\r\n\r\n" + body


def get(path, headers=b""):
    return b"GET " + path + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + headers + b"\r\n"


def case(name, data, expect, reason=None, timeout=15, pause=0.0, within=None):
    """Expects a status of `expect` (within `within` s), its reason (a pattern) in the answer."""
    global kinds
    kinds += 1
    status, answer, took = exchange(data, timeout, pause)
    ok = status in expect and (within is None or took <= within) and (not reason or re.search(reason, answer) is not None)
    print(f"{name}: {status} in {took:.1f} s" + ("" if ok else f"  FAIL: wanted {expect} {reason or ''}: {answer[-300:]}"))
    failures.extend([] if ok else [name])
    if exchange(get(b"/api/board?board=open"), timeout=10)[0] != 200:
        failures.append(name + " (server no longer serving)")
        print(f"  FAIL: the server stopped serving after {name}")


line = b"player 2026-12-07T12:00:00+01:00 Ann\n"
cases = [
    ("Content-Length of a terabyte, no body", b"POST /api/games HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + token
     + b"\r\nContent-Length: 1000000000000\r\n\r\n", {413}),
    ("chunked body over the limit", b"POST /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n"
     b"Authorization: Bearer " + token + b"\r\n\r\n" + b"".join(b"10000\r\n" + b"#" * 65536 + b"\r\n" for _ in range(10))
     + b"0\r\n\r\n", {413, None}),  # the rest unread: the answer may be lost in the reset (TCP)
    ("chunk size that is no number", b"POST /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n"
     b"\r\nzz\r\nabc\r\n0\r\n\r\n", {400}),
    ("negative Content-Length", b"POST /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: -5\r\n\r\nabc",
     {400, 413}),
    ("Content-Length that is no number", b"POST /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: ten\r\n\r\n",
     {401}, rb"no player token"),  # the library reads no number as no body
    ("a header line of 20 KB", get(b"/api/board?board=open", b"X-Big: " + b"a" * 20000 + b"\r\n"), {400, 431}),
    ("5000 small headers", get(b"/api/board?board=open", b"".join(b"X-H%d: v\r\n" % i for i in range(5000))), {400, 431}),
    ("headers of 100 KB in all", get(b"/api/board?board=open", b"".join(b"X-H%d: %s\r\n" % (i, b"v" * 4000) for i in range(25))),
     {431}),
    ("a path of 20 KB", get(b"/api/games/" + b"a" * 20000), {414}),
    ("a request line of TLS", b"\x16\x03\x01\x00\xa5\x01\x00\x00\xa1\x03\x03" + b"\x00" * 160, {400, None}),
    ("garbage for a request line", b"\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03garbage\r\n\r\n", {400}),
    ("no HTTP version", b"GET /\r\n\r\n", {400}),
    ("a method no one knows", b"BREW /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {400, 404, 405}),
    ("PUT on the games", b"PUT /api/games HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 0\r\n\r\n", {404, 405}),
    ("DELETE a game", b"DELETE /api/games/0123456789abcdef01234567 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", {404, 405}),
    ("a path out of the tree", get(b"/api/games/../../../etc/passwd"), {400, 404}),
    ("a NUL in the path", get(b"/api/games/%00abc"), {400, 404}),
    ("a broken escape in the query", get(b"/api/board?board=%zz&day=%"), {400}),
    ("a token of another scheme", post(good, b"Authorization: Basic YWxhZGRpbjpvcGVu\r\n", auth=False), {401}),
    ("a token of 10 KB", post(good, b"Authorization: Bearer " + b"a" * 10000 + b"\r\n", auth=False), {400, 401, 431}),
    ("an empty body", post(b""), {422}, rb"final state"),
    ("nothing but words", post(b"# nothing but words\n\n"), {422}, rb"final state"),
    ("a body of NUL bytes", post(b"\0" * 5000), {422}),
    ("a body that is no UTF-8", post(bytes(range(256)) * 50), {422}),
    ("a line of 100,000 digits", post(line + b"advance " + b"9" * 100000 + b"\n"), {422}),
    ("a line of a million digits", post(line + b"advance " + b"9" * 1000000 + b"\n"), {413}, rb"524288 bytes"),
    ("an advance of 24 hours", post(b"seed 5\n" + line + b"advance 86400000\n"), {422}),
    ("an advance past 64 bits", post(b"seed 5\n" + line + b"advance 99999999999999999999999\n"), {422}),
    ("a replay bomb: 50,000 advances", post(b"seed 5\n" + line + b"advance 1\n" * 50000), {422}),
    ("a replay bomb: 60,000 queued draws", post(line + b"random 0.5\n" * 45000), {422}),
    ("keys without end", post(b"seed 5\n" + line + b"keydown 88\n" * 40000), {422}),
    ("a driver command", post(b"write /etc/passwd\n"), {422}, rb"not a line of a recording"),
    ("a driver command in a game", post(b"seed 5\n" + line + b"screenshot /tmp/hall.png\n"), {422}),
    ("a format from the future", post(b"format 99 hvezda 9.0\nseed 5\n" + line + b"advance 10\n"), {422}, rb"format"),
    ("a range past the end", get(b"/api/games/0123456789abcdef01234567", b"Range: bytes=99999999-\r\n"), {404, 416}),
]
for name, data, expect, *reason in cases:
    case(name, data, expect, *reason)

# Slow connections, all at once: each dropped in time while the server serves others.
slow = [("one byte a second", [bytes([b]) for b in get(b"/api/board?board=open")], 1.0, 13),
        ("a connection that sends nothing", [b""], 0, 8),
        ("headers that never end", [b"GET / HTTP/1.1\r\n"] + [b"X-A: b\r\n"] * 60, 0.3, 13)]
with concurrent.futures.ThreadPoolExecutor(len(slow)) as pool:
    list(pool.map(lambda s: case(s[0], s[1], {None, 408}, None, 30, s[2], s[3]), slow))

print(f"{kinds} kinds of hostile request")
if failures:
    print("FAIL: " + "; ".join(failures))
    sys.exit(1)
