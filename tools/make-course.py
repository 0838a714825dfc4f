#!/usr/bin/env python3
"""Generates Pekto's Hungarian touch-typing course into assets/lessons/.

    python3 tools/make-course.py            # writes the lessons and SOURCES.md
    python3 tools/make-course.py --check    # exit status 1 when the files differ
    python3 tools/make-course.py --out DIR  # writes into another folder

The course follows the Hungarian (QWERTZ) keyboard: the home row (f j d k s l a é,
then g h á), the upper row, the lower row and the letters of the number row a few
keys at a time, then capitals with both Shift keys, the accented capitals,
punctuation, numbers, sentences and finally passages of real text.

Every drill lesson uses only the keys taught so far; its words come from
tools/course/words.txt. Sentences and short texts of our own lie in
tools/course/texts/, traditional proverbs in tools/course/proverbs.txt, and the
passages of public-domain Hungarian literature in tools/course/passages/, each
with its author, work and year; SOURCES.md is written from those headers.

A lesson file is Windows-1250 text: line 1 the title, then the lines to type,
every line ended by CR LF. Lines are wrapped at WRAP_COLUMN characters, which
the lesson test has measured to fit the main window's lower pane at the default
font (Courier New 14 pt bold) without wrapping. No line is empty or has blanks
at either end, as the learner would have to type them unseen.

Standard library only; the output is the same on every run and every machine.
"""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COURSE = os.path.join(ROOT, "tools", "course")
DEFAULT_OUT = os.path.join(ROOT, "assets", "lessons")

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
# the backquote are left out: on that keyboard they are dead keys.
TYPEABLE = set(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 "
    + ACCENTED_LOWER + ACCENTED_UPPER
    + "!\"#$%&'()*+,-./:;<=>?@[\\]_{|}"
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
               "(": "k", ")": "l", "?": "k", ":": "l", ";": "k", "_": "é"})


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


