#!/usr/bin/env bash
# The stand-in service on its own: direct and proxy requests, credentials,
# page sequences, the request log and every fault mode.
set -uo pipefail
root=${TW_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
build=${TW_BUILD:-$root/build}
standin=$build/native/stand-in
if [ ! -x "$standin" ]; then echo "FAIL: stand_in (no $standin)"; exit 1; fi

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT

fixtures=$work/fixtures
mkdir -p "$fixtures/member-7"
printf 'VERSION INFO Current_Version={2.2} News={123} \xcf\xf0\xe8\xe2\xe5\xf2' >"$fixtures/version-post.html"
printf '<html>member 42</html>' >"$fixtures/member-42.html"
printf 'first page' >"$fixtures/member-7/1.html"
printf 'second page' >"$fixtures/member-7/2.html"

# start <name> <args...>: starts a stand-in, sets $port.
start() {
  local name=$1; shift
  : >"$work/$name.out"
  "$standin" --fixtures "$fixtures" --log "$work/log-$name" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  pids+=($!)
  last_pid=$!
  for _ in $(seq 100); do
    port=$(sed -n 's/^port \([0-9]*\)$/\1/p' "$work/$name.out")
    [ -n "$port" ] && return 0
    sleep 0.05
  done
  echo "FAIL: stand_in $name did not start"; return 1
}

start main --proxy-auth "user:pass" --huge-mb 50 --trickle-bytes 200 --trickle-ms 5 || exit 1
main_port=$port
start refuse --mode refuse || exit 1
refuse_port=$port
start short --lifetime 1 || exit 1
short_pid=$last_pid

python3 - "$main_port" "$refuse_port" "$fixtures" "$work/log-main" <<'PY'
import os, socket, sys, time
port, refuse_port, fixtures, log = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
failed = 0

def check(name, ok, detail=""):
    global failed
    print(("PASS: " if ok else "FAIL: ") + "stand_in " + name + ("" if ok else " -- " + detail))
    if not ok:
        failed += 1

def exchange(request, p=port, timeout=10.0):
    s = socket.create_connection(("127.0.0.1", p), timeout=timeout)
    s.sendall(request)
    data = b""
    try:
        while True:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    except socket.timeout:
        data += b"<timeout>"
    s.close()
    head, _, body = data.partition(b"\r\n\r\n")
    return head, body

def direct(path, extra=b""):
    return (b"GET " + path + b" HTTP/1.0\r\nAccept: */*\r\nHost: pda.diary.example\r\n" + extra +
            b"Connection: Close\r\n\r\n")

def proxied(path, extra=b""):
    return (b"GET http://diary.example" + path + b" HTTP/1.0\r\nHost: pda.diary.example\r\n" + extra +
            b"Proxy-Connection: Close\r\n\r\n")

def set_mode(mode):
    path = os.path.join(fixtures, "mode")
    if mode is None:
        os.path.exists(path) and os.remove(path)
    else:
        open(path, "w").write(mode)

post = open(os.path.join(fixtures, "version-post.html"), "rb").read()
good_auth = b"Proxy-Authorization: Basic dXNlcjpwYXNz\r\n"

req = direct(b"/~wrenfold/?comments&postid=4548577")
head, body = exchange(req)
check("direct version post", head.startswith(b"HTTP/1.0 200 OK\r\n") and body == post, repr(head))
check("content type", b"Content-Type: text/html; charset=windows-1251" in head, repr(head))
logged = open(os.path.join(log, "0001.http"), "rb").read()
check("log holds the exact request bytes", logged == req, repr(logged))

head, body = exchange(proxied(b"/member/?42&fullreaderslist&fullfavoriteslist"))
check("proxy without credentials gets 407", head.startswith(b"HTTP/1.0 407") and
      b"Proxy-Authenticate: Basic" in head, repr(head))
head, body = exchange(proxied(b"/member/?42&fullreaderslist", b"Proxy-Authorization: Basic d3Jvbmc=\r\n"))
check("proxy with wrong credentials gets 407", head.startswith(b"HTTP/1.0 407"), repr(head))
head, body = exchange(proxied(b"/member/?42&fullreaderslist&fullfavoriteslist", good_auth))
check("proxy with credentials serves the profile", head.startswith(b"HTTP/1.0 200 OK") and
      body == b"<html>member 42</html>", repr(head + body))

bodies = [exchange(direct(b"/member/?7&fullreaderslist"))[1] for _ in range(3)]
check("page sequence stays at the last page", bodies == [b"first page", b"second page", b"second page"],
      repr(bodies))
head, body = exchange(direct(b"/member/?999&fullreaderslist"))
check("missing profile is a 404 error page", head.startswith(b"HTTP/1.0 404") and
      b"<title>Error</title>" in body, repr(head))
check("one log file per request", len([f for f in os.listdir(log) if f.endswith(".http")]) == 8,
      repr(sorted(os.listdir(log))))

member = direct(b"/member/?42&fullreaderslist")
for mode, status in (("404", b"HTTP/1.0 404"), ("500", b"HTTP/1.0 500")):
    set_mode(mode)
    head, body = exchange(member)
    check("mode " + mode, head.startswith(status) and b" 200 OK" not in head + body, repr(head))
set_mode("fake200")
head, body = exchange(member)
check("mode fake200", head.startswith(b"HTTP/1.0 404") and b" 200 OK" in body, repr(head + body))
set_mode("half")
head, body = exchange(member)
check("mode half closes mid-body", head.startswith(b"HTTP/1.0 200 OK") and body == b"<html>membe", repr(body))
set_mode("trickle")
started = time.monotonic()
head, body = exchange(direct(b"/~wrenfold/?comments&postid=4548577"))
check("mode trickle delivers everything", body == post, repr(body))
set_mode("huge")
head, body = exchange(member, timeout=60)
check("mode huge", len(body) >= 50 * 1024 * 1024 and body.startswith(b"<html>member 42</html>"), str(len(body)))
set_mode("stall")
head, body = exchange(member, timeout=1.5)
check("mode stall never answers", head == b"<timeout>", repr(head))
set_mode(None)
head, body = exchange(member)
check("back to normal", body == b"<html>member 42</html>", repr(body))

try:
    socket.create_connection(("127.0.0.1", refuse_port), timeout=2).close()
    check("refuse mode", False, "connected")
except ConnectionRefusedError:
    check("refuse mode", True)
sys.exit(1 if failed else 0)
PY
status=$?

# --lifetime: the server ends by itself.
for _ in $(seq 60); do kill -0 "$short_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$short_pid" 2>/dev/null; then echo "FAIL: stand_in lifetime"; status=1; else echo "PASS: stand_in lifetime"; fi
exit $status
