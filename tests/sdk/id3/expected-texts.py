"""Prints what Mutagen reads as title and artist from each file given that
carries a title, one line each: the file, then per text its kind and its
bytes in hex. Kind u: Unicode text, given in UTF-8. Kind a: single-byte text
(an ID3v2 frame of encoding 0, or an ID3v1 field), given as its bytes, which
the player takes in the system's code page where Mutagen takes Latin-1.
Kind -: no text.

As the engine hands a player the blocks: the ID3v2 tag at the file's start,
the ID3v1 tag in its last 128 bytes; per text the ID3v2 frame first."""
import sys

from mutagen.id3 import ID3, ParseID3v1


def v2_text(tags, frame_id):
    frame = tags.get(frame_id) if tags is not None else None
    if frame is None or not frame.text or not str(frame.text[0]):
        return None
    text = str(frame.text[0])
    if frame.encoding == 0:
        return "a", text.encode("latin-1")
    return "u", text.encode("utf-8")


def v1_text(frames, frame_id):
    frame = frames.get(frame_id) if frames else None
    if frame is None or not str(frame.text[0]):
        return None
    return "a", str(frame.text[0]).encode("latin-1")


def texts(path):
    try:
        tags = ID3(path, load_v1=False)
    except Exception:
        tags = None
    with open(path, "rb") as f:
        data = f.read()
    frames = ParseID3v1(data[-128:]) if len(data) >= 128 else None
    return [v2_text(tags, i) or v1_text(frames, i) for i in ("TIT2", "TPE1")]


for path in sys.argv[1:]:
    title, artist = texts(path)
    if title is None:
        continue
    fields = [path]
    for text in (title, artist):
        fields += [text[0], text[1].hex()] if text else ["-", ""]
    print("\t".join(fields))
