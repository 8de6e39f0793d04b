#!/bin/sh
# The version check of the test build of TalvioDriver.exe under Wine against
# a loopback HTTP server of ours: the server answers a newer version with
# result 1, padded past 4999 bytes with an older "v=" that must not be read;
# the update prompt appears, a peer ticks "Do not ask me again!" and chooses
# "Update later", and quitting through Closo writes CheckVer 0.
#   update_check_wine_test.sh <wine-run.sh> <TalvioDriver test build> <update_prompt_peer.exe> <closo_call.exe>
# Every wait is bounded; the server and a driver still running are killed.
set -u
wine_run=$1
driver=$2
peer=$3
closo_call=$4
failures=0

work=$(mktemp -d /tmp/talvio-update-check-XXXXXX)
folder="$work/Talvio"
mkdir -p "$folder"
cp "$driver" "$folder/TalvioDriver.exe"
server_pid=
driver_pid=
cleanup() {
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }

timeout 120 python3 - "$work" <<'PY' &
import http.server, os, sys

work = sys.argv[1]
head = b"v=9.9.9.9\r\nresult=1\r\n"
reply = head + b"\n" * (4999 - len(head)) + b"v=0.0.0.1\r\n"

class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with open(os.path.join(work, "requests"), "a") as log:
            log.write("%s %s|%s|%s\n" % (self.command, self.path, self.headers.get("Content-Type"),
                                          body.decode("latin-1")))
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass

server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(os.path.join(work, "port.tmp"), "w") as port:
    port.write(str(server.server_port))
os.rename(os.path.join(work, "port.tmp"), os.path.join(work, "port"))
server.serve_forever()
PY
server_pid=$!
tries=0
until [ -s "$work/port" ]; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && { fail "the loopback server did not start"; exit 1; }
    sleep 0.1
done

printf "<Config><General><AutoStart value='0'/><CheckVer value='1'/></General></Config>" >"$folder/config.xml"
# No proxy may stand between the driver and the loopback server.
TALVIO_TEST_UPDATE_PORT=$(cat "$work/port") timeout 120 env -u http_proxy -u https_proxy -u HTTP_PROXY \
    -u HTTPS_PROXY "$wine_run" "$folder/TalvioDriver.exe" &
driver_pid=$!

timeout 90 "$wine_run" "$peer" 40 >"$work/peer" 2>/dev/null
peer_code=$?
peer_output=$(tr -d '\r' <"$work/peer")
printf '%s\n' "$peer_output"
[ $peer_code -eq 0 ] || fail "the update prompt did not come, take the answer and close (peer exit $peer_code)"
expect_line() {
    printf '%s\n' "$peer_output" | grep -qxF "$1" || fail "peer did not report '$1'"
}
expect_line "title: Orvane Driver"
expect_line "2105: A new version is detected. Would you like to download and update now?"
expect_line "2104: &Update now"
expect_line "2120: Update &later"
expect_line "2107: &Do not ask me again!"
expect_line "ticked: 1"

"$wine_run" "$closo_call" >/dev/null || fail "closo_call did not reach the driver"
wait "$driver_pid"
code=$?
driver_pid=
[ $code -eq 0 ] || fail "TalvioDriver.exe ended with $code"
grep -q "<CheckVer value='0' />" "$folder/config.xml" || fail "CheckVer 0 not saved: $(cat "$folder/config.xml")"

expected="POST /talvio/VersionCheck.php|application/x-www-form-urlencoded|v=0.9.0.5&sid=&uid="
if [ "$(cat "$work/requests" 2>/dev/null)" = "$expected" ]; then
    echo "ok: one check, $expected"
else
    fail "the server saw '$(cat "$work/requests" 2>/dev/null)', expected '$expected'"
fi

[ $failures -eq 0 ] && echo "all update check checks passed" || echo "$failures update check checks failed"
exit $failures
