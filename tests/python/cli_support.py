"""Runs the program ovcbridge as a user does, and makes the databases it works on."""
import os
import pathlib
import pty
import select
import signal
import subprocess
import sys

import ovcbridge
from conftest import BUILD, SAMPLE

sys.path.append(str(BUILD.parent / "examples"))
import pump_plant  # noqa: E402

# The program of the build whose module the tests use (build-asan/ in the
# sanitizer run).
PROGRAM = pathlib.Path(ovcbridge.__file__).resolve().parent.parent / "bin" / "ovcbridge"


def program_environment(env=None):
    """The tests' environment for the program, with `env` added. The sanitizer run preloads
    the shared sanitizer runtime into Python; the program carries its own and must not get
    a second one."""
    inherited = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}
    return {**inherited, **(env or {})}


def run(*args, env=None, cwd=None):
    """The finished program: (exit status, standard output, standard error)."""
    done = subprocess.run([str(PROGRAM), *map(str, args)], capture_output=True, text=True,
                          env=program_environment(env), cwd=cwd, stdin=subprocess.DEVNULL,
                          timeout=120)
    return done.returncode, done.stdout, done.stderr


def read_or_end(terminal, pid, seconds=120):
    """What the program shows next on the terminal; b"" when it ended, or when it showed
    nothing for `seconds` (it waits for input no test gives): it is then killed."""
    if not select.select([terminal], [], [], seconds)[0]:
        os.kill(pid, signal.SIGKILL)
        return b""
    try:
        return os.read(terminal, 65536)
    except OSError:
        return b""


def run_on_terminal(*args, env=None, answers=(), prompt=b"[Enter"):
    """The program on a pseudo-terminal: (status, what it showed). Each of `answers` is
    typed when the program next shows `prompt`."""
    pid, terminal = pty.fork()
    if pid == 0:
        os.execve(str(PROGRAM), [str(PROGRAM), *map(str, args)], program_environment(env))
    shown = b""
    for asked, answer in enumerate(answers):
        while shown.count(prompt) <= asked and (chunk := read_or_end(terminal, pid)):
            shown += chunk
        if shown.count(prompt) <= asked:
            break
        os.write(terminal, answer.encode() + b"\n")
    while chunk := read_or_end(terminal, pid):
        shown += chunk
    _, status = os.waitpid(pid, 0)
    return os.waitstatus_to_exitcode(status), shown.decode()


def pump_database(folder):
    """The sample plant with the Bridge "Pump sizing" (OID 1) stored by "ann"; returns its path."""
    database = folder / "plant.orvan"
    workspace = pump_plant.make_plant(database)
    workspace.UserName = "ann"
    host = pump_plant.open_host(workspace)
    workbook, data_sheet = folder / "pump-sizing.xlsx", folder / "pump-datasheet.docx"
    pump_plant.make_workbook(workbook)
    pump_plant.make_data_sheet(data_sheet)
    bridge = pump_plant.create_bridge(workbook, data_sheet)
    bridge.Save(False)
    bridge.ReleaseLock()
    bridge.FinalCleanUp()
    host.FinalCleanUp()
    workspace.Close()
    return database


def open_as(database, user, oid):
    """Opens a Bridge as `user` in this process, taking its lock; returns what to close."""
    workspace = ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Open(str(database))
    workspace.UserName = user
    host = pump_plant.open_host(workspace)
    bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
    bridge.Open(oid)
    return workspace, host, bridge


__all__ = ["PROGRAM", "SAMPLE", "run", "run_on_terminal", "pump_database", "open_as", "pump_plant"]
