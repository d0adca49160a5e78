#!/usr/bin/python3
"""zifra-attack-bench: the competition service under attack on loopback.

Starts the given zifra-server on a SQLite file of its own and, for
--seconds, lets 1,000 idle connections, 200 that drip a byte a second and a
flood of wrong passwords go at it while 20 players submit scores and read the
ten-best list; prints their latencies (p50, p99, max) and checks that every
score answered 0 is stored. Then floods it with chunked and gzip bodies and
prints its peak memory, times a burst of 100 first submissions at once
against one submission's check, and with wrk compares its requests per second
for the start page and /api/top with nginx serving the same bytes as files.
Every connection goes to 127.0.0.0/8; every loop ends by itself.

    tools/bench/attack_bench.py --server build/host/server/zifra-server [--seconds 20]
"""
import argparse, gzip, http.client, os, re, select, shutil, socket, sqlite3, subprocess, sys, tempfile
import threading, time, urllib.parse

FORM = "application/x-www-form-urlencoded"


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(len(values) * p))] if values else float("nan")


# The game's scrambling of each field (net/submission_form.h).
FIELD_KEY = (0x3C, 0x91, 0xD4, 0x0E, 0x6B, 0xA2, 0x58, 0x17)


def scrambled(text):
    return "".join("%02X" % (b ^ FIELD_KEY[i % 8]) for i, b in enumerate(text.encode("cp1252")))


def score_body(user, password, score, size=2):
    """A score as the game posts it: 600 s of play, build 1 of `size` bytes."""
    fields = [("f1", scrambled(user)), ("f2", "4"), ("f3", scrambled(password)), ("f4", scrambled(str(score))),
              ("f5", scrambled("600000")), ("f6", scrambled("98")), ("f7", scrambled("CPU UNKNOWN")),
              ("f8", scrambled("1")), ("f9", scrambled(str(size))), ("fa", scrambled(str(score) + user)),
              ("fb", scrambled(str(size + score)))]
    return "&".join(f"{k}={v}" for k, v in fields)


class Server:
    def __init__(self, path, folder):
        self.folder = folder
        helptext = subprocess.run([path, "--help"], capture_output=True, text=True, timeout=10).stdout
        options = ["--listen", "127.0.0.1:0", "--db", f"sqlite:{folder}/bench.db"]
        if "--sign-ups-per-address" in helptext:
            options += ["--sign-ups-per-address", "0"]
        self.process = subprocess.Popen([path] + options, cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.process.stdout.readline()
        self.port = int(re.search(r":(\d+)$", line.strip()).group(1))
        self.links = []
        threading.Thread(target=self.read_links, daemon=True).start()

    def read_links(self):
        for line in self.process.stdout:
            if "mailed link:" in line:
                self.links.append(line.split("mailed link: ")[1].strip())

    def memory(self):
        status = open(f"/proc/{self.process.pid}/status").read()
        return {key: int(re.search(key + r":\s+(\d+)", status).group(1)) // 1024 for key in ("VmRSS", "VmHWM")}

    def request(self, method, path, body=None, headers=None, source="127.0.0.1"):
        c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30, source_address=(source, 0))
        try:
            c.request(method, path, body=body, headers=headers or {})
            answer = c.getresponse()
            return answer.status, answer.read()
        finally:
            c.close()

    def sign_up(self, email, nickname):
        form = urllib.parse.urlencode({"email": email, "nickname": nickname, "password": "hemligt1", "repeated": "hemligt1"})
        status, _ = self.request("POST", "/reg3.htm", form, {"Content-Type": FORM})
        assert status == 200, status

    def confirm_all(self):
        time.sleep(0.3)
        for link in list(self.links):
            token = link.split("token=")[1]
            self.request("POST", "/confirm.htm", "token=" + token, {"Content-Type": FORM})
        self.links.clear()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=40)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=10)


def connect(port, source):
    s = socket.socket()
    s.settimeout(2)
    try:
        s.bind((source, 0))
        s.connect(("127.0.0.1", port))
        s.setblocking(False)
        return s
    except OSError:
        s.close()
        return None


