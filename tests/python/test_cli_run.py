"""ovcbridge run: the library's sequences with progress, summary, reports and Ctrl-C."""
import csv
import docx
import json
import signal
import subprocess

import openpyxl
import pytest

from cli_support import (PROGRAM, program_environment, pump_database, pump_plant, run,
                         run_on_terminal)

HOST_WRITTEN = ("Power", "Stages")


@pytest.fixture
def database(tmp_path):
    return pump_database(tmp_path)


def host_results(database):
    workspace = pump_plant.ovcbridge.CreateObject("Orvan.Workspace")
    workspace.Open(str(database))
    try:
        return pump_plant.host_values(workspace, pump_plant.PUMPS["P-101A"], HOST_WRITTEN)
    finally:
        workspace.Close()


@pytest.mark.parametrize("op, written, read, host_changed", [
    ("autorun", 23, 23, True),
    ("write-to-apps", 17, 23, False),
    ("export", 17, 23, False),
    ("read-db", 0, 23, False),
    ("read-from-apps", 0, 6, False),
    ("write-db", 6, 23, True),
])
def test_each_operation_runs_its_sequence_and_sums_it_up(database, op, written, read, host_changed):
    before = host_results(database)
    status, out, err = run("--db", database, "run", "1", "--op", op, "--json")
    summary = json.loads(out)
    assert status == 0, err
    assert (summary["written"], summary["read"], summary["failed"]) == (written, read, 0)
    assert summary["saved"] is True and summary["milliseconds"] >= 0
    assert (host_results(database) != before) == host_changed


def test_the_change_report_as_table_csv_and_json(database, tmp_path):
    status, out, _ = run("--db", database, "run", "1", "--changes", "--change-report",
                         tmp_path / "changes.csv")
    with open(tmp_path / "changes.csv", newline="", encoding="utf-8") as file:
        rows = list(csv.reader(file))
    assert status == 0 and rows[0] == ["source", "object", "where", "old", "new"]
    assert ["pump-sizing.xlsx", "P-101A", "Flow_P101A", "", "380.2"] in rows
    assert all(len(row) == 5 for row in rows) and "Flow_P101A" in out and "SOURCE" in out
    assert run("--db", database, "run", "1", "--change-report", tmp_path / "changes.json")[0] == 0
    changes = json.loads((tmp_path / "changes.json").read_text(encoding="utf-8"))
    assert changes[0] == {"source": "pump-sizing.xlsx", "object": "P-101A", "where": "Flow_P101A",
                          "old": "380.2", "new": "380.2"}


@pytest.mark.parametrize("report, heading", [("status", "Bridge Status Report"),
                                             ("errors", "Bridge Error Report")])
def test_the_report_asked_for_is_printed(database, report, heading):
    status, out, _ = run("--db", database, "run", "1", "--report", report, "--json")
    assert status == 0 and json.loads(out)["report"].startswith(heading)


def test_progress_is_plain_lines_off_a_terminal_and_nothing_with_quiet(database):
    status, _, err = run("--db", database, "run", "1")
    assert status == 0 and "\r" not in err
    # The Links moved so far: 9 written into the workbook, 8 into the data sheet, 6 read.
    for line in ("write pass pump-sizing.xlsx 4/4, 9 links", "write pass pump-datasheet.docx 4/4, 17 links",
                 "read pass pump-datasheet.docx 4/4, 23 links", "host write 1/1"):
        assert line + "\n" in err
    assert run("--db", database, "--quiet", "run", "1")[2] == ""


def test_the_bar_is_drawn_on_a_terminal_and_erased_before_the_summary(database):
    status, shown = run_on_terminal("--db", database, "run", "1")
    assert status == 0 and "write pass [" in shown and " 17 links " in shown
    # Each host phase is drawn when done, the final read after the write too.
    done = [part.split(" [")[0] for part in shown.split("\r\x1b[K") if "] 1/1" in part]
    assert done[-3:] == ["host read", "host write", "host read"]
    assert shown[shown.rindex("\r\x1b[K") + 4:].startswith("Links:")


