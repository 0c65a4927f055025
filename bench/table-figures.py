#!/usr/bin/env python3
"""Prints the content figures of the two default tables built by
`lugatim-import defaults`: entries, share with a part of speech and with a
real example, and counts of the scanning and layout noise classes.

    bench/table-figures.py DIR            # DIR holds Sozluk1.DB and SozlukE1.DB
    bench/table-figures.py DIR --sample 50 --seed 11

The noise classes are counted with patterns, independently of the importer:
  I-for-l      a capital I between small letters ("öIdürmek", "âIâ"), or a
               Turkish headword starting with I and a small letter that
               WordNet does not know ("Iahana")
  stress mark  a small ASCII word with an apostrophe inside ("abdica'tion")
               that WordNet knows or that starts like the headword
  one-letter   a one-letter English gloss of a Turkish headword
  broken head  a headword of several parts, one a lone letter other than
               a, i, o ("b b gun", "millenniu m", "k , k")
  derived ex.  an example line that is one English word formed from the
               headword followed by its translation ("strategist strateji")

and the order and fit of what a learner meets first:
  mixed POS    a part-of-speech label of the other table's language in
               Kategori ("zam." or "bağlaç" for a Turkish headword, "n." for
               an English one)
  numbered ex. a numbered example line that is a phrase of the headword and
               its translation, not a sentence ("26. go a long way çok iş
               görmek"): it opens with the headword in small letters
  example POS  an unnumbered (WordNet) example whose quote WordNet gives only
               under parts of speech other than the entry's first one
  duplicates   headwords with several entries, and of them those whose first
               entry is not of the word's most frequent part of speech
               (WordNet's tagged counts per part of speech, cntlist.rev) or
               is an abbreviation, affix or archaic entry while a later one
               is none
"""
import os
import random
import re
import sqlite3
import sys

WORDNET = "/usr/share/wordnet"
SMALL = "a-zçğıöşüâîû"


def wordnet_lemmas():
    lemmas = set()
    for pos in ("noun", "verb", "adj", "adv"):
        path = os.path.join(WORDNET, "index." + pos)
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                if not line.startswith(" "):
                    lemmas.add(line.split(" ", 1)[0].replace("_", " "))
    return lemmas


POS_OF_TYPE = {"1": "n", "2": "v", "3": "a", "4": "r", "5": "a"}
TR_POS = {"i.": "n", "f.": "v", "s.": "a", "zf.": "r"}
EN_POS_LABELS = ("n.", "v.", "adj.", "adv.", "pron.", "prep.", "postp.", "conj.", "interj.")
TR_POS_LABELS = ("i.", "f.", "s.", "zf.", "zam.", "edat", "bağlaç", "ünlem")


def wordnet_pos_counts():
    """lemma -> {pos: tagged count} from cntlist.rev."""
    counts = {}
    path = os.path.join(WORDNET, "cntlist.rev")
    if os.path.exists(path):
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                parts = line.split()
                if len(parts) < 3 or "%" not in parts[0]:
                    continue
                lemma, key = parts[0].split("%", 1)
                pos = POS_OF_TYPE.get(key[:1])
                if pos:
                    d = counts.setdefault(lemma.replace("_", " "), {})
                    d[pos] = d.get(pos, 0) + int(parts[2])
    return counts


def wordnet_quote_pos():
    """quoted gloss example -> set of the parts of speech it is given under."""
    quotes = {}
    for name, pos in (("noun", "n"), ("verb", "v"), ("adj", "a"), ("adv", "r")):
        path = os.path.join(WORDNET, "data." + name)
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith(" ") or " | " not in line:
                    continue
                for q in re.findall(r'"([^"]+)"', line.split(" | ", 1)[1]):
                    quotes.setdefault(q.strip(), set()).add(pos)
    return quotes


def labels_of(kategori):
    return [l.strip() for l in kategori.split(", ") if l.strip()]