def attackers(server, stop, idle_count=1000, drip_count=200):
    """Idle and dripping connections, each closed one opened again."""
    sources = [f"127.0.1.{i}" for i in range(1, 101)]
    idle = [connect(server.port, sources[i % 100]) for i in range(idle_count)]
    drip = [connect(server.port, sources[(i + 50) % 100]) for i in range(drip_count)]
    request = b"POST /r0002.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n"
    step = 0
    while not stop.is_set():
        for group in (idle, drip):
            for i, s in enumerate(group):
                if s is None:
                    group[i] = connect(server.port, sources[i % 100])
                    continue
                poller = select.poll()
                poller.register(s, select.POLLIN)
                try:
                    if poller.poll(0) and not s.recv(4096):
                        raise OSError
                    if group is drip:
                        s.send(request[step % len(request):step % len(request) + 1])
                except OSError:
                    s.close()
                    group[i] = connect(server.port, sources[i % 100])
        step += 1
        stop.wait(1)
    for s in idle + drip:
        if s:
            s.close()


def flood(server, stop, user, source):
    while not stop.is_set():
        try:
            server.request("POST", "/r0002.asp", score_body(user, "gissning", 1), {"Content-Type": FORM}, source)
        except OSError:
            stop.wait(0.05)


def player(server, stop, user, results, lock):
    score = 0
    while not stop.is_set():
        score += 1
        started = time.monotonic()
        try:
            status, body = server.request("POST", "/r0002.asp", score_body(user, "hemligt1", score), {"Content-Type": FORM})
        except OSError:
            status, body = 0, b""
        took = time.monotonic() - started
        started = time.monotonic()
        try:
            list_status, _ = server.request("GET", "/api/top?gameid=4")
        except OSError:
            list_status = 0
        with lock:
            results["submit"].append(took)
            results["list"].append(time.monotonic() - started)
            if body.startswith(b"0\r\n"):
                results["answered"].append((user, score))
            if list_status != 200:
                results["list_failures"] += 1
        stop.wait(0.2)


def under_attack(server, seconds):
    players = [f"spelare{p}@example.se" for p in range(20)]
    for p, user in enumerate(players):
        server.sign_up(user, f"Spelare {p}")
    server.sign_up("offer@example.se", "Offer")
    server.confirm_all()
    stop, lock = threading.Event(), threading.Lock()
    results = {"submit": [], "list": [], "answered": [], "list_failures": 0}
    threads = [threading.Thread(target=attackers, args=(server, stop))]
    threads += [threading.Thread(target=flood, args=(server, stop, "offer@example.se", f"127.0.2.{i + 1}")) for i in range(16)]
    threads += [threading.Thread(target=player, args=(server, stop, u, results, lock)) for u in players]
    for t in threads:
        t.start()
    time.sleep(seconds)
    stop.set()
    for t in threads:
        t.join(60)
    stored = set(sqlite3.connect(f"{server.folder}/bench.db").execute(
        "SELECT a.email, s.score FROM submissions s JOIN accounts a ON a.id = s.account_id").fetchall())
    lost = [a for a in results["answered"] if a not in stored]
    ms = lambda v: f"{v * 1000:.0f} ms"
    print(f"under attack, {seconds} s: {len(results['submit'])} submissions, {len(results['answered'])} answered 0, "
          f"{len(lost)} of them not stored; list failures {results['list_failures']}")
    for kind in ("submit", "list"):
        v = results[kind]
        print(f"  {kind}: p50 {ms(percentile(v, .5))}, p99 {ms(percentile(v, .99))}, max {ms(max(v) if v else 0)}")


def body_floods(server):
    before = server.memory()
    chunk = b"%x\r\n%s\r\n" % (65536, b"x" * 65536)
    packed = gzip.compress(b"\0" * (15 * 1024 * 1024))

    def chunked():
        s = connect(server.port, "127.0.3.1")
        if not s:
            return
        s.setblocking(True)
        s.settimeout(5)
        try:
            s.sendall(b"POST /r0002.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n")
            for _ in range(300 * 16):  # 300 MiB
                s.sendall(chunk)
        except OSError:
            pass
        s.close()

    def zipped(i):
        try:
            server.request("POST", "/r0002.asp", packed, {"Content-Type": FORM, "Content-Encoding": "gzip"}, f"127.0.4.{i % 200 + 1}")
        except OSError:
            pass

    threads = [threading.Thread(target=chunked) for _ in range(8)] + [threading.Thread(target=zipped, args=(i,)) for i in range(128)]
    for t in threads:
        t.start()
    for t in threads:
        t.join(120)
    after = server.memory()
    print(f"body floods (8 chunked of 300 MiB, 128 gzip of {len(packed) // 1024} kB = 15 MiB unpacked): "
          f"resident {before['VmRSS']} MiB before, peak {after['VmHWM']} MiB")


