"""What the game shows and keeps, as the build wrote it from the product
(tools/game_facts_gen.cpp into <build>/game_facts.json): the suites that are
not C++ take every text, colour, place and time from here. POROTEN_FACTS
names the file; beside this module is looked at next."""

import json
import os
import struct


def _load():
    path = os.environ.get("POROTEN_FACTS") or os.path.join(os.path.dirname(__file__),
                                                           "game_facts.json")
    with open(path, encoding="utf-8") as f:
        return json.load(f)


FACTS = _load()
TEXTS = FACTS["texts"]
BOXES = FACTS["boxes"]
PAGE = FACTS["page"]
TIMING = FACTS["timing"]
CELL_COUNT = FACTS["cells"]["count"]
FIRST_ROW = FACTS["cells"]["first"]
RECORD = FACTS["record"]
MAIN = FACTS["windows"]["Form1"]
NAME_WINDOW = FACTS["windows"]["Dialog"]
# RGB, as a screenshot shows them.
COLOURS = {name: tuple(rgb) for name, rgb in FACTS["colours"].items()}

MAIN_TITLE = MAIN["caption"]
NAME_TITLE = NAME_WINDOW["caption"]
BOX_TITLE = BOXES["untitled"]
PRESS_RETURN = TEXTS["pressReturn"]
MEMORIZE = TEXTS["memorize"]
START = TEXTS["start"]
WRONG_KEY = TEXTS["wrongKey"]
TIME_UP = TEXTS["timeUp"]
SAVE_FAILED = TEXTS["saveFailed"]
SCORE_FILE = RECORD["fileName"]
LEFTOVER_AGE = RECORD["leftoverAgeSeconds"]


def record_bytes(score, name_cp932):
    """A valid record: score, the name's length and bytes, the marker."""
    return (struct.pack("<hH", score, len(name_cp932)) + name_cp932 +
            struct.pack("<h", RECORD["marker"]))


# The encoder above must write what the game writes.
for _example in RECORD["examples"]:
    if record_bytes(_example["score"], _example["name"].encode("cp932")).hex(" ") != _example["bytes"]:
        raise AssertionError(f"record_bytes no longer writes the game's record: {_example}")


def high_score_lines(name, score):
    """The best-score box's two lines for a holder and score."""
    return [BOXES["highScoreHeading"], f"{name}{BOXES['afterName']}{score}{BOXES['afterScore']}"]


def _entries(menu):
    for entry in menu:
        yield entry
        yield from _entries(entry["items"])


# Every menu entry of the main window, in order: each menu before its items.
MENU_ENTRIES = list(_entries(MAIN["menu"]))


def menu_text(name, access_mark=False):
    """A menu entry's text by its name (mnuFileHigh); without the "&" that marks
    its access key, as toolkits show and report it, unless access_mark."""
    text = next((entry["text"] for entry in MENU_ENTRIES if entry["name"] == name), None)
    if text is None:
        raise KeyError(name)
    return text if access_mark else text.replace("&", "")


def control(window, name):
    return window["controls"][name]


def cell_name(i):
    return f"Label1({i})"
