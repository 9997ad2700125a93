#!/usr/bin/env python3
"""Prints apt source entries (deb822) of type deb-src for the Debian suites
that the machine's enabled deb entries name, when no deb-src entry names the
release yet; prints nothing when one does. Reads /etc/apt/sources.list and
/etc/apt/sources.list.d/*.list and *.sources."""
import glob
import re

CODENAME = ""
with open("/etc/os-release", encoding="utf-8") as release:
    for line in release:
        if line.startswith("VERSION_CODENAME="):
            CODENAME = line.split("=", 1)[1].strip().strip('"')


def ours(suite):
    return suite == CODENAME or suite.startswith(CODENAME + "-")


def one_line_entries(path):
    with open(path, encoding="utf-8") as sources:
        for line in sources:
            words = re.sub(r"\[[^]]*\]", " ", line.split("#", 1)[0]).split()
            if len(words) >= 4 and words[0] in ("deb", "deb-src"):
                signed = re.search(r"signed-by=([^] ]+)", line)
                yield words[0], words[1], [words[2]], words[3:], signed.group(1) if signed else ""


def deb822_entries(path):
    with open(path, encoding="utf-8") as sources:
        text = sources.read()
    for stanza in re.split(r"\n\s*\n", text):
        fields = {}
        for line in stanza.splitlines():
            if line.startswith("#") or ":" not in line:
                continue
            key, value = line.split(":", 1)
            fields[key.strip().lower()] = value.split()
        if fields.get("enabled", ["yes"])[0].lower() == "no":
            continue
        for kind in fields.get("types", []):
            for uri in fields.get("uris", []):
                yield (kind, uri, fields.get("suites", []), fields.get("components", []),
                       " ".join(fields.get("signed-by", [])))


def entries():
    for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
        try:
            yield from one_line_entries(path)
        except OSError:
            pass
    for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        yield from deb822_entries(path)


def main():
    wanted = {}
    for kind, uri, suites, components, signed in entries():
        mine = [suite for suite in suites if ours(suite)]
        if not mine:
            continue
        if kind == "deb-src":
            return
        entry = wanted.setdefault(uri, ([], [], signed))
        entry[0].extend(s for s in mine if s not in entry[0])
        entry[1].extend(c for c in components if c not in entry[1])
    for uri, (suites, components, signed) in wanted.items():
        print("Types: deb-src")
        print("URIs: " + uri)
        print("Suites: " + " ".join(suites))
        print("Components: " + " ".join(components))
        if signed:
            print("Signed-By: " + signed)
        print()


main()