def burst(server):
    users = [f"ny{p}@example.se" for p in range(101)]
    for p, user in enumerate(users):
        server.sign_up(user, f"Ny {p}")
    server.confirm_all()
    started = time.monotonic()
    single = server.request("POST", "/r0002.asp", score_body(users[100], "hemligt1", 1), {"Content-Type": FORM})[1]
    one = time.monotonic() - started
    answers = []

    # Each player from an address of their own, as players at home are.
    def first(p):
        try:
            answers.append(server.request("POST", "/r0002.asp", score_body(users[p], "hemligt1", 1),
                                          {"Content-Type": FORM}, f"127.0.5.{p + 1}")[1][:1])
        except OSError:
            answers.append(b"-")

    threads = [threading.Thread(target=first, args=(p,)) for p in range(100)]
    started = time.monotonic()
    for t in threads:
        t.start()
    for t in threads:
        t.join(120)
    took = time.monotonic() - started
    bound = 1.2 * 100 * one / os.cpu_count()
    print(f"burst of 100 first submissions: {took:.2f} s (one check {one * 1000:.0f} ms answered {single[:1]!r}, "
          f"bound {bound:.2f} s), {answers.count(b'0')} answered 0, {answers.count(b'-')} without an answer")


def wrk(url):
    out = subprocess.run(["wrk", "-t2", "-c32", "-d5s", url], capture_output=True, text=True, timeout=60).stdout
    return float(re.search(r"Requests/sec:\s+([\d.]+)", out).group(1))


def against_nginx(server, folder):
    root = os.path.join(folder, "static")
    os.makedirs(os.path.join(root, "api"))
    open(os.path.join(root, "index.html"), "wb").write(server.request("GET", "/")[1])
    open(os.path.join(root, "api", "top"), "wb").write(server.request("GET", "/api/top?gameid=4")[1])
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    conf = os.path.join(folder, "nginx.conf")
    open(conf, "w").write(f"""worker_processes auto; pid {folder}/nginx.pid; error_log {folder}/nginx-error.log;
events {{ worker_connections 1024; }}
http {{ access_log off; client_body_temp_path {folder}/body; proxy_temp_path {folder}/proxy;
  fastcgi_temp_path {folder}/fastcgi; uwsgi_temp_path {folder}/uwsgi; scgi_temp_path {folder}/scgi;
  server {{ listen 127.0.0.1:{port}; root {root}; location / {{ try_files $uri /index.html; }} }} }}
""")
    nginx = subprocess.run(["nginx", "-c", conf, "-p", folder], capture_output=True, text=True, timeout=20)
    if nginx.returncode != 0:
        print("nginx did not start:", nginx.stderr.strip())
        return
    try:
        time.sleep(0.5)
        for name, ours, theirs in (("start page", f"http://127.0.0.1:{server.port}/", f"http://127.0.0.1:{port}/"),
                                   ("/api/top", f"http://127.0.0.1:{server.port}/api/top?gameid=4", f"http://127.0.0.1:{port}/api/top")):
            a, b = wrk(ours), wrk(theirs)
            print(f"wrk {name}: zifra-server {a:.0f}/s, nginx {b:.0f}/s, ratio {a / b:.2f}")
    finally:
        pid = int(open(os.path.join(folder, "nginx.pid")).read())
        os.kill(pid, 15)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--seconds", type=int, default=20)
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="zifra-attack-")
    server = Server(os.path.abspath(args.server), folder)
    try:
        under_attack(server, args.seconds)
        body_floods(server)
        burst(server)
        against_nginx(server, folder)
    finally:
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
