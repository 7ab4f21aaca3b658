#!/usr/bin/python3
"""korvaned on a system bus of the test's own, with a stand-in for polkit and callers of two users.

  korvaned_test.py KORVANED CHILD     the test (as root; exits 77 when it cannot run here)
  korvaned_test.py polkit MODEFILE    the stand-in: answers CheckAuthorization as MODEFILE says
                                      ("grant", "refuse" or "slow"), and logs each question to
                                      MODEFILE.log
  korvaned_test.py client CHILD       a caller: reads commands on stdin, answers a line each
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

SERVICE = "io.github.tollmere.Korvane1"
SERVICE_UID = ALICE = BOB = 0
PATH = "/io/github/tollmere/Korvane1"
PROGRAM = "Korvane_test_child"


def three_users():
    """Three users of this machine that are not root: the bus wants users it can look up."""
    import pwd
    uids = []
    for name in ["nobody", "games", "man", "lp", "mail", "news", "proxy", "backup", "list", "irc", "www-data"]:
        try:
            uid = pwd.getpwnam(name).pw_uid
        except KeyError:
            continue
        if uid != 0 and uid not in uids:
            uids.append(uid)
    return uids[:3]


def polkit(mode_file):
    import dbus
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SystemBus()

    class Authority(dbus.service.Object):
        @dbus.service.method("org.freedesktop.PolicyKit1.Authority", in_signature="(sa{sv})sa{ss}us",
                             out_signature="(bba{ss})")
        def CheckAuthorization(self, subject, action, details, flags, cancellation):
            mode = open(mode_file).read().strip()
            with open(mode_file + ".log", "a") as log:
                log.write("%s %s %s %d\n" % (subject[0], subject[1]["name"], action, flags))
            if mode == "slow":
                time.sleep(3)
            return (mode == "grant", False, {})

    name = dbus.service.BusName("org.freedesktop.PolicyKit1", bus)
    Authority(bus, "/org/freedesktop/PolicyKit1/Authority")
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name


def client(child):
    import dbus

    bus = dbus.SystemBus()
    korvane = dbus.Interface(bus.get_object(SERVICE, PATH), SERVICE)

    def answer(call):
        try:
            call()
            return "ok"
        except dbus.exceptions.DBusException as error:
            return "error %s %s" % (error.get_dbus_name().rsplit(".", 1)[-1], error.get_dbus_message())

    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if words[0] == "favorites":  # favorites AUTOSET NAME=CPUS...
            favorites = dbus.Array([dbus.Struct(w.split("=", 1), signature="ss") for w in words[2:]],
                                   signature="(ss)")
            print(answer(lambda: korvane.SetFavorites(favorites, words[1] == "1")), flush=True)
        elif words[0] == "many":  # many COUNT
            favorites = dbus.Array([("Name%d" % n, "1") for n in range(int(words[1]))], signature="(ss)")
            print(answer(lambda: korvane.SetFavorites(favorites, True)), flush=True)
        elif words[0] == "affinity":  # affinity PID START CPUS
            print(answer(lambda: korvane.SetAffinity(dbus.UInt32(int(words[1])), dbus.UInt64(int(words[2])),
                                                     words[3], timeout=30)), flush=True)
        elif words[0] == "everyuser":
            print(answer(lambda: korvane.ApplyToEveryUser(words[1] == "on", timeout=30)), flush=True)
        elif words[0] == "start":  # start MASK: how the child of this user got its CPUs
            started = subprocess.Popen([child, "1", "await-cpus", words[1]], stdout=subprocess.PIPE, text=True)
            said = started.stdout.readline().strip()
            started.kill()
            started.wait()
            print(said, flush=True)
        elif words[0] == "watch":
            props = dbus.Interface(bus.get_object(SERVICE, PATH), "org.freedesktop.DBus.Properties")
            print(props.Get(SERVICE, "StartWatch"), flush=True)
        elif words[0] == "fuzz":  # fuzz COUNT: calls of every method with whatever comes
            rng = random.Random(int(words[2]) if len(words) > 2 else 7)
            texts = ["", "?", "0", "1", "0-1", "5-3", "0,,1", "99999", "-1", "\x01", "\u202e", "a" * 5000,
                     "Game.exe", "0-4294967295", "18446744073709551615", "1,1,1,1"]
            refused = 0
            for _ in range(int(words[1])):
                pick = rng.randrange(3)
                if pick == 0:
                    call = lambda: korvane.SetFavorites(
                        dbus.Array([(rng.choice(texts), rng.choice(texts)) for _ in range(rng.randrange(4))],
                                   signature="(ss)"), rng.random() < 0.5)
                elif pick == 1:
                    call = lambda: korvane.SetAffinity(dbus.UInt32(rng.choice([0, 1, 2, 4294967295, os.getpid(),
                                                                                 rng.randrange(1 << 32)])),
                                                       dbus.UInt64(rng.randrange(1 << 64)), rng.choice(texts))
                else:
                    call = lambda: korvane.ApplyToEveryUser(False)
                if answer(call) != "ok":
                    refused += 1
            print("refused %d" % refused, flush=True)
        elif words[0] == "quit":
            return


class Test:
    def __init__(self, korvaned, child):
        self.work = tempfile.mkdtemp()
        os.chmod(self.work, 0o755)
        self.child = os.path.join(self.work, PROGRAM)
        shutil.copy(child, self.child)
        os.chmod(self.child, 0o755)
        self.korvaned = korvaned
        self.processes = []
        self.failures = 0
        self.mode = os.path.join(self.work, "polkit-mode")
        self.set_mode("refuse")

    def set_mode(self, mode):
        with open(self.mode, "w") as f:
            f.write(mode)
        os.chmod(self.mode, 0o644)

    def check(self, what, got, wanted):
        ok = got == wanted if not callable(wanted) else wanted(got)
        print("%s: %s (%s)" % ("ok" if ok else "FAIL", what, got), flush=True)
        self.failures += 0 if ok else 1

    def start(self, argv, uid=None, **kwargs):
        if uid is not None:
            argv = ["setpriv", "--reuid=%d" % uid, "--regid=%d" % uid, "--clear-groups"] + argv
        process = subprocess.Popen(argv, **kwargs)
        self.processes.append(process)
        return process

    def client(self, uid):
        process = self.start(["/usr/bin/python3", os.path.abspath(__file__), "client", self.child], uid=uid,
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        assert process.stdout.readline().strip() == "ready"
        return process

    @staticmethod
    def ask(client, line):
        client.stdin.write(line + "\n")
        client.stdin.flush()
        return client.stdout.readline().strip()

    def start_time(self, pid):
        with open("/proc/%d/stat" % pid) as f:
            return int(f.read().rsplit(")", 1)[1].split()[19])

    @staticmethod
    def cpus(pid):
        with open("/proc/%d/status" % pid) as f:
            return [l.split()[1] for l in f if l.startswith("Cpus_allowed_list:")][0]

    def run(self):
        config = os.path.join(self.work, "bus.conf")
        socket = os.path.join(self.work, "bus")
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "test-system-bus.conf.in")) as f:
            open(config, "w").write(f.read().replace("@SOCKET@", socket))
        bus = self.start(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE, text=True)
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = bus.stdout.readline().strip()
        polkit = self.start(["/usr/bin/python3", os.path.abspath(__file__), "polkit", self.mode],
                            stdout=subprocess.PIPE, text=True)
        assert polkit.stdout.readline().strip() == "ready"
        # As the package runs it: a user of its own with the three capabilities, and no other.
        caps = "+sys_nice,+sys_ptrace,+net_admin"
        service = self.start(["setpriv", "--reuid=%d" % SERVICE_UID, "--regid=%d" % SERVICE_UID, "--clear-groups",
                              "--inh-caps=" + caps, "--ambient-caps=" + caps, self.korvaned,
                              "--polkit-timeout-ms=700"], stderr=subprocess.PIPE, text=True)
        self.check("korvaned starts and serves", service.stderr.readline().startswith("korvaned: serving"), True)

        alice = self.client(ALICE)
        watch = self.ask(alice, "watch")
        self.check("the start watch says what it is", watch == "on" or len(watch) > 10, True)
        bobs = self.start([self.child, "1"], uid=BOB, stdout=subprocess.PIPE)
        bobs.stdout.readline()
        alices = self.start([self.child, "1"], uid=ALICE, stdout=subprocess.PIPE)
        alices.stdout.readline()

        # Favorites: at once for Alice's running program, never for Bob's.
        self.check("Alice's favorites are taken", self.ask(alice, "favorites 1 %s=1 Other=0" % PROGRAM), "ok")
        self.check("Alice's running program is set at once", self.cpus(alices.pid), "1")
        self.check("Bob's is not Alice's to set", self.cpus(bobs.pid), "0-1")
        if watch == "on":
            got = self.ask(alice, "start 2")
            self.check("a program Alice starts has its CPUs at once (set, µs of its own CPU time)", got,
                       lambda g: g.startswith("set "))
            self.check("a program Bob starts is left alone", self.ask_as(BOB, "start 2"), "unset")
        # Another user's process needs the administrator's yes: refused, granted, no polkit, too slow.
        target = "%d %d" % (bobs.pid, self.start_time(bobs.pid))
        self.check("another user's process, polkit says no", self.ask(alice, "affinity %s 0" % target),
                   lambda g: g.startswith("error AccessDenied"))
        self.set_mode("grant")
        self.check("another user's process, polkit says yes", self.ask(alice, "affinity %s 0" % target), "ok")
        self.check("and it runs there", self.cpus(bobs.pid), "0")
        with open(self.mode + ".log") as log:
            self.check("polkit is asked about the caller by its bus name", log.read().split("\n")[0].split()[0],
                       "system-bus-name")
        self.set_mode("slow")
        self.check("polkit too slow is a no", self.ask(alice, "affinity %s 1" % target),
                   lambda g: g.startswith("error AccessDenied"))
        polkit.kill()
        polkit.wait()
        time.sleep(0.2)
        self.check("no polkit is a no", self.ask(alice, "affinity %s 1" % target),
                   lambda g: g.startswith("error AccessDenied"))
        self.check("Alice's own process needs no polkit", self.ask(alice, "affinity %d %d 0" % (
            alices.pid, self.start_time(alices.pid))), "ok")
        # Every user: with a yes from a polkit that is back.
        polkit = self.start(["/usr/bin/python3", os.path.abspath(__file__), "polkit", self.mode],
                            stdout=subprocess.PIPE, text=True)
        polkit.stdout.readline()
        self.set_mode("grant")
        self.check("favorites for every user, granted", self.ask(alice, "everyuser on"), "ok")
        self.check("reach Bob's running program", self.cpus(bobs.pid), "1")

        # Bad input: a reason each, and the service goes on.
        kernel_thread = self.kernel_thread()
        for line, wanted in [("affinity 1 1 0", "InvalidArgs"),
                             ("affinity %d %d 0" % (kernel_thread, self.start_time(kernel_thread)), "InvalidArgs"),
                             ("affinity %s 7" % target, "InvalidArgs"), ("affinity %s 0-" % target, "InvalidArgs"),
                             ("affinity %d 5 0" % bobs.pid, "NoSuchProcess"), ("many 10000", "LimitsExceeded"),
                             ("favorites 1 Bad\x01Name=1", "InvalidArgs")]:
            self.check("refused: " + line[:40], self.ask(alice, line), lambda g, w=wanted: g.startswith("error " + w))
        self.check("fuzzed calls are answered", self.ask(alice, "fuzz 400"), lambda g: g.startswith("refused "))
        self.check("and korvaned still runs", service.poll(), None)

        # A caller that leaves takes its favorites along.
        self.ask(alice, "quit")
        alice.wait()
        time.sleep(0.3)
        if watch == "on":
            self.check("after Alice's window left, her programs are left alone", self.ask_as(ALICE, "start 2"),
                       "unset")
        service.terminate()
        self.check("korvaned ends on SIGTERM", service.wait(timeout=5), 0)
        return self.failures

    @staticmethod
    def kernel_thread():
        """A kernel thread: a process without a program."""
        for name in sorted(os.listdir("/proc"), key=lambda n: int(n) if n.isdigit() else 0):
            if name.isdigit() and int(name) > 1:
                try:
                    os.readlink("/proc/%s/exe" % name)
                except FileNotFoundError:
                    return int(name)
                except OSError:
                    pass
        return 2

    def ask_as(self, uid, line):
        other = self.client(uid)
        got = self.ask(other, line)
        other.stdin.close()
        other.wait()
        return got

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        shutil.rmtree(self.work, ignore_errors=True)


def main():
    if sys.argv[1] == "polkit":
        return polkit(sys.argv[2])
    if sys.argv[1] == "client":
        return client(sys.argv[2])
    if os.geteuid() != 0 or shutil.which("dbus-daemon") is None or shutil.which("setpriv") is None:
        print("SKIP: needs root, dbus-daemon and setpriv")
        return 77
    try:
        import dbus  # noqa: F401
        from gi.repository import GLib  # noqa: F401
    except ImportError:
        print("SKIP: needs python3-dbus and python3-gi")
        return 77
    users = three_users()
    if len(users) < 3:
        print("SKIP: needs three users other than root")
        return 77
    global SERVICE_UID, ALICE, BOB
    SERVICE_UID, ALICE, BOB = users
    test = Test(sys.argv[1], sys.argv[2])
    try:
        failures = test.run()
    finally:
        test.close()
    print("PASS" if failures == 0 else "%d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
