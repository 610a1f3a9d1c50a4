"""ovcbridge names sync and bindings copy | auto on a stored Bridge."""
import json

import pytest

from cli_support import pump_database, run


@pytest.fixture
def database(tmp_path):
    return pump_database(tmp_path)


def shown(database):
    return json.loads(run("--db", database, "bridge", "show", "1", "--json")[1])


# Over the whole Bridge the second pump's names collide with the first's:
# those Links fail, and the status is 1.
@pytest.mark.parametrize("args, status, first_write_location", [
    ([], 1, "Flow"),
    (["--replace"], 1, "Flow"),
    (["--linkset", "1", "--suffix", "_A"], 0, "Flow_A"),
    (["--linkset", "2", "--suffix", "_B"], 0, "Flow_P101A"),
    (["--linkset", "1", "--no-save"], 0, "Flow_P101A"),
])
def test_names_sync_renames_the_locations_and_saves(database, args, status, first_write_location):
    done, out, _ = run("--db", database, "names", "sync", "1", *args, "--json")
    assert done == status and json.loads(out)["report"].startswith("Bridge Status Report")
    assert shown(database)["linksets"][0]["links"][0]["write_location"] == first_write_location


@pytest.mark.parametrize("args", [["names", "sync", "1", "--suffix", "_A"],
                                  ["bindings", "copy", "1"], ["bindings", "auto", "1", "--digits", "0"]])
def test_edit_commands_refuse_wrong_options_with_2(database, args):
    assert run("--db", database, *args)[0] == 2


@pytest.mark.parametrize("args, answer, copies", [
    ([], "-> No (no terminal to ask", False),
    (["--yes", "--delimiter", "#", "--digits", "2", "--start", "5"], "-> Yes to all (--yes)", True),
])
def test_bindings_auto_answers_without_a_terminal_and_says_how(database, args, answer, copies):
    status, _, err = run("--db", database, "bindings", "auto", "1", *args)
    assert status == 0 and answer in err
    assert (len(shown(database)["linksets"]) > 4) == copies


def test_bindings_copy_takes_the_objects_another_bridge_binds(database):
    assert run("--db", database, "bindings", "copy", "1", "--from", "1", "--yes")[0] == 0
    assert len(shown(database)["linksets"]) >= 4
