#!/usr/bin/env python3
"""Writes the lessons supplied with Pekto into assets/lessons/.

A lesson file is Windows-1250 text: the first line is the title, every further
line a line of the text to type; every line ends with CR LF.

The lessons follow the Hungarian (QWERTZ) keyboard: the home row first, then
the upper and lower rows, the accented letters, capitals, the number row and
finally sentences and prose. Each drill lesson lists the keys it may use; the
script refuses to write a drill that uses a key not learnt yet.

Standard library only:  python3 assets/tools/make_lessons.py
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "lessons")
MAX_LINE = 60

# Keys learnt lesson by lesson (lower-case letters and punctuation; space is always allowed).
HOME = "fdjk"
HOME2 = HOME + "asl\u00e9"  # a s l é
HOME3 = HOME2 + "gh"
TOP = HOME3 + "ertzui"
TOP2 = TOP + "wqop\u0151\u00fa"  # ő ú
BOTTOM = TOP2 + "yxcvbnm,.-"

LESSONS = [
    ("001_fdjk.lck", "Alapsor: f, d, j, k", HOME, [
        "fff jjj fff jjj fjf jfj fjf jfj",
        "ddd kkk ddd kkk dkd kdk dkd kdk",
        "fj fj dk dk jf jf kd kd fj dk jf kd",
        "fd fd jk jk df df kj kj fd jk df kj",
        "ffj jjf ddk kkd fjd jfk dkf kdj",
        "fdjk kjdf fdjk kjdf dfkj jkfd dfkj jkfd",
        "fjdk dkfj jfkd kdjf fjdk dkfj jfkd kdjf",
    ]),
    ("002_asl_e.lck", "Alapsor: a, s, l, é", HOME2, [
        "aaa sss aaa sss asa sas asa sas",
        "lll ééé lll ééé lél élé lél élé",
        "asdf jklé asdf jklé fdsa éljk fdsa éljk",
        "fa fal dal sas kas jaj adj add lakk",
        "kés fék dél fél lék kél séf lé",
        "alak falak salak ajak sajka fajd",
        "a fa a fal a dal a sas a kés a fék",
    ]),
    ("003_ghi.lck", "Alapsor: g, h", HOME3, [
        "ggg hhh ggg hhh ghg hgh ghg hgh",
        "fgf jhj fgf jhj dgd khk sgs lhl",
        "gh hg gh hg fg jh fg jh gf hj gf hj",
        "asdfg éjklh asdfg éjklh gfdsa hjklé",
        "hal has had hadd halk hall jég héj gél",
        "halad halas hasad hasal dagad salak",
        "hallgass sakk haj haja hajad galaj",
        "a hal halad a jég hasad a has dagad",
    ]),
    ("004_ertz.lck", "Felső sor: e, r, t, z, u, i", TOP, [
        "eee rrr ttt eee rrr ttt ded frf ftf",
        "zzz uuu iii zzz uuu iii jzj juj kik",
        "fr ft de ju jz ki re te ze ui iu",
        "tea rét tér kert fut tud ruha kis ki",
        "szeret szerda kérdez tetszik fiatal utas",
        "siet hideg liszt giliszta teher hetes",
        "zaj zizeg zeller zuhatag zsiradék tized",
        "a kis kert a tiszta ruha a hideg tea",
    ]),
    ("005_wqo_p.lck", "Felső sor: w, q, o, p, ő, ú", TOP2, [
        "ooo ppp ooo ppp lol épé lol épé",
        "őőő úúú őőő úúú pőp púp őúő úőú",
        "www qqq www qqq sws aqa sws aqa",
        "ősz kő lő fő ő tő erő idő őr hős",
        "út úr kút fúj púp húsz zúg súg",
        "posta toll kapu lepke patak forog sport",
        "koszorú erős őszi őrző szorgos kopogtat",
        "kiwi watt wok qwertz qwertz kiwi watt",
        "az erős szél fúj ősszel a kert felett",
    ]),
    ("006_also.lck", "Alsó sor: y, x, c, v, b, n, m, írásjelek", BOTTOM, [
        "vvv bbb nnn mmm fvf fbf jnj jmj",
        "ccc xxx yyy dcd sxs aya ccc xxx yyy",
        ",,, ... --- k,k l.l é-é k, l. é-",
        "van nem mert nincs cica vaj bab",
        "nagy hegy kutya nyuszi meggy tyúk",
        "taxi, fix, mix, box, extra, expressz",
        "fekete-fehér, kisebb-nagyobb, erre-arra",
        "bementem a boltba, vettem kenyeret.",
        "a macska nem szereti a vizet, de a kutya igen.",
    ]),
    ("007_ekezetek.lck", "Ékezetes betűk: á, é, í, ó, ö, ő, ú, ü, ű", None, [
        "ááá ééé ííí óóó ööö őőő úúú üüü űűű",
        "a á, e é, i í, o ó ö ő, u ú ü ű",
        "kávé ágy víz tó öröm tükör fűzfa örül",
        "ügyes szív híd hűvös bőr tűz csütörtök",
        "öt ötös ősök ütő üveg ülés fürdő büfé",
        "sóvár óvoda kőfal húsleves tükörkép",
        "árvíztűrő tükörfúrógép, árvíztűrő tükörfúrógép",
        "a tündér álmában fűszeres süteményt süt.",
        "a hűvös őszi szél fújja a fák leveleit.",
    ]),
    ("008_nagybetuk.lck", "Nagybetűk a Shift billentyűvel", None, [
        "Aa Bb Cc Dd Ee Ff Gg Hh Ii Jj Kk Ll",
        "Mm Nn Oo Pp Rr Ss Tt Uu Vv Zz Áá Éé",
        "Anna Béla Csilla Dénes Erika Ferenc Gábor",
        "Hajnalka Imre János Kata László Márta Nóra",
        "Budapest Debrecen Szeged Pécs Győr Miskolc",
        "Eger Sopron Kecskemét Veszprém Zalaegerszeg",
        "Ödön Ágnes Éva Ilona Olga Üllő Ózd Érd",
        "Balaton Duna Tisza Mátra Bükk Hortobágy",
        "Péter és Zsófia Tihanyban nyaralnak a Balatonnál.",
    ]),
    ("009_szamok.lck", "Számsor: számjegyek és ö, ü, ó", None, [
        "111 222 333 444 555 1212 3434 5151",
        "666 777 888 999 000 6767 8989 0909",
        "ööö üüü óóó 0ö0 9ü9 öüó óüö öüó",
        "10 20 30 40 50 60 70 80 90 100",
        "12 34 56 78 90 135 246 780 1999 2000",
        "1848. március 15., 1956. október 23.",
        "5 alma, 12 körte, 37 szilva, 140 dió",
        "a 7-es busz 8 óra 45 perckor indul.",
        "üdülő, ötös, óra, üzlet, öröm, óvoda",
    ]),
    ("010_mondatok.lck", "Mondatok: közmondások", None, [
        "Lassan járj, tovább érsz.",
        "Ki korán kel, aranyat lel.",
        "Addig üsd a vasat, amíg meleg.",
        "Aki keres, az talál.",
        "Sok kicsi sokra megy.",
        "Ajándék lónak ne nézd a fogát.",
        "Nem zörög a haraszt, ha a szél nem fújja.",
        "Ki mint veti ágyát, úgy alussza álmát.",
        "Jobb ma egy veréb, mint holnap egy túzok.",
        "Az okos enged, a szamár szenved.",
    ]),
    ("011_szoveg.lck", "Folyó szöveg: reggel a piacon", None, [
        "Szombat reggel korán indultunk a piacra. A hűvös",
        "levegőben már érezni lehetett a friss kenyér és a főtt",
        "kukorica illatát. Az árusok sorban kipakolták a",
        "paradicsomot, a paprikát és a ropogós almát. Egy idős",
        "néni mézet kínált, és mindenkivel megkóstoltatta a",
        "legújabb termését. Vettünk két kiló krumplit, egy csokor",
        "petrezselymet és néhány szál virágot a konyhaasztalra.",
        "Hazafelé megálltunk a pékségnél is, mert a kakaós csiga",
        "még meleg volt. Otthon megterítettünk, és együtt",
        "reggeliztünk a teraszon, a nap már magasan járt.",
    ]),
    ("012_gyors.lck", "Gyorsasági gyakorlat: rövid, gyakori szavak", None, [
        "a az és is ez egy ha de meg el fel le ki be",
        "nem van volt lesz már még csak most itt ott",
        "jó sok kis nagy új régi szép hol mi mit hogy",
        "én te ő mi ti ők azt ezt így úgy akkor aztán",
        "kér ad visz hoz megy jön lát tud mond ír olvas",
        "ma holnap tegnap reggel este nap év hét óra",
        "ház kert út víz kéz fej szem ég föld fa tó",
        "és ha de meg is már még csak jó sok új kis ma",
    ]),
]


def check(name, title, keys, lines):
    if not 4 <= len(lines) <= 10:
        raise ValueError(f"{name}: {len(lines)} lines")
    for line in [title] + lines:
        if len(line) > MAX_LINE:
            raise ValueError(f"{name}: line longer than {MAX_LINE}: {line!r}")
        if line != line.strip() or "  " in line:
            raise ValueError(f"{name}: stray blanks in {line!r}")
    if keys is not None:
        allowed = set(keys) | {" "}
        for line in lines:
            extra = set(line) - allowed
            if extra:
                raise ValueError(f"{name}: keys not learnt yet {sorted(extra)} in {line!r}")


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, title, keys, lines in LESSONS:
        check(name, title, keys, lines)
        data = "".join(line + "\r\n" for line in [title] + lines).encode("cp1250")
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(data)
    print(f"wrote {len(LESSONS)} lessons into {OUT}", file=sys.stderr)


if __name__ == "__main__":
    main()
