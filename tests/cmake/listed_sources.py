"""Fails when a C++ source file is named in no CMakeLists.txt: each target
lists its sources, so a file left out would silently not be built.

    listed_sources.py <source folder>
"""
import pathlib
import re
import sys

FOLDERS = ("automation", "bench", "cli", "office", "orvan", "ovcbridgesvcs", "python", "tests")


def is_listed(source, root):
    """Whether a CMakeLists.txt of its folder or above names the file, by its
    path from there, with or without the extension."""
    for folder in source.parents:
        lists = folder / "CMakeLists.txt"
        if lists.is_file():
            path = re.escape(source.relative_to(folder).with_suffix("").as_posix())
            if re.search(rf"(?<![\w/.]){path}(\.cpp)?(?![\w/.])", lists.read_text()):
                return True
        if folder == root:
            return False
    return False


def main(root):
    root = pathlib.Path(root).resolve()
    unlisted = [source.relative_to(root).as_posix()
                for folder in FOLDERS for source in sorted((root / folder).rglob("*.cpp"))
                if not is_listed(source, root)]
    for path in unlisted:
        print(f"{path} is listed in no CMakeLists.txt")
    return 1 if unlisted else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
