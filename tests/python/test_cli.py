"""The program ovcbridge run as a user runs it: help, results, messages, exit statuses."""
import json

import pytest

from cli_support import SAMPLE, open_as, pump_database, run, run_on_terminal


@pytest.fixture
def database(tmp_path):
    return pump_database(tmp_path)


def test_help_explains_the_commands_with_examples():
    status, out, _ = run("--help")
    assert status == 0 and "Example" in out


@pytest.mark.parametrize("args", [
    [], ["db"], ["bridge"], ["frobnicate"], ["bridge", "show"], ["bridge", "show", "x"],
    ["bridge", "validate", "1", "--op", "sideways"], ["bridge", "list", "--colour"],
    ["db", "import", "a.orvan", "/no/such.json"],
    ["bridge", "show", "0x1"], ["bridge", "show", "+1"], ["bridge", "show", " 1"],
    ["bridge", "show", "2147483648"], ["names", "sync", "1", "--linkset", "0x1"],
    ["run", "1", "--change-report", "changes.txt"], ["run", "1", "--op", "autorun-pause"],
    ["run", "1", "--report", "all"], ["names", "sync", "1", "--suffix", "_A"],
    ["bindings", "copy", "1"], ["bindings", "auto", "1", "--digits", "0"],
])
def test_usage_errors_exit_with_2_and_say_why_on_standard_error(args):
    # Without its usage error, a command fails with 3 on the missing database.
    status, out, err = run("--db", "/no/such.orvan", *args)
    assert (status, out) == (2, "") and err


def test_global_options_stand_before_or_after_the_command(database):
    before = run("--db", database, "--json", "bridge", "list")
    after = run("bridge", "list", "--json", "--db", database)
    from_environment = run("bridge", "list", "--json", env={"OVCBRIDGE_DB": str(database)})
    assert before == after == from_environment and before[0] == 0


def test_the_list_gives_description_and_lock_holder_and_other_commands_leave_no_lock(database):
    workspace, host, bridge = open_as(database, "bob", 1)
    try:
        status, out, _ = run("--db", database, "--user", "ann", "bridge", "list", "--json")
        (listed,) = json.loads(out)["bridges"]
        assert status == 0 and listed["locked_by"] == "bob"
        assert listed["description"] == "Shaft power and stages from the workbook; a data sheet"
        assert listed["modified_by"] == "ann" and listed["modified_at"][:2] == "20"
        status, out, _ = run("--db", database, "--user", "ann", "bridge", "show", "1")
        assert status == 0 and "LinkSet 4: Data sheet P-101A" in out
    finally:
        bridge.ReleaseLock()
        bridge.FinalCleanUp()
        host.FinalCleanUp()
        workspace.Close()
    for command in (["bridge", "show", "1"], ["bridge", "validate", "1"]):
        assert run("--db", database, "--user", "ann", *command)[0] == 0
    status, out, _ = run("--db", database, "--user", "bob", "bridge", "list")
    assert status == 0 and "Pump sizing" in out
    assert json.loads(run("--db", database, "bridge", "list", "--json")[1])["bridges"][0]["locked_by"] == ""


@pytest.mark.parametrize("args, status", [
    (["run", "1", "--op", "write-db"], 0),
    (["run", "1", "--change-report", "no/such/folder/changes.csv"], 3),
    (["names", "sync", "1", "--linkset", "2"], 0),
    (["bindings", "auto", "1"], 0),
    (["bindings", "copy", "1", "--from", "1", "--yes"], 0),
    (["bridge", "export", "1", "--files", "moved"], 0),
])
def test_every_command_releases_the_lock_it_took_however_it_ends(database, args, status):
    assert run("--db", database, *args, cwd=database.parent)[0] == status
    assert json.loads(run("--db", database, "bridge", "list", "--json")[1])["bridges"][0]["locked_by"] == ""


