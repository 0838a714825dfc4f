#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generates Pekto's Hungarian touch-typing course into assets/lessons/.

    python3 tools/make-course.py            # writes the lessons and SOURCES.md
    python3 tools/make-course.py --check    # exit status 1 when the files differ (or when
                                            # packaging/copyright names other lessons as
                                            # public domain than those of proverbs and passages)
    python3 tools/make-course.py --out DIR  # writes into another folder

The course follows the Hungarian (QWERTZ) keyboard and the frequency of Hungarian
letters: the home row (f j d k s l a é, then g h á), e i r u t z, then n m o p, y for
gy ny ty ly, v b c, the accented letters, the comma, full stop and hyphen, capitals
with the Shift of the other hand (Í, a left-hand key, with the right one), the rare
w q x, the other signs, numbers as they occur in text, the AltGr signs, sentences and
finally passages of real text. Each new key opens with rhythmic patterns
("ffjj jjff fjfj") before letter groups and words.

Every drill lesson uses only the keys taught so far and repeats no word more than
MAX_REPEAT times; its words come from tools/course/words.txt. Sentences and short
texts of our own lie in tools/course/texts/, traditional proverbs in
tools/course/proverbs.txt, and the passages of public-domain Hungarian literature in
tools/course/passages/, each with its author, work and year and the record of the
copy it was typed from (PASSAGE_RECORD); SOURCES.md is written from those headers.
Lesson titles fit the TITLE_LIMIT characters that the score table keeps.

A lesson file is Windows-1250 text: line 1 the title, then the lines to type,
every line ended by CR LF. Lines are wrapped at WRAP_COLUMN characters, which
the lesson test has measured to fit the main window's lower pane at the default
font (Courier New 14 pt bold) without wrapping. No line is empty or has blanks
at either end, as the learner would have to type them unseen.

Standard library only; the output is the same on every run and every machine.
"""

import argparse
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COURSE = os.path.join(ROOT, "tools", "course")
DEFAULT_OUT = os.path.join(ROOT, "assets", "lessons")
# The package's copyright file lists the lessons of public-domain texts.
COPYRIGHT = os.path.join(ROOT, "packaging", "copyright")

# At the main window's design width (774 pixels) and the default font, the lower pane holds 54
# columns even with its vertical scroll bar and a three-digit line-number gutter (measured by
# tests/gui/test_course.cpp); two columns are kept spare for a slightly wider substitute font.
WRAP_COLUMN = 52
# A drill holds about this many characters; a passage lesson at most PASSAGE_LIMIT.
DRILL_TARGET = 620
PASSAGE_LIMIT = 950

ACCENTED_LOWER = "áéíóöőúüű"
ACCENTED_UPPER = "ÁÉÍÓÖŐÚÜŰ"
# What a Hungarian keyboard types directly or with Shift or AltGr. The tilde, the caret and
# the backquote are left out: on that keyboard they are dead keys. The euro sign (AltGr+U) is
# byte 0x80 of Windows-1250.
TYPEABLE = set(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "
    + ACCENTED_LOWER + ACCENTED_UPPER
    + "!\"#$%&'()*+,-./:;<=>?@[\\]_{|}€"
)
# Typographic characters of printed texts and what the keyboard types for them.
TYPOGRAPHY = {
    "\u201e": '"', "\u201d": '"', "\u201c": '"', "\u00bb": '"', "\u00ab": '"',
    "\u2018": "'", "\u2019": "'", "\u2013": "-", "\u2014": "-", "\u2026": "...",
    "\u00a0": " ",
}

# The home-row key of the finger that strikes each key: drills pair a new key with it.
ANCHOR = {}
for _home, _keys in {
    "a": "aqyí0", "s": "swx", "d": "dec", "f": "fgrtvb", "j": "jhzunm",
    "k": "ki,", "l": "lo.", "é": "éáűpőú-öüó",
}.items():
    for _key in _keys:
        ANCHOR[_key] = _home
for _digit, _home in zip("123456789", "asdffjjkl"):
    ANCHOR[_digit] = _home
# Shifted and AltGr characters: the home key of the finger that strikes their key.
ANCHOR.update({"'": "a", '"': "s", "+": "d", "!": "f", "%": "f", "/": "j", "=": "j",
               "(": "k", ")": "l", "?": "k", ":": "l", "_": "é"})
# The AltGr characters of the Hungarian layout (X11 "hu", the same keys as on Windows):
# @ on V, ; on the comma, * on the hyphen, $ on É, € on U, < on Í, > on Y, [ ] on F G,
# { } on B N, \ on Q and | on W.
ANCHOR.update({"@": "f", ";": "k", "*": "é", "$": "é", "€": "j", "<": "a", ">": "a",
               "[": "f", "]": "f", "{": "f", "}": "j", "\\": "a", "|": "s"})
# The score table keeps this much of a lesson's title.
TITLE_LIMIT = 50


class Random:
    """A small linear congruential generator: the same course on every Python version."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def below(self, n):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.state >> 8) % n

    def choice(self, items):
        return items[self.below(len(items))]


class CourseError(Exception):
    pass


# --- reading the sources -------------------------------------------------------------------


