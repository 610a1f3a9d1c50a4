"""Installs the build into a temporary prefix, moves the prefix elsewhere and
uses the Python module from there in a fresh interpreter that cannot see the
build tree: every library it loads must come from the moved prefix. The
installed command line lists the Bridges of a database from there too.

    relocated_install.py <cmake> <build folder>
"""
import os
import pathlib
import subprocess
import sys
import tempfile

# Runs in the installed module's interpreter: a small round trip through the
# library, the spreadsheet engine and the host.
ROUND_TRIP = r"""
import pathlib, sys
import openpyxl
import ovcbridge

folder = pathlib.Path(sys.argv[1])
sheet = openpyxl.Workbook(); sheet.active.title = "Sheet"; sheet.save(folder / "book.xlsx")
excel = ovcbridge.CreateObject("Excel.Application")
book = excel.Workbooks.Open(str(folder / "book.xlsx"))
excel.Range("Sheet!A1").Value = 41
book.Save()
book.Close()
assert openpyxl.load_workbook(folder / "book.xlsx").active["A1"].value == 41
bridge = ovcbridge.CreateObject("OVCBridgeSvcs.Bridge")
bridge.AddApp(str(folder / "book.xlsx"))
assert bridge.ItemApp(0).Path.endswith("book.xlsx"), bridge.ItemApp(0).Path
workspace = ovcbridge.CreateObject("Orvan.Workspace")
workspace.Create(str(folder / "plant.orvan"))
loaded = [line.split()[-1] for line in open("/proc/self/maps") if "libovc" in line
          or "ovcbridge" in line]
print("\n".join(sorted(set(loaded))))
"""


def main(cmake, build):
    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        subprocess.run([cmake, "--install", build, "--prefix", scratch / "first"],
                       check=True, stdout=subprocess.DEVNULL)
        prefix = (scratch / "first").rename(scratch / "moved")
        modules = list(prefix.rglob("ovcbridge*.so"))
        assert len(modules) == 1, modules
        assert modules[0].with_name("ovcbridge.pyi").is_file()
        environment = {key: value for key, value in os.environ.items()
                       if key not in ("LD_LIBRARY_PATH", "PYTHONPATH", "LD_PRELOAD")}
        environment["PYTHONPATH"] = str(modules[0].parent)
        run = subprocess.run([sys.executable, "-c", ROUND_TRIP, scratch], env=environment,
                             cwd=scratch, capture_output=True, text=True)
        assert run.returncode == 0, run.stderr
        loaded = run.stdout.split()
        assert any(path.endswith("libovcbridgesvcs.so") for path in loaded), loaded
        outside = [path for path in loaded if not path.startswith(str(prefix))]
        assert not outside, f"loaded from outside the installed prefix: {outside}"
        program = [prefix / "bin" / "ovcbridge", "--db", scratch / "plant.orvan"]
        listed = subprocess.run(program + ["bridge", "list", "--json"], env=environment,
                                capture_output=True, text=True)
        assert (listed.returncode, listed.stdout.split()) == (0, ["{", '"bridges":', "[]", "}"]), \
            listed.stderr
        check_program(prefix / "bin" / "ovcbridge", environment, scratch)


def check_program(program, environment, scratch):
    """The installed program makes a database, lists its Bridges and runs the demo
    through the library and the samples it finds in the prefix, and loads no library of
    the project from anywhere else."""
    prefix = str(program.parent.parent)
    for args in (["db", "create", scratch / "cli.orvan"], ["--db", scratch / "cli.orvan", "bridge", "list"],
                 ["demo", scratch / "demo"]):
        run = subprocess.run([program, *args], env={**environment, "LD_DEBUG": "libs"},
                             capture_output=True, text=True)
        assert run.returncode == 0, run.stderr
        loaded = [line.split("calling init:")[1].strip() for line in run.stderr.splitlines()
                  if "calling init:" in line and "libovc" in line]
        assert any(path.endswith("libovcbridgesvcs.so") for path in loaded), loaded
        outside = [path for path in loaded if not path.startswith(prefix)]
        assert not outside, f"{args[0]} loaded from outside the installed prefix: {outside}"


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
