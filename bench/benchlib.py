"""Shared by the benchmark scripts: build folders, the virtual display, Wine."""
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def log(message):
    sys.stdout.flush()
    print(message, file=sys.stderr, flush=True)


def build_dir(preset, override):
    """The build folder of a preset (or the one given), configured and ready."""
    directory = os.path.abspath(override or os.path.join(ROOT, "build", preset))
    if not os.path.exists(os.path.join(directory, "CMakeCache.txt")):
        log(f"Configuring {directory} ({preset})")
        subprocess.run(["cmake", "--preset", preset, "-B", directory],
                       cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    return directory


def build(directory, *targets):
    log(f"Building {' '.join(targets)} in {directory}")
    subprocess.run(["cmake", "--build", directory, "--target", *targets],
                   check=True, stdout=subprocess.DEVNULL)


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


def percentile(values, fraction):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    rank = max(1, -(-len(ordered) * fraction // 1))
    return ordered[int(rank) - 1]


class VirtualDisplay:
    """An Xvfb of our own; sets DISPLAY for the processes started after it."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        os.environ["DISPLAY"] = f":{number}"
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


class WinePrefix:
    """A private Wine prefix with one persistent wineserver for the run."""

    def __init__(self, path):
        self.path = os.path.abspath(path)

    def __enter__(self):
        os.environ.update(WINEPREFIX=self.path, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        if not os.path.exists(os.path.join(self.path, "system.reg")):
            log(f"Creating the Wine prefix {self.path} (about 10 s)")
            os.makedirs(self.path, exist_ok=True)
            subprocess.run(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"])
        subprocess.run(["wineserver", "-p"])
        subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)


def copy_beside(program, library, directory):
    """A folder holding a copy of the program with the given Vantrel.dll beside it."""
    os.makedirs(directory, exist_ok=True)
    target = os.path.join(directory, os.path.basename(program))
    shutil.copy2(program, target)
    shutil.copy2(library, os.path.join(directory, "Vantrel.dll"))
    return target


def wait_for(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()


def children(pid):
    """The process ids whose parent is pid."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            found.append(int(entry))
    return found


def descendant_running(pid, name):
    """The first descendant of pid whose command line mentions name, or None."""
    pending = [pid]
    while pending:
        current = pending.pop()
        for child in children(current):
            try:
                with open(f"/proc/{child}/cmdline", "rb") as cmdline:
                    if name.encode() in cmdline.read():
                        return child
            except OSError:
                pass
            pending.append(child)
    return None


def cpu_seconds(pid):
    """CPU time of all threads of pid so far, in seconds (scheduler's ns counters)."""
    total = 0
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            try:
                with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                    total += int(schedstat.read().split()[0])
            except OSError:
                pass
    except OSError:
        return None
    return total / 1e9


def peak_rss_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def time_report(path):
    """The figures of a /usr/bin/time -v report."""
    figures = {}
    with open(path) as report:
        for line in report:
            key, _, value = line.strip().rpartition(": ")
            figures[key] = value
    return figures


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def visible_window_of(pid):
    windows = xdotool("search", "--onlyvisible", "--pid", str(pid))
    return windows[0] if windows else None