def slow_database(folder):
    """The pump Bridge over a workbook whose 20,000 formulas make a run last a while."""
    make_workbook = pump_plant.make_workbook

    def loaded_workbook(path):
        make_workbook(path)
        book = openpyxl.load_workbook(path)
        sheet = book.create_sheet("Load")
        for row in range(1, 20001):
            sheet.cell(row, 1, f"=Sizing!B9+Sizing!C9+Sizing!D9+{row}")
        book.save(path)

    pump_plant.make_workbook = loaded_workbook
    try:
        return pump_database(folder)
    finally:
        pump_plant.make_workbook = make_workbook


def interrupted_after(database, *args, line):
    """Runs the program with plain progress lines and sends Ctrl-C right after the line
    starting with `line`: (exit status, standard output, standard error)."""
    child = subprocess.Popen([str(PROGRAM), "--db", str(database), *args], text=True,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             env=program_environment())
    shown = []
    for shown_line in child.stderr:
        shown.append(shown_line)
        if shown_line.startswith(line):
            child.send_signal(signal.SIGINT)
            break
    out, err = child.communicate(timeout=120)
    return child.returncode, out, "".join(shown) + err


# Ctrl-C before the host write stops the run; after it, the run finishes and says so.
@pytest.mark.parametrize("line, status, message, host_changed", [
    ("write pass", 130, "stopped: nothing was written to the host and nothing saved", False),
    ("host write 1/1", 0, "Ctrl-C came too late to stop the run: the host was already written",
     True),
])
def test_ctrl_c_stops_the_run_until_the_host_is_written(tmp_path, line, status, message,
                                                       host_changed):
    database = slow_database(tmp_path)
    before, values_before = run("db", "export", database)[1], host_results(database)
    done, out, err = interrupted_after(database, "run", "1", "--json", line=line)
    assert done == status and message in err, err
    # A finished run sums up; the host then holds the values it read from the files.
    assert (out != "") == host_changed and (host_results(database) != values_before) == host_changed
    assert (run("db", "export", database)[1] != before) == host_changed
    listed = json.loads(run("--db", database, "bridge", "list", "--json")[1])["bridges"]
    assert listed[0]["locked_by"] == ""


def test_demo_makes_the_sample_plant_runs_it_and_keeps_the_saved_files(tmp_path):
    status, out, _ = run("demo", tmp_path / "demo", "--json")
    assert status == 0 and json.loads(out)["failed"] == 0
    book = openpyxl.load_workbook(tmp_path / "demo" / "autorun-pump-sizing.xlsx", data_only=True)
    assert book["Sizing"]["F9"].value == pytest.approx(380.2 * (774 - 128) / 3600 / 0.75)
    sheet = docx.Document(tmp_path / "demo" / "autorun-pump-datasheet.docx").tables[0]
    assert [row.cells[1].text for row in sheet.rows][:2] == ["P-101A", "Crude Oil pump A; duty & spare service"]
    assert host_results(tmp_path / "demo" / "plant.orvan")["Stages"] == 2


@pytest.mark.parametrize("answer, status, host_changed", [("", 0, True), ("c", 130, False)])
def test_pause_waits_for_enter_or_cancels_without_writing_the_host(database, answer, status,
                                                                    host_changed):
    before = host_results(database)
    done, shown = run_on_terminal("--db", database, "run", "1", "--pause", answers=[answer])
    assert done == status and "Press OK when you are ready" in shown
    assert (host_results(database) != before) == host_changed
    assert json.loads(run("--db", database, "bridge", "list", "--json")[1])["bridges"][0]["locked_by"] == ""


def test_pause_is_refused_without_a_terminal(database):
    status, _, err = run("--db", database, "run", "1", "--pause")
    assert status == 2 and "needs standard input to be a terminal" in err
