"""ovcbridge names sync and bindings copy | auto on a stored Bridge."""
import json

import pytest

from cli_support import SAMPLE, pump_database, run, run_on_terminal


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


@pytest.mark.parametrize("args, answer, copies", [
    ([], "-> No (no terminal to ask", False),
    (["--yes", "--delimiter", "#", "--digits", "2", "--start", "5"], "-> Yes to all (--yes)", True),
])
def test_bindings_auto_answers_without_a_terminal_and_says_how(database, args, answer, copies):
    status, _, err = run("--db", database, "bindings", "auto", "1", *args)
    assert status == 0 and answer in err
    assert (len(shown(database)["linksets"]) > 4) == copies


# Ctrl-C (typed as the terminal's interrupt character) answers No and the command runs to its end.
@pytest.mark.parametrize("answers, copies, note", [
    (["n", "n", "n", "n"], False, ""), (["a"], True, ""),
    (["\x03"], False, "Ctrl-C did not stop the command: it ran to its end"),
])
def test_bindings_auto_asks_on_a_terminal(database, answers, copies, note):
    status, shown_text = run_on_terminal("--db", database, "bindings", "auto", "1", "--delimiter", "_",
                                         answers=answers, prompt=b"[a]ll: ")
    assert status == 0 and "Do you wish to over-write?" in shown_text and note in shown_text
    assert (len(shown(database)["linksets"]) > 4) == copies


def listed_names(database):
    return [bridge["name"] for bridge in json.loads(run("--db", database, "bridge", "list", "--json")[1])["bridges"]]


def test_export_and_import_within_a_database(database, tmp_path):
    status, out, _ = run("--db", database, "bridge", "export", "1")
    assert status == 0 and out.lstrip().startswith("<") and 'Name="Pump sizing"' in out
    assert run("--db", database, "bridge", "export", "1", tmp_path / "b.xml")[0] == 0
    status, out, _ = run("--db", database, "bridge", "import", tmp_path / "b.xml", "--name", "Copy")
    assert (status, out) == (0, "2\n") and listed_names(database) == ["Pump sizing", "Copy"]
    assert run("--db", database, "run", "2", "--quiet")[0] == 0


def test_a_bridge_moves_to_another_database_with_its_files(database, tmp_path):
    assert run("--db", database, "bridge", "export", "1", tmp_path / "b.xml", "--files", tmp_path / "files")[0] == 0
    other = tmp_path / "other.orvan"
    assert run("db", "create", other, "--from", SAMPLE)[0] == 0
    (tmp_path / "files" / "pump-datasheet.docx").rename(tmp_path / "datasheet.docx")
    status, _, err = run("--db", other, "bridge", "import", tmp_path / "b.xml", "--files", tmp_path / "files")
    assert status == 3 and "pump-datasheet.docx is missing" in err and listed_names(other) == []
    (tmp_path / "datasheet.docx").rename(tmp_path / "files" / "pump-datasheet.docx")
    assert run("--db", other, "bridge", "import", tmp_path / "b.xml", "--files", tmp_path / "files")[0] == 0
    status, out, _ = run("--db", other, "run", "1", "--json")
    assert status == 0 and json.loads(out)["failed"] == 0 and listed_names(other) == ["Pump sizing"]
