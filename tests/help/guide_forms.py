#!/usr/bin/env python3
"""The user guide's two forms carry the same text: every title, heading,
paragraph, list item, table cell, note, message and example, in the same order,
each read back by a reader of its own kind, and every heading of the source
is among them. Usage: guide_forms.py SOURCE.md GUIDE.doc GUIDE.html"""

import html.parser
import re
import sys

SKIPPED_GROUPS = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "footer", "header"}
NAMED = {"bullet": "\u2022", "endash": "\u2013", "emdash": "\u2014", "tab": " ", "line": "\n"}


def rtf_units(data):
    """The text of every paragraph and table cell of an RTF document."""
    if not data.isascii():
        raise AssertionError("the .doc holds bytes beyond ASCII, which RTF must escape")
    text = data.decode("ascii")
    token = re.compile(r"\\'([0-9a-fA-F]{2})|\\u(-?\d+) ?\??|\\([a-z]+)(-?\d+)? ?|\\(.)|([{}])|([^\\{}\r\n]+)|[\r\n]")
    units, current = [], []
    stack = [False]  # per group: is its text skipped
    at = 0
    while at < len(text):
        m = token.match(text, at)
        if not m:
            raise AssertionError(f"the .doc cannot be read at offset {at}: {text[at:at + 20]!r}")
        at = m.end()
        hexed, uni, word, _, symbol, brace, chars = m.groups()
        if brace == "{":
            stack.append(stack[-1])
            # A group opened by \* or one of the document's tables holds no text of the guide.
            if re.match(r"\\\*|\\(%s)\b" % "|".join(SKIPPED_GROUPS), text[at:]):
                stack[-1] = True
            continue
        if brace == "}":
            stack.pop()
            if not stack:
                raise AssertionError("the .doc closes more groups than it opens")
            continue
        if stack[-1]:
            continue
        if hexed:
            current.append(bytes([int(hexed, 16)]).decode("cp1252"))
        elif uni:
            current.append(chr(int(uni) % 65536))
        elif symbol:
            current.append({"~": "\u00a0", "\\": "\\", "{": "{", "}": "}"}.get(symbol, ""))
        elif word in ("par", "cell"):
            units.append("".join(current))
            current = []
        elif word in NAMED:
            current.append(NAMED[word])
        elif chars:
            current.append(chars)
    if len(stack) != 1:
        raise AssertionError("the .doc leaves %d groups open" % (len(stack) - 1))
    return units


class HtmlUnits(html.parser.HTMLParser):
    BLOCKS = {"h1", "h2", "h3", "p", "li", "th", "td", "pre"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.units, self.current, self.open, self.lists = [], None, [], []

    def handle_starttag(self, tag, attrs):
        if tag in ("ul", "ol"):
            self.lists.append(tag)
        if tag == "br" and self.current is not None:
            self.current.append("\n")
        if tag in self.BLOCKS:
            if self.current is not None:
                raise AssertionError(f"<{tag}> inside another block")
            self.current = []
            if tag == "li":
                self.current.append("\u2022 " if self.lists[-1] == "ul" else dict(attrs)["value"] + ". ")
        if tag not in ("br", "img", "meta", "col"):
            self.open.append(tag)

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            raise AssertionError(f"</{tag}> closes <{self.open[-1] if self.open else 'nothing'}>")
        self.open.pop()
        if tag in ("ul", "ol"):
            self.lists.pop()
        if tag in self.BLOCKS:
            self.units.append("".join(self.current))
            self.current = None

    def handle_data(self, data):
        if self.current is not None:
            self.current.append(data)


def normalized(units):
    out = []
    for unit in units:
        lines = [re.sub(r"[ \t]+", " ", line).strip() for line in unit.split("\n")]
        text = "\n".join(lines).strip("\n")
        if text:
            out.append(text)
    return out


def main(source, doc, page):
    with open(doc, "rb") as f:
        from_doc = normalized(rtf_units(f.read()))
    reader = HtmlUnits()
    with open(page, encoding="utf-8") as f:
        reader.feed(f.read())
    reader.close()
    if reader.open:
        raise AssertionError(f"the .html leaves {reader.open} open")
    from_page = normalized(reader.units)

    for i, (a, b) in enumerate(zip(from_doc, from_page)):
        if a != b:
            raise AssertionError(f"text {i + 1} differs:\n  .doc:  {a!r}\n  .html: {b!r}")
    if len(from_doc) != len(from_page):
        longer, name = (from_doc, ".doc") if len(from_doc) > len(from_page) else (from_page, ".html")
        raise AssertionError(f"only the {name} goes on with {longer[min(len(from_doc), len(from_page))]!r}")

    headings, fenced = [], False
    with open(source, encoding="utf-8") as f:
        for line in f:
            fenced ^= line.startswith("```")
            if not fenced and re.match(r"#{1,2} ", line):
                headings.append(re.sub(r"[*`\\]", "", line.lstrip("#").strip()))
    missing = [h for h in headings if h not in from_doc]
    if missing or len(headings) < 10:
        raise AssertionError(f"headings of the source missing from both forms: {missing or headings}")
    print(f"{len(from_doc)} texts alike in both forms, {len(headings)} headings among them")


if __name__ == "__main__":
    try:
        main(*sys.argv[1:])
    except AssertionError as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