DEMOTED = ("kıs.", "eski", "iskoç.", "leh.")


def demoted(r):
    """An affix entry, or one whose first sense opens with an abbreviation,
    archaic or dialect label."""
    first = re.sub(r"^\d+\. ", "", r[3].split("\n")[0])
    m = re.match(r"((\([^()]*\),? ?)+)", first)
    leading = re.findall(r"\(([^()]*)\)", m.group(1)) if m else []
    return bool(r[2]) or any(l.strip().lower().replace(" ", "") in DEMOTED for l in leading)


def order_figures(data, counts):
    groups = {}
    for i, r in enumerate(data):
        groups.setdefault(r[0], []).append(r)
    dup = [g for g in groups.values() if len(g) > 1]
    rows = sum(len(g) for g in dup)
    wrong_pos = 0
    demoted_first = 0
    for g in dup:
        if demoted(g[0]) and any(not demoted(r) for r in g[1:]):
            demoted_first += 1
        c = counts.get(g[0][0].lower())
        if not c:
            continue
        best = max(c, key=c.get)
        pos = [TR_POS.get(labels_of(r[1])[0]) if labels_of(r[1]) else None for r in g]
        if best in pos and pos[0] != best:
            wrong_pos += 1
    return len(dup), rows, wrong_pos, demoted_first


def example_figures(data, quotes):
    numbered = 0
    lines_total = 0
    pos_differs = 0
    for r in data:
        head = r[0].lower() + " "
        labels = labels_of(r[1])
        own = TR_POS.get(labels[0]) if labels else None
        for line in r[4].split("\n"):
            if not line:
                continue
            lines_total += 1
            m = re.match(r"(\d+)\. ", line)
            if m and line[m.end():].startswith(head):
                numbered += 1
            if not m and own and line.strip() in quotes and own not in quotes[line.strip()]:
                pos_differs += 1
    return lines_total, numbered, pos_differs


def rows(path, table):
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    # The tables' folding indexes name Lugatim's own collations; the rows are
    # read in SiraNo order, so any order satisfies them here.
    for name in ("LUGATIM_NOCASE_EN", "LUGATIM_NOCASE_TR", "LUGATIM_NOMARKS_EN", "LUGATIM_NOMARKS_TR"):
        db.create_collation(name, lambda a, b: (a > b) - (a < b))
    out = db.execute(
        "SELECT Kelime, Kategori, OnekSonek, Anlami, Ornek FROM %s ORDER BY SiraNo" % table
    ).fetchall()
    db.close()
    return out


I_FOR_L = re.compile("[%s]I[%s]" % (SMALL, SMALL))
STRESS = re.compile(r"(?<![A-Za-z])[a-z]{2,}' ?[a-z]+")
LONE = re.compile(r"(^| )[b-hj-np-z]( |$)")


def derived_example(line, head, lemmas):
    text = re.sub(r"^\d+\. ", "", line)
    n = 0
    for piece in re.split(r"(?<=[.:]) ", text):
        words = piece.split()
        if len(words) < 2:
            continue
        first = words[0].lower().strip(".,;:")
        h = head.lower()
        if first == h or len(h) < 4 or not first.startswith(h[:4]):
            continue
        if words[1].lower().strip(".,;:") in lemmas:
            continue  # a phrase of English words: an example
        n += 1
    return n


