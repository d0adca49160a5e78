#!/bin/sh
# The Debian package of zifra-server: made by CPack from the build, its
# systemd unit verified by systemd-analyze, unpacked into a scratch root,
# and the program from there answering /healthz. Usage: package_test.sh BUILD
set -eu
build=$1
scratch=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT

timeout 120 cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/zifra-server_*.deb)
dpkg-deb --field "$deb" Package | grep -qx zifra-server
for library in libmicrohttpd libsqlite3 libpq libsodium libicu libcurl; do
    dpkg-deb --field "$deb" Depends | grep -q "$library" || { echo "no dependency on $library"; exit 1; }
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/default/zifra-server

dpkg -x "$deb" "$scratch/root"
unit=usr/lib/systemd/system/zifra-server.service
test -x "$scratch/root/usr/bin/zifra-server"
test -f "$scratch/root/$unit"
test -f "$scratch/root/etc/default/zifra-server"
for setting in DynamicUser=yes NoNewPrivileges=yes ProtectSystem=strict PrivateTmp=yes StateDirectory=zifra-server; do
    grep -qx "$setting" "$scratch/root/$unit" || { echo "the unit lacks $setting"; exit 1; }
done
# Verified in a root with the package beside this system's own units (the
# targets it is ordered after), as on a machine it is installed on; its
# ExecStart, /usr/bin/zifra-server, is there in the root.
mkdir -p "$scratch/system/usr/lib/systemd"
cp -r /lib/systemd/system "$scratch/system/usr/lib/systemd/"
cp -r "$scratch/root/." "$scratch/system/"
timeout 60 systemd-analyze verify --root="$scratch/system" "/$unit" >"$scratch/verify.log" 2>&1 ||
    { cat "$scratch/verify.log"; exit 1; }
if [ -s "$scratch/verify.log" ]; then cat "$scratch/verify.log"; exit 1; fi

# The unpacked program runs and answers.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir "$scratch/state"
(cd "$scratch/state" && exec "$scratch/root/usr/bin/zifra-server" --listen "127.0.0.1:$port" \
    --db "sqlite:$scratch/state/z.db" >"$scratch/server.log" 2>&1) &
server=$!
/usr/bin/python3 - "$port" <<'PY'
import sys, time, urllib.request
deadline = time.monotonic() + 30
while True:
    try:
        with urllib.request.urlopen(f"http://127.0.0.1:{sys.argv[1]}/healthz", timeout=5) as answer:
            assert answer.read() == b"ok\n"
            break
    except OSError:
        if time.monotonic() > deadline:
            raise
        time.sleep(0.2)
PY
echo "the package installs and its server answers"