def key_lines(new_keys):
    """The new keys alone and beside their home keys: 'ggg hhh fgf jhj ...'."""
    triples = [k * 3 for k in new_keys]
    anchored = []
    for k in new_keys:
        home = ANCHOR.get(k, k)
        if home == k:
            home = MIRROR.get(k, k)
        anchored += [home + k + home, k + home + k]
    first = " ".join(triples * max(1, 8 // len(triples)))
    second = " ".join(anchored * max(1, 8 // len(anchored)))
    return wrap(first) + wrap(second)


HOME_ROW = "asdfghjklé"


def letter_groups(rng, new_keys, known, count):
    """Letter groups of two to five keys, each with a new key in it, the others from the
    home row that the fingers return to."""
    pool = [k for k in known if k in HOME_ROW or k in new_keys]
    items = []
    for _ in range(count):
        size = 2 + rng.below(4)
        group = [rng.choice(pool) for _ in range(size)]
        group[rng.below(size)] = rng.choice(new_keys)
        items.append("".join(group))
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


def pick_words(rng, words, new_keys, count):
    """Words made of known keys, many of them with a new key, none twice in a row."""
    fresh = [w for w in words if any(k in w for k in new_keys)] if new_keys else []
    # Few words with the new keys would repeat too often: they then come more rarely.
    share = 6 if len(fresh) >= 8 else 3
    items = []
    for _ in range(count):
        source = fresh if fresh and rng.below(10) < share else words
        word = rng.choice(source)
        while items and word == items[-1] and len(words) > 1:
            word = rng.choice(words)
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
        items += make_items(rng)
    return list(head) + layout(items)


def usable_words(words, allowed):
    return [w for w in words if set(w) <= allowed]


def capitalize(word):
    return word[:1].upper() + word[1:]


# The lessons before the texts. `keys`: the keys taught in the lesson (added to what is
# known); `kind`: how the lesson is made; `extra`: lines of our own appended to the drill.
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
    ("op", "Felső sor: o p", "op", "keys", []),
    ("wq", "Felső sor: w q", "wq", "keys", []),
    ("ou", "Felső sor: ő ú", "őú", "keys", []),
    ("felso2", "Felső sor: szavak ő és ú betűvel", "", "words", []),
    ("nm", "Alsó sor: n m", "nm", "keys", []),
    ("vb", "Alsó sor: v b", "vb", "keys", []),
    ("cxy", "Alsó sor: c x y", "cxy", "keys", ["taxi fix extra textil expressz", "hegy nagy kutya meggy tyúk lyuk"]),
    ("ii", "Alsó sor: í", "í", "keys", []),
    ("vesszo", "Alsó sor: vessző, pont, kötőjel", ",.-", "keys", [
        "a kert, a ház, a fa.",
        "piros-fehér, kicsi-nagy, erre-arra.",
        "reggel esett, de most a nap is ragyog, meleg van.",
    ]),
    ("also", "Alsó sor: szavak és rövid mondatok", "", "words", [
        "a macska a kerti padon alszik, a kutya a kapunál ugat.",
        "anya kenyeret vesz, apa a kertben dolgozik.",
        "tegnap hideg volt, ma meleg van, holnap esni fog.",
        "a vonat reggel indul, este ér haza.",
    ]),
    ("ouo", "Számsor: ö ü ó", "öüó", "keys", []),
    ("uu", "Alapsor jobb széle: ű", "ű", "keys", []),
    ("kisbetuk", "Minden kisbetű: szavak", "", "words", []),
    ("ekezet", "Ékezetes betűk: á é í ó ö ő ú ü ű", "", "accents", []),
    ("shift_bal", "Nagybetűk: bal Shift a jobb kéz betűihez", "", "shift_left", []),
    ("shift_jobb", "Nagybetűk: jobb Shift a bal kéz betűihez", "", "shift_right", []),
    ("nagy_ekezet", "Nagybetűk: Á É Í Ó Ö Ő Ú Ü Ű", "", "accented_capitals", []),
    ("nevek", "Nagybetűk: nevek és helységnevek", "", "names", [
        "Anna és Béla Debrecenben lakik.",
        "Péter Szegeden tanul, Éva Pécsen dolgozik.",
        "Ödön és Ágnes a Balatonnál nyaral.",
    ]),
    ("irasjel", "Írásjelek: kérdőjel, felkiáltójel, kettőspont, pontosvessző", "?!:;", "punctuation", [
        "Hol vagy? Itt vagyok! Gyere ide: a kertben várlak.",
        "Esik az eső; a gyerekek mégis kint játszanak.",
        "Mit főzzek ma? Levest, főzeléket vagy rántott húst?",
        "Vigyázz! Forró a tűzhely, ne nyúlj hozzá!",
        "Három dolgot vigyél: kenyeret, vajat és almát.",
        "Nem volt ideje; sietett, mert késett a vonat.",
        "Tudod, hány óra van? Már késő: menjünk haza!",
        "Kérsz teát? Köszönöm, most nem kérek.",
        "Milyen szép idő van ma! Menjünk ki a kertbe!",
        "A boltban ezt vettem: tejet, kenyeret, sajtot.",
        "Fáradt volt; mégis végigolvasta a könyvet.",
        "Ki az? Én vagyok, nyisd ki az ajtót!",
        "Jegyezd meg: lassan járj, tovább érsz.",
    ]),
    ("irasjel2", "Írásjelek: idézőjel, zárójel, aposztróf, perjel", "\"()'/", "punctuation", [
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
        "A zárójelben (ebben itt) magyarázat áll.",
        "\"Ki az?\" - \"Én vagyok\" - hallatszott az ajtó mögül.",
    ]),
    ("szam15", "Számok: 1 2 3 4 5", "12345", "digits", [
        "Az 5 almából 2 maradt, a 3 körtéből 1.",
        "A 14-es busz 5 perc múlva jön, a 23-as 12 perc múlva.",
    ]),
    ("szam60", "Számok: 6 7 8 9 0", "67890", "digits", [
        "A 6-os villamos 8 óra 40 perckor indul.",
        "A könyv 96 oldalas, a 70. oldalon tartok.",
        "Az évben 365 nap, 52 hét és 12 hónap van.",
    ]),
    ("szamok", "Számok: dátumok és mennyiségek", "", "numbers", [
        "1848. március 15. - 1849. október 6.",
        "2026. december 24-én este 6 órakor kezdődik az ünnep.",
        "A recept: 50 dkg liszt, 3 tojás, 2 dl tej, 10 dkg cukor.",
        "A telefonszám 06 1 234 5678, a mellék 42.",
        "Budapest és Szeged között 170 km az út.",
        "A csapat 3:2-re nyert, a második félidőben fordított.",
        "Az üzlet 8 és 18 óra között van nyitva, 12-től 13-ig zárva.",
    ]),
    ("jelek", "Jelek: + % / = a számsoron", "+%=", "numbers", [
        "2 + 3 = 5, 10 + 20 = 30, 7 + 8 = 15",
        "A kamat 5%, az infláció 3%, a különbség 2%.",
        "1/2 + 1/4 = 3/4, 2/3 + 1/3 = 1",
        "A kedvezmény 20%, így 5000 helyett 4000 forint.",
        "100% = 1, 50% = 1/2, 25% = 1/4",
        "Ha a + b = 10 és a = 4, akkor b = 6.",
    ]),
]


def drill(stage, known, words, rng):
    """The lines of one lesson before the texts."""
    name, title, new, kind, extra = stage
    extra = [line for sentence in extra for line in wrap_evenly(sentence)]
    new_keys = list(new)
    allowed = set(known) | {" "}
    letters = [k for k in known if k.isalpha()]
    pool = usable_words(words, allowed)

    if kind == "keys":
        alpha = [k for k in new_keys if k.isalpha()]
        head = key_lines(new_keys)
        if alpha:
            head += lines_of(rng, lambda r: letter_groups(r, alpha, known, 1)[0], 2)
        for k in new_keys:
            if k == "-":
                head += lines_of(rng, lambda r: r.choice(pool) + "-" + r.choice(pool), 1)
            elif not k.isalpha():
                # A punctuation key after a word, as it is typed in real text.
                head += lines_of(rng, lambda r: r.choice(pool) + k, 1)
        head += extra
        if len(pool) < 6:
            more = lambda r: letter_groups(r, alpha, known, 12)
        else:
            more = lambda r: pick_words(r, pool, alpha, 12)
        return drill_to_length(rng, more, head)

    if kind == "words":
        return drill_to_length(rng, lambda r: pick_words(r, pool, [], 12), extra)

    if kind == "accents":
        head = ["a á e é i í o ó ö ő u ú ü ű"]
        head += fill([v + v + v for v in ACCENTED_LOWER] * 2)
        head += fill(["o ó ö ő", "u ú ü ű", "a á", "e é", "i í"] * 2)
        accented = [w for w in pool if any(c in w for c in ACCENTED_LOWER)]
        return drill_to_length(rng, lambda r: [r.choice(accented) for _ in range(12)], head)

    if kind in ("shift_left", "shift_right"):
        # The little finger of the other hand holds Shift: the left Shift for the keys of the
        # right hand, the right one for those of the left hand. Accented capitals come later.
        right_hand = set("hjklzuinmop")
        left_hand = set("qwertasdfgyxcvb")
        side = right_hand if kind == "shift_left" else left_hand
        caps = sorted(side, key="abcdefghijklmnopqrstuvwxyz".index)
        head = fill([c.upper() + c for c in caps])
        head += fill([c.upper() * 3 for c in caps])
        starting = [w for w in pool if w[0] in side]
        return drill_to_length(
            rng, lambda r: [capitalize(r.choice(starting)) for _ in range(12)], head)

    if kind == "accented_capitals":
        head = fill([c + c.lower() for c in ACCENTED_UPPER] * 2)
        starting = [w for w in pool if w[0] in ACCENTED_LOWER]
        head += layout([next(w for w in starting if w[0] == c).upper() for c in ACCENTED_LOWER])
        return drill_to_length(
            rng, lambda r: [capitalize(r.choice(starting)) for _ in range(12)], head)

    if kind == "names":
        return drill_to_length(rng, lambda r: [r.choice(NAMES) for _ in range(10)], extra)

    if kind == "punctuation":
        return key_lines(new_keys) + extra

    if kind == "digits":
        head = key_lines(new_keys)
        head += fill(["".join(rng.choice(new_keys) for _ in range(2 + rng.below(3)))
                      for _ in range(16)])
        head += extra
        return drill_to_length(
            rng, lambda r: ["".join(r.choice(new_keys) for _ in range(3)) for _ in range(12)],
            head)

    if kind == "numbers":
        head = (key_lines(new_keys) if new_keys else []) + extra
        lines = drill_to_length(rng, number_items if new_keys else date_items, head)
        # The items are a list: it ends with a full stop, not a comma.
        lines[-1] = lines[-1].removesuffix(",").removesuffix(".") + "."
        return lines

    raise CourseError(f"{name}: unknown kind {kind}")


def date_items(rng):
    """Dates, amounts and numbers as they are written in Hungarian text."""
    items = []
    for _ in range(6):
        choice = rng.below(3)
        if choice == 0:
            items.append(f"{1800 + rng.below(230)}. {rng.choice(MONTHS)} {1 + rng.below(28)}.,")
        elif choice == 1:
            items.append(f"{1 + rng.below(999)} {rng.choice(UNITS)},")
        else:
            items.append(f"{rng.below(24)}:{rng.below(6)}{rng.below(10)},")
    return items


def number_items(rng):
    """Sums and percentages."""
    items = []
    for _ in range(4):
        a, b = 1 + rng.below(99), 1 + rng.below(99)
        items.append(f"{a} + {b} = {a + b}," if rng.below(2) else f"{a}% + {b}% = {a + b}%,")
    return items


MONTHS = ["január", "február", "március", "április", "május", "június", "július",
          "augusztus", "szeptember", "október", "november", "december"]
UNITS = ["kg", "dkg", "liter", "dl", "méter", "cm", "km", "forint", "perc", "óra", "nap"]

NAMES = [
    "Anna", "Béla", "Csilla", "Dénes", "Erika", "Ferenc", "Gábor", "Hajnalka", "Imre",
    "János", "Katalin", "László", "Márta", "Nóra", "Olivér", "Péter", "Réka", "Sándor",
    "Tamás", "Ubul", "Vera", "Zoltán", "Zsófia", "Ágnes", "Éva", "Ödön", "Ilona", "Ottó",
    "Budapest", "Debrecen", "Szeged", "Pécs", "Győr", "Miskolc", "Eger", "Sopron",
    "Kecskemét", "Veszprém", "Zalaegerszeg", "Üllő", "Ózd", "Érd", "Balaton", "Duna",
    "Tisza", "Mátra", "Bükk", "Hortobágy", "Őrség", "Tihany", "Esztergom", "Visegrád",
]


# --- the course ----------------------------------------------------------------------------


def lesson_bytes(title, lines, where):
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


def make_drills(words):
    rng = Random(20261209)
    known = []
    lessons = []
    for stage in STAGES:
        name, title, new, kind, extra = stage
        for k in new:
            if k not in known:
                known.append(k)
        lines = drill(stage, known, words, rng)
        if kind in ("keys", "words", "accents"):
            allowed = set(known) | {" "}
            for line in lines:
                extra_keys = set(line) - allowed
                if extra_keys:
                    raise CourseError(
                        f"{name}: keys not taught yet {sorted(extra_keys)} in {line!r}")
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


def make_passages():
    folder = os.path.join(COURSE, "passages")
    lessons = []
    for file in sorted(f for f in os.listdir(folder) if f.endswith(".txt")):
        fields, body = read_header_file(os.path.join(folder, file))
        for key in ("Szerző", "Mű", "Év", "Forma", "Név"):
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
        "  taught so far and from `tools/course/words.txt`, a word list written for Pekto.",
        "- Traditional Hungarian proverbs, in the public domain (`tools/course/proverbs.txt`):",
        "  " + files("proverb") + ".",
        "- Sentences and short texts written for Pekto (`tools/course/texts/`):",
        "  " + files("own") + ".",
        "",
        "## Passages of Hungarian literature",
        "",
        "All in the public domain: their authors died more than 70 years ago (the Bible text",
        "is the 1908 revision of Gáspár Károli's translation of 1590). The texts follow the",
        "spelling of the usual modern editions; typographic quotation marks and dashes are",
        "written as the keyboard types them (\" and -). The typed-out texts are in",
        "`tools/course/passages/`.",
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
    return "\n".join(out) + "\n"


def build_course():
    """The course as file name -> bytes: the lessons numbered in order, and SOURCES.md."""
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
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=DEFAULT_OUT, help="folder of the lessons")
    parser.add_argument("--check", action="store_true",
                        help="compare with the folder instead of writing")
    args = parser.parse_args()
    try:
        files = build_course()
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
        return 1 if differ or stale else 0
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