def test_show_gives_the_bridge_as_json(database):
    status, out, _ = run("--db", database, "bridge", "show", "1", "--json")
    shown = json.loads(out)
    assert status == 0 and [linkset["position"] for linkset in shown["linksets"]] == [1, 2, 3, 4]
    assert shown["linksets"][0]["links"][0] == {
        "route": "Flow", "enabled": True, "write_location": "Flow_P101A", "read_location": "",
        "unit": "<LinkSet Default> - m³/h", "write_format": "", "read_format": ""}
    assert [file["name"] for file in shown["files"]] == ["pump-sizing.xlsx", "pump-datasheet.docx"]


@pytest.mark.parametrize("op, status, level", [
    ("autorun", 0, "ok"), ("read-db", 0, "ok"),
])
def test_validate_reports_the_level_of_its_findings(database, op, status, level):
    done, out, _ = run("--db", database, "bridge", "validate", "1", "--op", op, "--json")
    assert (done, json.loads(out)["level"]) == (status, level)


def test_validate_exits_with_1_on_errors(database):
    workspace, host, bridge = open_as(database, "ann", 1)
    bridge.RemoveAllApps()
    bridge.Save(False)
    bridge.ReleaseLock()
    bridge.FinalCleanUp(), host.FinalCleanUp(), workspace.Close()
    status, out, _ = run("--db", database, "bridge", "validate", "1")
    assert status == 1 and "There are no enabled applications." in out


def test_delete_removes_the_bridge_and_a_missing_one_fails_with_3(database):
    assert run("--db", database, "bridge", "delete", "1")[0] == 0
    assert json.loads(run("--db", database, "bridge", "list", "--json")[1]) == {"bridges": []}
    status, out, err = run("--db", database, "bridge", "delete", "1", "--json")
    assert status == 3 and "Failed to Delete Bridge." in err
    assert json.loads(out) == {"error": ["Service call Execute Error.", "Failed to Delete Bridge."],
                               "status": 3}


def test_db_create_import_and_export(tmp_path):
    database = tmp_path / "new.orvan"
    assert run("db", "create", database, "--from", SAMPLE)[0] == 0
    status, out, _ = run("db", "export", database)
    exported = json.loads(out)
    assert status == 0 and exported == json.loads(SAMPLE.read_text(encoding="utf-8")) | exported
    assert run("db", "export", database, tmp_path / "out.json")[0] == 0
    assert json.loads((tmp_path / "out.json").read_text(encoding="utf-8")) == exported
    kept = database.read_bytes()
    status, _, err = run("db", "create", database)
    assert status == 3 and "exists already" in err and database.read_bytes() == kept
    status, _, err = run("--db", tmp_path / "none.orvan", "bridge", "list")
    assert status == 3 and "no database at" in err and not (tmp_path / "none.orvan").exists()


def test_db_copy_makes_a_new_database_with_every_record_and_overwrites_nothing(database, tmp_path):
    copy = tmp_path / "copy.orvan"
    status, out, _ = run("db", "copy", database, copy, "--json")
    assert status == 0 and json.loads(out) == {"database": str(database), "copied_to": str(copy)}
    assert run("db", "export", copy)[1] == run("db", "export", database)[1]
    kept = copy.read_bytes()
    status, _, err = run("db", "copy", database, copy)
    assert status == 3 and "exists already" in err and copy.read_bytes() == kept
    unreachable = "postgresql://ann:s3cret@/plant?host=/nonexistent"
    status, _, err = run("db", "copy", unreachable, tmp_path / "other.orvan")
    assert status == 3 and "s3cret" not in err and not (tmp_path / "other.orvan").exists()


@pytest.mark.parametrize("env, coloured", [({}, True), ({"NO_COLOR": "1"}, False)])
def test_colours_only_on_a_terminal_and_never_with_no_color(database, env, coloured):
    status, shown = run_on_terminal("--db", database, "bridge", "list", env=env)
    assert status == 0 and ("\x1b[" in shown) == coloured
    assert "\x1b[" not in run("--db", database, "bridge", "list")[1]