def read_text(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def plain(text, where):
    """Replaces typographic characters and rejects anything a Hungarian keyboard cannot type."""
    for typographic, typed in TYPOGRAPHY.items():
        text = text.replace(typographic, typed)
    for ch in text:
        if ch != "\n" and ch not in TYPEABLE:
            raise CourseError(f"{where}: character {ch!r} cannot be typed")
    return text


def read_header_file(path):
    """A file of 'Key: value' lines, a line '---', then the body; returns (fields, body)."""
    text = read_text(path)
    head, sep, body = text.partition("\n---\n")
    if not sep:
        raise CourseError(f"{path}: no '---' line after the header")
    fields = {}
    for line in head.splitlines():
        key, colon, value = line.partition(":")
        if not colon:
            raise CourseError(f"{path}: header line without a colon: {line!r}")
        fields[key.strip()] = value.strip()
    return fields, body


def read_words():
    words = []
    for line in read_text(os.path.join(COURSE, "words.txt")).splitlines():
        word = line.strip()
        if word and not word.startswith("#"):
            if word in words:
                raise CourseError(f"words.txt: {word!r} twice")
            words.append(plain(word, "words.txt"))
    return words


def read_proverbs():
    lines = read_text(os.path.join(COURSE, "proverbs.txt")).splitlines()
    return [plain(x.strip(), "proverbs.txt") for x in lines if x.strip() and not x.startswith("#")]


# --- shaping text into lines ---------------------------------------------------------------


def wrap(paragraph, width=WRAP_COLUMN):
    """Breaks a paragraph at blanks into lines of at most `width` characters."""
    lines, current = [], ""
    for word in paragraph.split():
        if len(word) > width:
            raise CourseError(f"word longer than a line: {word!r}")
        if current and len(current) + 1 + len(word) > width:
            lines.append(current)
            current = word
        else:
            current = f"{current} {word}" if current else word
    if current:
        lines.append(current)
    return lines


def wrap_evenly(paragraph):
    """Breaks a paragraph into as few lines as `wrap` does, but of lengths as even as can be,
    so that no short last word stands alone on a line."""
    lines = wrap(paragraph)
    for width in range(len(paragraph) // max(1, len(lines)), WRAP_COLUMN):
        even = wrap(paragraph, width)
        if len(even) == len(lines):
            return even
    return lines


def fill(items, width=WRAP_COLUMN):
    """Lays out drill items (groups, words) as lines of at most `width` characters."""
    return wrap(" ".join(items), width)


def paragraphs(body):
    """Blocks of non-empty lines separated by empty lines."""
    blocks, current = [], []
    for line in body.splitlines():
        if line.strip():
            current.append(line.strip())
        elif current:
            blocks.append(current)
            current = []
    if current:
        blocks.append(current)
    return blocks


def shape_blocks(blocks, form):
    """Each block as lesson lines: verse ("vers") and lists ("sorok") keep their lines, prose
    ("próza") is joined and wrapped."""
    if form not in ("vers", "sorok", "próza"):
        raise CourseError(f"unknown form {form!r}")
    shaped = []
    for block in blocks:
        if form == "vers" or form == "sorok":
            lines = []
            for verse in block:
                lines.extend(wrap_evenly(verse))
            shaped.append(lines)
        else:
            shaped.append(wrap_evenly(" ".join(block)))
    return shaped


def split_into_lessons(blocks, limit):
    """Groups whole blocks (stanzas, paragraphs) into lessons of at most `limit` characters,
    as evenly as the blocks allow."""
    total = sum(len(" ".join(b)) for b in blocks)
    parts = max(1, -(-total // limit))
    while True:
        target = total / parts
        groups, current, size = [], [], 0
        for block in blocks:
            length = len(" ".join(block))
            if current and (size + length > limit or size >= target):
                groups.append(current)
                current, size = [], 0
            current.append(block)
            size += length
        groups.append(current)
        if len(groups) <= parts or parts >= len(blocks):
            return [[line for block in group for line in block] for group in groups]
        parts += 1


# --- drills --------------------------------------------------------------------------------


# Home-row keys are drilled beside their partner on the other hand.
MIRROR = {"f": "j", "j": "f", "d": "k", "k": "d", "s": "l", "l": "s", "a": "é", "é": "a",
          "g": "h", "h": "g"}
HOME_ROW = "asdfghjkléá"
# No word comes more often than this in one drill.
MAX_REPEAT = 3


def anchor_of(key):
    """The home key drilled beside a key: its finger's, or for a home key its partner's."""
    home = ANCHOR.get(key.lower(), key)
    return MIRROR.get(key, key) if home == key else home


def repeat_to_line(items, width=WRAP_COLUMN):
    """The items in turn, as many as fit on one line."""
    line, i = "", 0
    while not line or len(line) + 1 + len(items[i % len(items)]) <= width:
        line = f"{line} {items[i % len(items)]}" if line else items[i % len(items)]
        i += 1
    return line


def pattern_lines(new_keys, known):
    """The rhythmic patterns that open the drill of new keys: each pair of new keys (a key
    left alone with the home key of its finger) doubled, swapped and alternated, "ffjj jjff
    fjfj jfjf", the pairs together, "fdjk jkfd", and on the home row the keys of each hand in
    finger order, "asdf jklé fdsa éjkl"."""
    keys, pairs = list(new_keys), []
    while keys:
        a = keys.pop(0)
        if keys:
            b = keys.pop(0)
        else:
            b = pairs[-1][0] if pairs and a.isdigit() else anchor_of(a)
        pairs.append((a, b))
    lines = [repeat_to_line([a + a + b + b, b + b + a + a, (a + b) * 2, (b + a) * 2])
             for a, b in pairs]
    if len(pairs) > 1:
        left, right = "".join(a for a, _ in pairs), "".join(b for _, b in pairs)
        lines.append(repeat_to_line([left + right, right + left, left[::-1] + right[::-1],
                                     right[::-1] + left[::-1]]))
    if any(k in HOME_ROW for k in new_keys):
        left = "".join(k for k in "asdfg" if k in known)
        right = "".join(k for k in "hjkléá" if k in known)
        if len(left) + len(right) >= 5:
            lines.append(repeat_to_line([left, right, left[::-1], right[::-1]]))
    return lines


def key_lines(new_keys):
    """The new keys alone and beside their home keys: 'ggg hhh fgf jhj ...'."""
    triples = [k * 3 for k in new_keys]
    anchored = []
    for k in new_keys:
        home = anchor_of(k)
        anchored += [home + k + home, k + home + k]
    first = " ".join(triples * max(1, 8 // len(triples)))
    second = " ".join(anchored * max(1, 8 // len(anchored)))
    return wrap(first) + wrap(second)


def letter_groups(rng, new_keys, known, count, words=()):
    """Letter groups of two to five keys, each with a new key in it, the others from the
    home row that the fingers return to; none of them a word, which would count as one."""
    pool = [k for k in known if k in HOME_ROW or k in new_keys]
    items = []
    while len(items) < count:
        size = 2 + rng.below(4)
        group = [rng.choice(pool) for _ in range(size)]
        group[rng.below(size)] = rng.choice(new_keys)
        group = "".join(group)
        if group not in words:
            items.append(group)
    return items


def rhythm_groups(rng, new_keys, known, count):
    """Groups of a new key and another key in a steady rhythm, "ffjj fjfj jffj", for the
    lessons that have no words yet."""
    pool = [k for k in known if k in HOME_ROW]
    items = []
    for _ in range(count):
        a = rng.choice(new_keys)
        b = rng.choice([k for k in pool if k != a])
        a, b = (a, b) if rng.below(2) else (b, a)
        items.append(rng.choice(["aabb", "abab", "abba", "aab", "abb", "aaab"])
                     .replace("a", "A").replace("b", b).replace("A", a))
    return items


def lines_of(rng, make_item, count, width=WRAP_COLUMN):
    """`count` lines, each filled with generated items as far as they fit."""
    lines = []
    item = make_item(rng)
    for _ in range(count):
        line = item
        item = make_item(rng)
        while len(line) + 1 + len(item) <= width:
            line += " " + item
            item = make_item(rng)
        lines.append(line)
    return lines


def words_of(line):
    """The words of a line without the signs around them."""
    return [token.strip(".,;:?!\"()'*") for token in line.split()]


class Bag:
    """Draws the items of one drill so that none comes more than MAX_REPEAT times, and none
    twice in a row."""

    def __init__(self, lines=()):
        """A bag that counts the words of `lines`, our own sentences of the drill, as come."""
        self.count = {}
        self.last = None
        for word in (w for line in lines for w in words_of(line)):
            for form in {word, word.lower()}:
                self.count[form] = self.count.get(form, 0) + 1

    def draw(self, rng, among):
        """An item of `among`, or None when every one of them has come often enough."""
        left = [x for x in among if self.count.get(x, 0) < MAX_REPEAT]
        choices = [x for x in left if x != self.last] or left
        if not choices:
            return None
        item = rng.choice(choices)
        self.count[item] = self.count.get(item, 0) + 1
        self.last = item
        return item


def pick_words(rng, bag, words, new_keys, count):
    """Up to `count` words, many of them with a new key; fewer when the words run out."""
    fresh = [w for w in words if any(k in w for k in new_keys)] if new_keys else []
    items = []
    for _ in range(count):
        word = None
        if fresh and rng.below(10) < 6:
            word = bag.draw(rng, fresh)
        word = word or bag.draw(rng, words)
        if word is None:
            break
        items.append(word)
    return items


def layout(items, width=WRAP_COLUMN):
    """Lays out items (words, groups, dates) as lines without breaking any item."""
    lines = []
    for item in items:
        if lines and len(lines[-1]) + 1 + len(item) <= width:
            lines[-1] += " " + item
        else:
            lines.append(item)
    return lines


def drill_to_length(rng, make_items, head, target=DRILL_TARGET):
    """Adds lines of generated items until the lesson holds about `target` characters."""
    have = sum(len(x) for x in head)
    items = []
    while have + len(" ".join(items)) < target:
        more = make_items(rng)
        if not more:
            raise CourseError("too few words for the drill")
        items += more
    lines = layout(items)
    # A last line of a word or two would look like a slip.
    if len(lines) > 1 and len(lines[-1]) < WRAP_COLUMN // 3:
        lines.pop()
    return list(head) + lines


def usable_words(words, allowed):
    return [w for w in words if set(w) <= allowed]


def capitalize(word):
    return word[:1].upper() + word[1:]




# The lessons before the texts. `keys`: the keys taught in the lesson (added to what is
# known, capitals too); `kind`: how the lesson is made; `extra`: lines of our own appended
# to the drill. Frequent letters come first: n, m and y (for gy, ny, ty, ly) before the
# accented letters of the number row, the rare w, q and x after the capitals.
STAGES = [
    ("fdjk", "Alapsor: f j d k", "fjdk", "keys", []),
    ("sl", "Alapsor: s l", "sl", "keys", []),
    ("ae", "Alapsor: a é", "aé", "keys", ["a fa a dal a kés a fék a sas a fal"]),
    ("alapsor", "Alapsor: ismétlés, első szavak", "", "words", []),
    ("gh", "Alapsor: g h", "gh", "keys", []),
    ("aa", "Alapsor: á", "á", "keys", []),
    ("alapszavak", "Alapsor: szavak", "", "words", []),
    ("ei", "Felső sor: e i", "ei", "keys", []),
    ("ru", "Felső sor: r u", "ru", "keys", []),
    ("tz", "Felső sor: t z", "tz", "keys", []),
    ("felso", "Felső sor: szavak", "", "words", []),
    ("nm", "Alsó sor: n m", "nm", "keys", []),
    ("op", "Felső sor: o p", "op", "keys", []),
    ("nmop", "Szavak: n, m, o, p", "", "words", []),
    ("y", "Alsó sor: y (gy, ny, ty, ly)", "y", "keys", []),
    ("vb", "Alsó sor: v b", "vb", "keys", []),
    ("c", "Alsó sor: c (cs)", "c", "keys", []),
    ("also", "Alsó sor: szavak", "", "words", []),
    ("ou", "Felső sor: ő ú", "őú", "keys", []),
    ("ouo", "Számsor: ö ü ó", "öüó", "keys", []),
    ("ii", "Alsó sor: í", "í", "keys", []),
    ("uu", "Alapsor jobb széle: ű", "ű", "keys", []),
    ("kisbetuk", "Minden kisbetű: szavak", "", "words", []),
    ("ekezet", "Ékezetes betűk: á é í ó ö ő ú ü ű", "", "accents", []),
    ("vesszo", "Írásjelek: vessző, pont, kötőjel", ",.-", "marks", []),
    ("shift_bal", "Nagybetűk: bal Shift a jobb kéz betűihez", "HJKLZUINMOP", "shift", []),
    ("shift_jobb", "Nagybetűk: jobb Shift a bal kéz betűihez", "ERTASDFGYCVB", "shift", []),
    ("nagy_ekezet", "Nagybetűk: ékezetesek, az Í a jobb Shifttel", "ÁÉÓÖŐÚÜŰÍ",
     "accented_capitals", []),
    ("nevek", "Nagybetűk: nevek és helységnevek", "", "names", [
        "Anna és Béla Debrecenben lakik.",
        "Péter Szegeden tanul, Éva Pécsen dolgozik.",
        "Ödön és Ágnes a Balatonnál nyaral.",
    ]),
    ("ritka", "Ritka betűk: w, q, x", "wqxWQX", "rare", [
        "A taxi a Wesselényi utcában várt.",
        "Az Aquincumi Múzeum Óbudán van.",
        "Weöres Sándor verseit a gyerekek is szeretik.",
        "A Quimby koncertje után extra busz indul.",
        "A lexikon szerint a kiwi Új-Zélandról jött.",
    ]),
    ("irasjel", "Írásjelek: kérdőjel, felkiáltójel, kettőspont", "?!:", "signs", [
        "Hol vagy? Itt vagyok! Gyere ide: a kertben várlak.",
        "Mit főzzek ma? Levest, főzeléket vagy rántott húst?",
        "Vigyázz! Forró a tűzhely, ne nyúlj hozzá!",
        "Három dolgot vigyél: kenyeret, vajat és almát.",
        "Tudod, hány óra van? Már késő: menjünk haza!",
        "Kérsz teát? Köszönöm, most nem kérek.",
        "Milyen szép idő van ma! Menjünk ki a kertbe!",
        "A boltban ezt vettem: tejet, kenyeret, sajtot.",
        "Ki az? Én vagyok, nyisd ki az ajtót!",
        "Jegyezd meg: lassan járj, tovább érsz.",
    ]),
    ("irasjel2", "Írásjelek: idézőjel, zárójel, aposztróf, perjel", "\"()'/", "signs", [
        "\"Jó reggelt!\" - köszönt a szomszéd.",
        "A vonat (ha nem késik) délben érkezik.",
        "Azt mondta: \"Holnap jövök.\" De nem jött.",
        "Hozz kenyeret és/vagy kiflit a boltból.",
        "A könyv (a második kötet) a polcon van.",
        "\"Hová mész?\" - kérdezte. \"Haza\" - feleltem.",
        "Régi versekben az aposztróf hiányzó betűt jelöl: rajt'.",
        "A vonat Győr/Sopron felé a második vágányról indul.",
        "\"Nem baj\" - mondta -, \"majd holnap (vagy holnapután) folytatjuk.\"",
        "Az igen/nem kérdésekre röviden is lehet felelni.",
        "\"Ki az?\" - \"Én vagyok\" - hallatszott az ajtó mögül.",
    ]),
    ("szam15", "Számok: 1 2 3 4 5", "12345", "digits", [
        "Az 5 almából 2 maradt, a 3 körtéből 1.",
        "A 14-es busz 5 perc, a 23-as 12 perc múlva jön.",
    ]),
    ("szam60", "Számok: 6 7 8 9 0", "67890", "digits", [
        "A 6-os villamos 8 óra 40 perckor indul.",
        "A könyv 96 oldalas, a 70. oldalon tartok.",
        "Az évben 365 nap, 52 hét és 12 hónap van.",
    ]),
    ("szamok", "Számok: dátum, idő, ár, házszám, telefonszám", "", "numbers", [
        "1848. március 15. - 1849. október 6.",
        "2026. december 24-én 18 órakor kezdődik az ünnep.",
        "A tésztához 50 dkg liszt és 3 tojás kell.",
        "Hozzá 2 dl tej, 10 dkg cukor jár.",
        "A telefonszám 06 1 234 5678, a mellék 42.",
        "Budapest és Szeged között 170 km az út.",
        "A csapat 3:2-re nyert, a második félidőben fordított.",
        "Nyitva 8 és 18 óra között, 12-től 13-ig ebédszünet.",
        "Címünk: 1052 Budapest, Petőfi u. 17., II. emelet 4.",
    ]),
    ("jelek", "Jelek: + % = a számsoron", "+%=", "sums", [
        "2 + 3 = 5, 10 + 20 = 30, 7 + 8 = 15.",
        "A kamat 5%, az infláció 3%, a különbség 2%.",
        "1/2 + 1/4 = 3/4, 2/3 + 1/3 = 1.",
        "A kedvezmény 20%, így 5000 helyett 4000 forint.",
        "Ha a + b = 10 és a = 4, akkor b = 6.",
    ]),
    ("altgr1", "AltGr: @ (V), ; (vessző), * (kötőjel)", "@;*", "altgr", [
        "Az e-mail címem kiss.anna@pelda.hu, a tiéd?",
        "Írj a titkarsag@iskola.hu címre, ne a régire!",
        "Esik az eső; a gyerekek mégis kint játszanak.",
        "Nem volt ideje; sietett, mert késett a vonat.",
        "Fáradt volt; mégis végigolvasta a könyvet.",
        "A *-gal jelölt mezőket ki kell tölteni.",
        "Nyitva: hétfőtől szombatig* (*ünnepnap kivételével).",
    ]),
    ("altgr2", "AltGr: $ (É), € (U), < (Í), > (Y)", "$€<>", "altgr", [
        "A jegy ára 12 €, a szállás éjszakánként 45 €.",
        "A könyv 25 $ volt, a postaköltség 5 $.",
        "Ha a < b és b < c, akkor a < c is igaz.",
        "A 10 > 7 igaz, a 3 > 8 hamis.",
        "Az árfolyam: 1 € = 390 Ft, 1 $ = 360 Ft.",
    ]),
    ("altgr3", "AltGr: [ ] (F G), { } (B N), \\ | (Q W)", "[]{}\\|", "altgr", [
        "A levél a C:\\Dokumentumok\\Levelek mappában van.",
        "Lásd az első forrást [1] és a jegyzetet [2].",
        "A halmaz elemei: {1, 2, 3}, a másiké: {4, 5}.",
        "A menü pontjai: Fájl | Szerkesztés | Nézet | Súgó.",
        "Az idézetben [...] jelzi a kihagyást.",
    ]),
]

NAMES = [
    "Anna", "Béla", "Csilla", "Dénes", "Erika", "Ferenc", "Gábor", "Hajnalka", "Imre",
    "János", "Katalin", "László", "Márta", "Nóra", "Olivér", "Péter", "Réka", "Sándor",
    "Tamás", "Ubul", "Vera", "Zoltán", "Zsófia", "Ágnes", "Éva", "Ödön", "Ilona", "Ottó",
    "Budapest", "Debrecen", "Szeged", "Pécs", "Győr", "Miskolc", "Eger", "Sopron",
    "Kecskemét", "Veszprém", "Zalaegerszeg", "Üllő", "Ózd", "Érd", "Balaton", "Duna",
    "Tisza", "Mátra", "Bükk", "Hortobágy", "Őrség", "Tihany", "Esztergom", "Visegrád",
]
# Real words with the rare letters: loanwords, names, Hungarian words with x.
RARE_WORDS = [
    "watt", "kiwi", "web", "weboldal", "wellness", "whisky", "show", "Washington", "Wales",
    "Weöres", "Wesselényi", "Wekerle", "Wass", "Darwin", "Newton", "Wagner",
    "Aquincum", "Quimby", "Quito", "Québec", "Queen", "squash", "quiche", "Quasimodo",
    "taxi", "taxis", "fix", "fixen", "extra", "textil", "expressz", "xilofon", "mix", "box",
    "boxol", "reflex", "index", "lexikon", "oxigén", "maximum", "luxus", "fax", "pixel",
    "praxis", "export", "Alexandra", "Félix", "Xénia", "Mexikó", "Luxemburg", "Texas",
]
# Words joined by a hyphen or a slash, as Hungarian writes them.
HYPHENED = ["ide-oda", "erre-arra", "fel-le", "ki-be", "jön-megy", "csip-csup", "irul-pirul",
            "apró-cseprő", "tarka-barka", "hébe-hóba", "sok-sok", "nagy-nagy", "meg-megáll",
            "el-elnéz", "piros-fehér-zöld", "két-három", "öt-hat", "kék-zöld", "fekete-fehér",
            "kisebb-nagyobb", "égen-földön", "hegyen-völgyön", "ímmel-ámmal", "ég-föld"]
SLASHED = ["igen/nem", "és/vagy", "fiú/lány", "reggel/este", "tél/nyár", "kint/bent",
           "fent/lent", "itt/ott", "ki/be", "fel/le", "ma/holnap", "kicsi/nagy"]
MONTHS = ["január", "február", "március", "április", "május", "június", "július",
          "augusztus", "szeptember", "október", "november", "december"]
UNITS = ["kg", "dkg", "liter", "dl", "méter", "cm", "km", "forint", "perc", "óra", "nap"]
FOLDERS = ["Dokumentumok", "Képek", "Zene", "Letöltések", "Levelek", "Iskola", "Munka",
           "Számlák", "Receptek", "Fotók", "Nyaralás", "Versek"]
MENU = ["Fájl", "Szerkesztés", "Nézet", "Beállítások", "Súgó", "Leckék", "Eredmények",
        "Nyomtatás", "Mentés", "Kilépés"]
STREETS = ["Petőfi u.", "Kossuth u.", "Ady u.", "Arany u.", "Rákóczi út", "Széchenyi tér",
           "Dózsa u.", "Táncsics u.", "Jókai u.", "Bem tér", "Deák tér", "Vörösmarty u."]


def vocabulary(words):
    """What counts as a word when a drill's repetitions are counted."""
    return {w.lower() for w in words + NAMES + RARE_WORDS + MONTHS + UNITS}


def number(rng, digits, low, high):
    """A number from low to high written with the given digits only, or None."""
    for _ in range(200):
        n = low + rng.below(high - low + 1)
        if set(str(n)) <= digits:
            return n
    return None


def number_item(rng, bag, digits):
    """A number as it occurs in everyday text: a house number, a time, a price, a date, an
    amount, and with every digit a year or a phone number."""
    choice = rng.below(7 if len(digits) == 10 else 5)
    if choice == 0:
        street, n = bag.draw(rng, STREETS), number(rng, digits, 1, 199)
        return f"{street} {n}." if street and n else None
    if choice == 1:
        h, m = number(rng, digits, 0, 23), number(rng, digits, 0, 59)
        return f"{h}:{m:02d}" if h is not None and m is not None and set(f"{m:02d}") <= digits \
            else None
    if choice == 2:
        n = number(rng, digits, 10, 9999)
        return f"{n} Ft" if n else None
    if choice == 3:
        month, d = bag.draw(rng, MONTHS), number(rng, digits, 1, 31)
        return f"{month} {d}." if month and d and d <= 28 else None
    if choice == 4:
        unit, n = bag.draw(rng, UNITS), number(rng, digits, 1, 999)
        return f"{n} {unit}" if unit and n else None
    if choice == 5:
        month = bag.draw(rng, MONTHS)
        return f"{1800 + rng.below(230)}. {month} {1 + rng.below(28)}." if month else None
    area = rng.choice(["1", "20", "30", "70"])
    rest = f"{rng.below(1000):03d} {rng.below(10000):04d}"
    return f"06 {area} {rest}"


def number_items(rng, bag, digits):
    """Six numbers in everyday use, each followed by a comma as in a list; none when the words
    for them run out."""
    items = []
    for _ in range(60):
        item = number_item(rng, bag, set(digits))
        if item:
            items.append(item + ",")
        if len(items) == 6:
            return items
    return []


def end_list(lines):
    """The last item of a list ends with a full stop instead of a comma."""
    last = lines[-1].removesuffix(",")
    return lines[:-1] + [last if last.endswith(".") else last + "."]


def sum_items(rng):
    """Sums and percentages, each followed by a comma."""
    items = []
    for _ in range(4):
        a, b = 1 + rng.below(99), 1 + rng.below(99)
        items.append(f"{a} + {b} = {a + b}," if rng.below(2) else f"{a}% + {b}% = {a + b}%,")
    return items


def sign_item(rng, bag, pool, sign):
    """A sign where it stands in text: after a word or around one, between words, in an
    e-mail address, a price, a comparison, a set or a path; None when the words run out."""
    if sign == "/":
        return bag.draw(rng, SLASHED)
    if sign == "|":
        return rng.choice(MENU)
    if sign == "\\":
        return f"C:\\{rng.choice(FOLDERS)}\\{rng.choice(FOLDERS)}"
    n, m = sorted((1 + rng.below(99), 1 + rng.below(99)))
    with_numbers = {"$": f"{n} $", "€": f"{m} €", "<": f"{n} < {m + 1}", ">": f"{m + 1} > {n}",
                    "[": f"[{n}]", "{": f"{{{n}, {m}}}"}
    if sign in with_numbers:
        return with_numbers[sign]
    if sign == "@":
        ascii_words = [w for w in pool if w.isascii()]
        name = bag.draw(rng, ascii_words)
        return f"{name}@{rng.choice(ascii_words)}.hu" if name else None
    word = bag.draw(rng, pool)
    if word is None:
        return None
    return {'"': f'"{word}"', "(": f"({word})"}.get(sign, word + sign)


def sign_line(rng, bag, pool, sign):
    """A line of one sign where it stands in text: signs written with blanks around them, and
    e-mail addresses, stand in a list parted by commas, the items of a menu by bars."""
    listed = sign in "@$€<>[{\\"
    separator = " | " if sign == "|" else ", " if listed else " "
    end = "." if listed else ""
    items = []
    while True:
        item = sign_item(rng, bag, pool, sign)
        if item is None or len(separator.join(items + [item]) + end) > WRAP_COLUMN:
            break
        items.append(item)
    return [separator.join(items) + end] if items else []


def sign_lines(rng, bag, pool, signs):
    """A line for each new sign (one for a pair of brackets), typed where it stands in text."""
    lines = []
    for sign in signs:
        if sign not in ")]}'":
            lines += sign_line(rng, bag, pool, sign)
    return lines


def drill(stage, known, words, rng):
    """The lines of one lesson before the texts."""
    name, title, new, kind, extra = stage
    extra = [line for sentence in extra for line in wrap_evenly(sentence)]
    new_keys = list(new)
    allowed = set(known) | {" "}
    pool = usable_words(words, allowed)
    bag = Bag(extra)
    vocab = vocabulary(words)

    if kind == "keys":
        alpha = [k for k in new_keys if k.isalpha()]
        head = pattern_lines(new_keys, known) + key_lines(new_keys)
        if len(pool) < 6:
            return drill_to_length(rng, lambda r: rhythm_groups(r, alpha, known, 12), head)
        head += lines_of(rng, lambda r: letter_groups(r, alpha, known, 1, vocab)[0], 2)
        head += extra

        def more(r):
            return (pick_words(r, bag, pool, alpha, 12)
                    or letter_groups(r, alpha, known, 12, vocab))
        return drill_to_length(rng, more, head)

    if kind == "words":
        return drill_to_length(rng, lambda r: pick_words(r, bag, pool, [], 12), extra)

    if kind == "accents":
        head = ["a á e é i í o ó ö ő u ú ü ű"]
        head += [repeat_to_line([v + v + v for v in ACCENTED_LOWER])]
        head += [repeat_to_line(["o ó ö ő", "u ú ü ű", "a á", "e é", "i í"])]
        accented = [w for w in pool if any(c in w for c in ACCENTED_LOWER)]
        return drill_to_length(rng, lambda r: pick_words(r, bag, accented, [], 12), head)

    if kind == "marks":
        # Commas in lists, full stops after abbreviations, hyphens in twin words: no
        # sentences yet, as capitals come in the next lessons.
        lines = key_lines(new_keys) + extra
        while sum(len(x) for x in lines) < DRILL_TARGET:
            twins = [x for x in (bag.draw(rng, HYPHENED) for _ in range(4)) if x]
            lists = []
            for _ in range(2):
                listed = pick_words(rng, bag, pool, [], 3)
                if len(listed) == 3:
                    listed = f"{listed[0]}, {listed[1]}, {listed[2]}"
                    lists.append(f"pl. {listed}" if rng.below(2) else f"{listed} stb.")
            if not twins or not lists:
                raise CourseError("too few words for the drill")
            lines += layout(twins) + lists
        return lines

    if kind == "shift":
        # The little finger of the other hand holds Shift: the left Shift for the keys of the
        # right hand, the right one for those of the left hand.
        side = {k.lower() for k in new_keys}
        caps = sorted(side, key="abcdefghijklmnopqrstuvwxyz".index)
        head = fill([c.upper() + c for c in caps])
        head += fill([c.upper() * 3 for c in caps])
        starting = [w for w in pool if w[0] in side]
        return drill_to_length(
            rng, lambda r: [capitalize(w) for w in pick_words(r, bag, starting, [], 12)], head)

    if kind == "accented_capitals":
        left_shift = [k for k in new_keys if k != "Í"]
        head = fill([c + c.lower() for c in left_shift] * 2)
        head += fill(["Íí", "ÍÍÍ", "íÍí"] * 3)
        starting = [w for w in pool if w[0] in ACCENTED_LOWER]
        head += layout([bag.draw(rng, [w for w in starting if w[0] == c]).upper()
                        for c in ACCENTED_LOWER])
        return drill_to_length(
            rng, lambda r: [capitalize(w) for w in pick_words(r, bag, starting, [], 12)], head)

    if kind == "names":
        return drill_to_length(
            rng, lambda r: [x for x in (bag.draw(r, NAMES) for _ in range(10)) if x], extra)

    if kind == "rare":
        head = pattern_lines(new_keys[:3], known) + key_lines(new_keys[:3])
        head += fill([c + c.lower() for c in new_keys[3:]] * 3) + extra
        return drill_to_length(
            rng, lambda r: [x for x in (bag.draw(r, RARE_WORDS) for _ in range(10)) if x], head)

    if kind == "signs":
        return key_lines(new_keys) + sign_lines(rng, bag, pool, new_keys) + extra

    if kind == "digits":
        head = pattern_lines(new_keys, known) + key_lines(new_keys)
        head += extra
        digits = [k for k in known if k.isdigit()]
        return end_list(drill_to_length(rng, lambda r: number_items(r, bag, digits), head))

    if kind == "numbers":
        return end_list(
            drill_to_length(rng, lambda r: number_items(r, bag, "0123456789"), extra))

    if kind == "sums":
        return end_list(drill_to_length(rng, sum_items, key_lines(new_keys) + extra))

    if kind == "altgr":
        return key_lines(new_keys) + sign_lines(rng, bag, pool, new_keys) + extra

    raise CourseError(f"{name}: unknown kind {kind}")


# --- the course ----------------------------------------------------------------------------


def lesson_bytes(title, lines, where):
    if len(title) > TITLE_LIMIT:
        raise CourseError(f"{where}: title longer than {TITLE_LIMIT} characters: {title!r}")
    for line in [title] + lines:
        if not line or line != line.strip() or "  " in line:
            raise CourseError(f"{where}: empty line or stray blanks in {line!r}")
        plain(line, where)
    for line in lines:
        if len(line) > WRAP_COLUMN:
            raise CourseError(f"{where}: line longer than {WRAP_COLUMN}: {line!r}")
    return "".join(x + "\r\n" for x in [title] + lines).encode("cp1250")


class Lesson:
    def __init__(self, name, title, lines, source):
        self.name, self.title, self.lines, self.source = name, title, lines, source
        self.file = None  # "NNN_name.lck" once the course is numbered


def check_drill(name, lines, allowed, vocab):
    """A drill uses only the keys taught so far, and no word of it comes more than
    MAX_REPEAT times (a single letter is a key drilled, not a word)."""
    counts = {}
    for line in lines:
        untaught = set(line) - allowed
        if untaught:
            raise CourseError(f"{name}: keys not taught yet {sorted(untaught)} in {line!r}")
        for word in (w.lower() for w in words_of(line)):
            if len(word) > 1 and word in vocab:
                counts[word] = counts.get(word, 0) + 1
    over = sorted(w for w, n in counts.items() if n > MAX_REPEAT)
    if over:
        raise CourseError(f"{name}: more than {MAX_REPEAT} times in the drill: {over}")


def make_drills(words):
    rng = Random(20261209)
    known = []
    lessons = []
    vocab = vocabulary(words)
    for stage in STAGES:
        name, title, new, kind, extra = stage
        for k in new:
            if k not in known:
                known.append(k)
        try:
            lines = drill(stage, known, words, rng)
        except CourseError as error:
            raise CourseError(f"{name}: {error}") from None
        check_drill(name, lines, set(known) | {" "}, vocab)
        lessons.append(Lesson(name, title, lines, "drill"))
    return lessons


def make_sentences(proverbs):
    half = (len(proverbs) + 1) // 2
    lessons = [
        Lesson("kozmondas1", "Mondatok: közmondások (1)",
               [line for p in proverbs[:half] for line in wrap_evenly(p)], "proverb"),
        Lesson("kozmondas2", "Mondatok: közmondások (2)",
               [line for p in proverbs[half:] for line in wrap_evenly(p)], "proverb"),
    ]
    folder = os.path.join(COURSE, "texts")
    for file in sorted(f for f in os.listdir(folder) if f.endswith(".txt")):
        fields, body = read_header_file(os.path.join(folder, file))
        for key in ("Cím", "Név", "Forma"):
            if key not in fields:
                raise CourseError(f"{file}: no {key} in the header")
        blocks = shape_blocks(paragraphs(plain(body, file)), fields["Forma"])
        lines = [line for block in blocks for line in block]
        lessons.append(Lesson(fields["Név"], plain(fields["Cím"], file), lines, "own"))
    return lessons


# What the header of every passage records about the text: the copy it was typed from, the
# copies it was checked against, its spelling, and the readings that were checked.
PASSAGE_RECORD = ("Forrás", "Egyeztetés", "Helyesírás", "Olvasatok")


def make_passages():
    folder = os.path.join(COURSE, "passages")
    lessons = []
    for file in sorted(f for f in os.listdir(folder) if f.endswith(".txt")):
        fields, body = read_header_file(os.path.join(folder, file))
        for key in ("Szerző", "Mű", "Év", "Forma", "Név") + PASSAGE_RECORD:
            if key not in fields:
                raise CourseError(f"{file}: no {key} in the header")
        blocks = shape_blocks(paragraphs(plain(body, file)), fields["Forma"])
        parts = split_into_lessons(blocks, PASSAGE_LIMIT)
        author = fields["Szerző"].split(" (")[0]
        work = fields["Mű"].split(" (")[0]
        for i, lines in enumerate(parts, 1):
            name = fields["Név"] + (f"_{i}" if len(parts) > 1 else "")
            title = fields.get("Cím", f"Szöveg: {author} - {work}")
            if len(parts) > 1:
                title += f" ({i}/{len(parts)})"
            lessons.append(Lesson(name, plain(title, file), lines, fields))
    return lessons


def sources_markdown(lessons):
    def files(source):
        return ", ".join(x.file for x in lessons if x.source == source)

    out = [
        "# Sources of the supplied lessons",
        "",
        "Every lesson is generated by `tools/make-course.py`; edit the files under",
        "`tools/course/` and run the script again rather than editing the lessons.",
        "",
        "- Drills (the lessons before the sentences): generated by the script from the keys",
        "  taught so far and from `tools/course/words.txt`, a word list written for Pekto;",
        "  no word comes more than three times in a drill.",
        "- Traditional Hungarian proverbs, in the public domain (`tools/course/proverbs.txt`):",
        "  " + files("proverb") + ".",
        "- Sentences and short texts written for Pekto (`tools/course/texts/`):",
        "  " + files("own") + ".",
        "",
        "## Passages of Hungarian literature",
        "",
        "All in the public domain: their authors died more than 70 years ago, and the Bible",
        "text is the 1908 revision of Gáspár Károli's translation of 1590. Each passage was",
        "typed word for word from the stored public copy named as its source and checked",
        "against the other copies named. It keeps the spelling of its source unless a",
        "modernisation is stated. Typographic quotation marks, dashes and the ellipsis are",
        "written as the keyboard types them (\" - ...). The typed-out texts, with these notes",
        "in their headers, are in `tools/course/passages/`.",
        "",
        "| Lessons | Author | Work | Year |",
        "|---|---|---|---|",
    ]
    passages = []
    for lesson in lessons:
        if isinstance(lesson.source, dict) and lesson.source not in passages:
            passages.append(lesson.source)
    for fields in passages:
        names = ", ".join(x.file for x in lessons if x.source is fields)
        out.append(f"| {names} | {fields['Szerző']} | {fields['Mű']} | {fields['Év']} |")
    for fields in passages:
        out += ["", f"### {fields['Szerző']}: {fields['Mű']}", ""]
        for key, label in zip(PASSAGE_RECORD,
                              ("Source", "Checked against", "Spelling", "Readings checked")):
            out.append(f"- {label}: {fields[key]}")
    return "\n".join(out) + "\n"


def build_course():
    """The course as file name -> bytes: the lessons numbered in order, and SOURCES.md; and the
    names of the lessons of public-domain texts (proverbs and passages)."""
    words = read_words()
    lessons = make_drills(words) + make_sentences(read_proverbs()) + make_passages()
    files = {}
    for number, lesson in enumerate(lessons, 1):
        lesson.file = f"{number:03d}_{lesson.name}.lck"
        if lesson.file in files:
            raise CourseError(f"{lesson.file} twice")
        files[lesson.file] = lesson_bytes(lesson.title, lesson.lines, lesson.file)
    if lessons[0].file != "001_fdjk.lck":
        raise CourseError("the first lesson must be 001_fdjk.lck, the default lesson")
    files["SOURCES.md"] = sources_markdown(lessons).encode("utf-8")
    free = {x.file for x in lessons if x.source == "proverb" or isinstance(x.source, dict)}
    return files, free


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=DEFAULT_OUT, help="folder of the lessons")
    parser.add_argument("--check", action="store_true",
                        help="compare with the folder instead of writing")
    args = parser.parse_args()
    try:
        files, free = build_course()
    except CourseError as error:
        print(f"make-course: {error}", file=sys.stderr)
        return 2
    present = sorted(f for f in os.listdir(args.out) if f.endswith(".lck")) \
        if os.path.isdir(args.out) else []
    stale = [f for f in present if f not in files]
    if args.check:
        differ = []
        for name, data in files.items():
            path = os.path.join(args.out, name)
            if not os.path.isfile(path) or open(path, "rb").read() != data:
                differ.append(name)
        for name in differ:
            print(f"make-course: {name} differs from what the script generates", file=sys.stderr)
        for name in stale:
            print(f"make-course: {name} is not part of the course", file=sys.stderr)
        named = set(re.findall(r"assets/lessons/(\S+\.lck)", read_text(COPYRIGHT)))
        for name in sorted(free ^ named):
            print(f"make-course: {name}: packaging/copyright must name exactly the lessons of "
                  "public-domain texts", file=sys.stderr)
        return 1 if differ or stale or free != named else 0
    os.makedirs(args.out, exist_ok=True)
    for name in stale:
        os.remove(os.path.join(args.out, name))
    for name, data in files.items():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
    count = sum(1 for f in files if f.endswith(".lck"))
    print(f"make-course: {count} lessons in {args.out}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
