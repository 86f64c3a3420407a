#!/usr/bin/env python3
"""The names of the list entries, read from the list sources in resources/lists.

Each entry of words.txt, messages.txt and library.txt.in is written `Name=text`; lines that
are empty or start with "#" are notes. The program reads entries by position, so the order of
the entry lines is the order of the list.

    listnames.py generate LISTS_DIR OUT_DIR
        writes OUT_DIR/lists/{words.txt,messages.txt,library.txt.in} (the texts alone, one
        per line, for the packer), OUT_DIR/generated/resources/list_names.h (C++) and
        OUT_DIR/generated/list_names.cmake (CMake)
    listnames.py index LIST NAME
        prints the position of an entry (LIST: words, messages or library)

From Python: `listnames.load().lib["Agent"].text`, `.index`.
"""

import collections
import os
import re
import sys

LISTS_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "lists")

# list name -> (source file, C++ namespace, CMake prefix)
LISTS = collections.OrderedDict([
    ("words", ("words.txt", "word", "KS_WORD")),
    ("messages", ("messages.txt", "msg", "KS_MSG")),
    ("library", ("library.txt.in", "lib", "KS_LIB")),
])

Entry = collections.namedtuple("Entry", "index name stored text")
NAME = re.compile(r"^[A-Z][A-Za-z0-9]*$")


def expand(stored):
    """The text the program sees: "||" is a line break, "_" a space."""
    return stored.replace("||", "\r\n").replace("_", " ")


def read_list(path, words=False):
    entries = collections.OrderedDict()
    with open(path, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            name, equals, stored = line.partition("=")
            where = "%s:%d" % (path, number)
            if not equals or not NAME.match(name):
                raise ValueError("%s: expected Name=text" % where)
            if name in entries:
                raise ValueError("%s: %s named twice" % (where, name))
            # A word-list line holding a separator would shift every later word.
            if words and (not stored or re.search(r"[\s_|]", stored)):
                raise ValueError("%s: a word is one non-empty token" % where)
            entries[name] = Entry(len(entries), name, stored, expand(stored))
    return entries


class Lists:
    def __init__(self, lists_dir=LISTS_DIR):
        self.all = collections.OrderedDict(
            (kind, read_list(os.path.join(lists_dir, source), kind == "words"))
            for kind, (source, _, _) in LISTS.items())
        self.word = self.all["words"]
        self.msg = self.all["messages"]
        self.lib = self.all["library"]


def load(lists_dir=LISTS_DIR):
    return Lists(lists_dir)


def cmake_string(text):
    return '"%s"' % re.sub(r'([\\"$;])', r"\\\1", text)


def write_if_changed(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if os.path.exists(path):
        with open(path, encoding="latin-1", newline="") as f:
            if f.read() == text:
                return
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write(text)


def generate(lists_dir, out_dir):
    lists = load(lists_dir)
    header = ["// Generated from resources/lists by tools/listnames.py; do not edit.",
              "// The position of each list entry, by name.", "#pragma once", "",
              "namespace ks {"]
    cmake = ["# Generated from resources/lists by tools/listnames.py; do not edit."]
    for kind, (source, namespace, prefix) in LISTS.items():
        entries = lists.all[kind]
        write_if_changed(os.path.join(out_dir, "lists", source),
                         "".join(e.stored + "\n" for e in entries.values()))
        header += ["", "namespace %s {" % namespace]
        header += ["constexpr int k%s = %d;" % (e.name, e.index) for e in entries.values()]
        header += ["constexpr int kCount = %d;" % len(entries), "} // namespace %s" % namespace]
        for e in entries.values():
            cmake.append("set(%s_%s %d)" % (prefix, e.name, e.index))
            cmake.append("set(%s_%s_TEXT %s)" % (prefix, e.name, cmake_string(e.text)))
    header += ["", "} // namespace ks", ""]
    write_if_changed(os.path.join(out_dir, "generated", "resources", "list_names.h"),
                     "\n".join(header))
    write_if_changed(os.path.join(out_dir, "generated", "list_names.cmake"),
                     "\n".join(cmake) + "\n")


def main(argv):
    if len(argv) == 3 and argv[0] == "generate":
        generate(argv[1], argv[2])
    elif len(argv) == 3 and argv[0] == "index" and argv[1] in LISTS:
        print(load().all[argv[1]][argv[2]].index)
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