def figures(name, data, lemmas, turkish, counts, quotes):
    total = len(data)
    pos_en = re.compile(r"^(n\.|v\.|adj\.|adv\.|pron\.|prep\.|postp\.|conj\.|interj\.)")
    pos_tr = re.compile(r"^(i\.|f\.|s\.|zf\.|zm\.|edat|bağ\.|ünl\.)")
    pos = pos_en if turkish else pos_tr
    with_pos = sum(1 for r in data if pos.match(r[1]))
    i_tokens = sum(len(I_FOR_L.findall(r[0] + " " + r[3] + " " + r[4])) for r in data)
    i_heads = sum(
        1
        for r in data
        if I_FOR_L.search(r[0])
        or (turkish and re.match("I[%s]" % SMALL, r[0]) and r[0].lower() not in lemmas)
    )
    stress = 0
    stress_examples = 0
    for r in data:
        head = r[0].lower()[:3]
        for m in STRESS.finditer(r[3]):
            word = m.group(0).replace("'", "").replace(" ", "")
            if word.startswith(head) or word in lemmas:
                stress += 1
        for m in STRESS.finditer(r[4]):
            word = m.group(0).replace("'", "").replace(" ", "")
            if word.startswith(head) or word in lemmas:
                stress_examples += 1
    one_letter = 0
    if turkish:
        for r in data:
            for line in r[3].split("\n"):
                line = re.sub(r"^\d+\. ", "", line)
                one_letter += sum(1 for p in line.split(", ") if len(p.strip()) == 1)
    broken = sum(1 for r in data if " " in r[0].strip() and LONE.search(r[0]))
    derived = 0
    real_example = 0
    if not turkish:
        for r in data:
            lines = [l for l in r[4].split("\n") if l]
            d = sum(derived_example(l, r[0], lemmas) for l in lines)
            derived += d
            if lines and any(derived_example(l, r[0], lemmas) == 0 for l in lines):
                real_example += 1
    print("%s: %d entries" % (name, total))
    print("  with a part of speech: %d (%.1f %%)" % (with_pos, 100.0 * with_pos / max(total, 1)))
    if not turkish:
        print("  with a real example:   %d (%.1f %%)" % (real_example, 100.0 * real_example / total))
        print("  derived-word examples: %d" % derived)
    print("  I-for-l tokens: %d, headwords: %d" % (i_tokens, i_heads))
    print("  stress-marked words in meanings: %d, in examples: %d" % (stress, stress_examples))
    if turkish:
        print("  one-letter glosses: %d" % one_letter)
    print("  broken headwords: %d" % broken)
    other = EN_POS_LABELS if not turkish else TR_POS_LABELS
    mixed = sum(1 for r in data if any(l in other for l in labels_of(r[1])))
    print("  mixed-language part-of-speech labels: %d entries" % mixed)
    if not turkish:
        lines_total, numbered, pos_differs = example_figures(data, quotes)
        print("  example lines: %d, numbered phrase senses among them: %d (%.1f %%)"
              % (lines_total, numbered, 100.0 * numbered / max(lines_total, 1)))
        print("  WordNet examples of another part of speech: %d" % pos_differs)
        groups, rows_in, wrong_pos, demoted_first = order_figures(data, counts)
        print("  duplicate headwords: %d (%d rows, %.1f %%); first entry not of the most frequent"
              " part of speech: %d; first entry abbreviation/affix/archaic: %d"
              % (groups, rows_in, 100.0 * rows_in / max(total, 1), wrong_pos, demoted_first))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    sample = 0
    seed = 11
    if "--sample" in sys.argv:
        sample = int(sys.argv[sys.argv.index("--sample") + 1])
    if "--seed" in sys.argv:
        seed = int(sys.argv[sys.argv.index("--seed") + 1])
    lemmas = wordnet_lemmas()
    counts = wordnet_pos_counts()
    quotes = wordnet_quote_pos()
    for file, turkish in (("Sozluk1.DB", False), ("SozlukE1.DB", True)):
        path = os.path.join(folder, file)
        data = rows(path, file[:-3])
        figures(file, data, lemmas, turkish, counts, quotes)
        print("  file size: %d bytes" % os.path.getsize(path))
        if sample:
            rnd = random.Random(seed)
            for r in rnd.sample(data, sample):
                meaning = r[3].split("\n")[0]
                example = r[4].split("\n")[0]
                print("   | %s | %s | %s | %s" % (r[0], r[1], meaning[:90], example[:70]))


if __name__ == "__main__":
    main()
