#!/usr/bin/env python3
"""Checks that each shipped DLL exports its published interface and nothing
else: what a test or a debugger needs must not be writable by any process
that loads the module.

Usage: check-exports.py OBJDUMP BIN_DIR SDK_DIR MEDIA_DIR
"""
import re
import subprocess
import sys


def published(sdk, header, pattern):
    with open(f"{sdk}/{header}", encoding="utf-8") as text:
        return set(re.findall(pattern, text.read()))


def exported(objdump, dll):
    listing = subprocess.run([objdump, "-p", dll], check=True, capture_output=True,
                             text=True).stdout
    table = listing.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    names = set()
    for line in table[1].splitlines()[1:]:
        found = re.match(r"\s*\[\s*\d+\]\s+(\S+)$", line)
        if not found:
            break
        names.add(found.group(1))
    return names


def main():
    objdump, bin_dir, sdk, media = sys.argv[1:5]
    expected = {
        "bass.dll": published(sdk, "tonquil_audio_library.h", r"\bWINAPI\s+(BASS_\w+)\s*\("),
        "bass_formats.dll": published(sdk, "tonquil_decoder_plugin.h",
                                      r'#define\s+TQ_DECODER_OPEN\w*_EXPORT\s+"(\w+)"'),
        "tonquil_media.dll": published(media, "media_library.h",
                                       r'#define\s+MEDIA_LIBRARY_\w*_EXPORT\s+"(\w+)"'),
        "tonquil.dll": {"DynamicWndProc"},
    }
    failed = False
    for dll, names in expected.items():
        got = exported(objdump, f"{bin_dir}/{dll}")
        extra, missing = sorted(got - names), sorted(names - got)
        if not names or extra or missing:
            failed = True
            print(f"{dll}: exports {sorted(got)}; extra {extra}, missing {missing}")
        else:
            print(f"{dll}: exports exactly its {len(names)} published names")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
