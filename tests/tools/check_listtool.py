#!/usr/bin/env python3
"""Checks listtool.exe against a built keltrasetup.exe: `show` decodes all three lists, and
`set` changes one entry of a copy, leaving every other entry as it was."""
import os
import shutil
import subprocess
import sys
import tempfile


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
    assert len(lists.get("words", [])) >= 34, lists.get("words")
    assert len(lists.get("messages", [])) >= 30, lists.get("messages")
    assert len(lists.get("library", [])) >= 25, lists.get("library")
    assert lists["words"][32] == "Keltra", lists["words"][32]
    assert lists["library"][2].startswith("http"), lists["library"][2]

    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "keltrasetup.exe")
        shutil.copy(exe, copy)
        subprocess.run([wine_run, listtool, "set", copy, "library", "2",
                        "https://packages.example.test/"], check=True, timeout=120)
        subprocess.run([wine_run, listtool, "set", copy, "messages", "22",
                        "Server down.\r\nTry later."], check=True, timeout=120)
        changed = show(wine_run, listtool, copy)
        assert changed["library"][2] == "https://packages.example.test/", changed["library"][2]
        assert changed["messages"][22] == "Server_down.||Try_later.", changed["messages"][22]
        for name in ("words", "messages", "library"):
            for i, (before, after) in enumerate(zip(lists[name], changed[name])):
                if (name, i) not in (("library", 2), ("messages", 22)):
                    assert before == after, (name, i, before, after)
        with open(copy, "rb") as f:
            before_refusals = f.read()
        for args in (["colours", "1", "x"], ["words", "3", "two words"], ["words", "3", "a|b"],
                     ["words", "3", ""], ["messages", "22", "a_b"]):
            refused = subprocess.run([wine_run, listtool, "set", copy] + args,
                                     capture_output=True, timeout=120)
            assert refused.returncode != 0, ("must be refused", args)
            assert refused.stderr, ("a refusal says why", args)
        with open(copy, "rb") as f:
            assert f.read() == before_refusals, "a refused text must leave the exe as it was"
    print("listtool checks: 1 passed, 0 failed")


if __name__ == "__main__":
    main()
