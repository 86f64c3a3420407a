#!/usr/bin/env python3
"""Checks listtool.exe against a built keltrasetup.exe: `show` decodes all three lists, and
`set` changes one entry of a copy, leaving every other entry as it was."""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools"))
import listnames  # noqa: E402

LISTS = listnames.load()
SERVER_BASE = LISTS.lib["ServerBase"].index
CATALOGUE_UNREACHABLE = LISTS.msg["CatalogueUnreachable"].index
PRODUCT = LISTS.word["Product"].index


def show(wine_run, listtool, exe):
    out = subprocess.run([wine_run, listtool, "show", exe], check=True, capture_output=True,
                         timeout=120).stdout.decode("latin-1")
    lists, current = {}, None
    for line in out.splitlines():
        if line.startswith("["):
            current = line[1:line.index("]")]
            lists[current] = []
        elif current is not None:
            index, _, text = line.partition("\t")
            assert int(index) == len(lists[current]), line
            lists[current].append(text)
    return lists


def main():
    wine_run, listtool, exe = sys.argv[1:4]
    lists = show(wine_run, listtool, exe)
    for name in ("words", "messages", "library"):
        assert len(lists.get(name, [])) == len(LISTS.all[name]), (name, lists.get(name))
    assert lists["words"][PRODUCT] == "Keltra", lists["words"][PRODUCT]
    assert lists["library"][SERVER_BASE].startswith("http"), lists["library"][SERVER_BASE]

    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "keltrasetup.exe")
        shutil.copy(exe, copy)
        subprocess.run([wine_run, listtool, "set", copy, "library", str(SERVER_BASE),
                        "https://packages.example.test/"], check=True, timeout=120)
        subprocess.run([wine_run, listtool, "set", copy, "messages", str(CATALOGUE_UNREACHABLE),
                        "Server down.\r\nTry later."], check=True, timeout=120)
        changed = show(wine_run, listtool, copy)
        assert changed["library"][SERVER_BASE] == "https://packages.example.test/", changed
        assert changed["messages"][CATALOGUE_UNREACHABLE] == "Server_down.||Try_later.", changed
        for name in ("words", "messages", "library"):
            for i, (before, after) in enumerate(zip(lists[name], changed[name])):
                if (name, i) not in (("library", SERVER_BASE),
                                     ("messages", CATALOGUE_UNREACHABLE)):
                    assert before == after, (name, i, before, after)
        with open(copy, "rb") as f:
            before_refusals = f.read()
        zip_word = str(LISTS.word["Zip"].index)
        for args in (["colours", "1", "x"], ["words", zip_word, "two words"],
                     ["words", zip_word, "a|b"], ["words", zip_word, ""],
                     ["messages", str(CATALOGUE_UNREACHABLE), "a_b"]):
            refused = subprocess.run([wine_run, listtool, "set", copy] + args,
                                     capture_output=True, timeout=120)
            assert refused.returncode != 0, ("must be refused", args)
            assert refused.stderr, ("a refusal says why", args)
        with open(copy, "rb") as f:
            assert f.read() == before_refusals, "a refused text must leave the exe as it was"
    print("listtool checks: 1 passed, 0 failed")


if __name__ == "__main__":
    main()
