#!/usr/bin/env python3
"""Makes the user guide's two forms from its one source, doc/user-guide.md.

    guide.py SOURCE PICTURE OUT.doc OUT.html

The .doc is RTF under a Word name, so that Word and LibreOffice Writer both open
it and Help finds it as before; the .html is one file with its picture and
styles inside, for a computer that has no program for the .doc. The markup the
source may use is described in doc/README.md; anything else stops the build
with the source's line, so that neither form can quietly lose text.
"""

import base64
import html
import re
import struct
import sys

# The RTF page is 12240 twips wide with two margins of 1440: tables fill the rest.
TABLE_TWIPS = 9360

BLOCK_START = re.compile(r"(#{1,2} |- |\d+\. |> |\||```)")


class GuideError(Exception):
    def __init__(self, line, message):
        super().__init__(f"line {line}: {message}")


# ---------------------------------------------------------------- the source


class Block:
    def __init__(self, kind, line, text="", **extra):
        self.kind = kind  # title, heading1, heading2, paragraph, bullet, number, note, message, code, table
        self.line = line
        self.text = text
        self.__dict__.update(extra)


def read_source(text):
    """The metadata (Key: value lines up to the first empty line) and the blocks."""
    lines = text.split("\n")
    meta = {}
    at = 0
    while at < len(lines) and lines[at].strip():
        key, sep, value = lines[at].partition(":")
        if not sep or not re.fullmatch(r"[A-Za-z]+", key):
            raise GuideError(at + 1, "the guide starts with Key: value lines (Title, Subtitle, Subject, Author)")
        meta[key.lower()] = value.strip()
        at += 1
    for key in ("title", "subtitle", "subject", "author"):
        if key not in meta:
            raise GuideError(1, f"no {key.capitalize()}: line at the top")

    blocks = []
    while at < len(lines):
        line = lines[at]
        number = at + 1
        if not line.strip():
            at += 1
            continue
        if line.startswith("```"):
            kind = {"": "code", "message": "message"}.get(line[3:].strip())
            if kind is None:
                raise GuideError(number, f"a fenced block is ``` or ```message, not {line!r}")
            end = at + 1
            while end < len(lines) and lines[end].rstrip() != "```":
                end += 1
            if end == len(lines):
                raise GuideError(number, "this ``` block is never closed")
            blocks.append(Block(kind, number, lines=[l.rstrip() for l in lines[at + 1 : end]]))
            at = end + 1
            continue
        if line.startswith("|"):
            end = at
            while end < len(lines) and lines[end].startswith("|"):
                end += 1
            blocks.append(read_table(lines[at:end], number))
            at = end
            continue

        # A paragraph, a heading, a list item or a note: lines up to an empty one or
        # the start of another block, joined with single spaces.
        end = at + 1
        if not line.startswith("#"):
            while end < len(lines) and lines[end].strip() and not BLOCK_START.match(lines[end]):
                end += 1
        joined = " ".join(l.strip() for l in lines[at:end])
        at = end
        if m := re.match(r"(#{1,2}) (.*)", joined):
            blocks.append(Block(f"heading{len(m.group(1))}", number, m.group(2).strip()))
        elif joined.startswith("#"):
            raise GuideError(number, "a heading is '# ' or '## ' followed by its text")
        elif joined.startswith("- "):
            blocks.append(Block("bullet", number, joined[2:]))
        elif m := re.match(r"(\d+)\. (.*)", joined):
            blocks.append(Block("number", number, m.group(2), value=int(m.group(1))))
        elif joined.startswith("> "):
            while at < len(lines) and lines[at].startswith("> "):
                joined += " " + lines[at][2:].strip()
                at += 1
            blocks.append(Block("note", number, joined[2:]))
        else:
            blocks.append(Block("paragraph", number, joined))

    for block in blocks:
        check_inline(block)
    return meta, blocks


def split_row(row, number):
    if not row.rstrip().endswith("|") or row.rstrip().endswith("\\|"):
        raise GuideError(number, "a table row starts and ends with |")
    cells = re.split(r"(?<!\\)\|", row.strip()[1:-1])
    # A \| stands for a | in the cell, inside a code span too.
    return [cell.strip().replace("\\|", "|") for cell in cells]


def read_table(rows, number):
    if len(rows) < 3:
        raise GuideError(number, "a table has a heading row, a row of dashes and at least one row")
    header = split_row(rows[0], number)
    rule = split_row(rows[1], number + 1)
    if not all(re.fullmatch(r":?-+:?", cell) for cell in rule):
        raise GuideError(number + 1, "the second row of a table holds only dashes, one run per column")
    body = [split_row(row, number + 2 + i) for i, row in enumerate(rows[2:])]
    for i, row in enumerate([header, rule] + body):
        if len(row) != len(header):
            raise GuideError(number + i, f"this row has {len(row)} cells where the table has {len(header)}")
    # The dashes of each column give its share of the width.
    dashes = [cell.count("-") for cell in rule]
    return Block("table", number, header=header, rows=body, shares=[d / sum(dashes) for d in dashes])


# One run of text: its characters and how they look; None stands for a line break.
class Run:
    def __init__(self, text, bold=False, italic=False, code=False):
        self.text, self.bold, self.italic, self.code = text, bold, italic, code


ESCAPABLE = "\\`*|<>#-_[]()"


def runs_of(text, number):
    """Splits inline markup: **bold**, *italic*, `code`, <br>, and \\ before a mark."""
    runs = []
    buffer = []
    bold = italic = False
    i = 0

    def flush():
        if buffer:
            runs.append(Run("".join(buffer), bold, italic))
            buffer.clear()

    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text) and text[i + 1] in ESCAPABLE:
            buffer.append(text[i + 1])
            i += 2
        elif text.startswith("<br>", i):
            flush()
            runs.append(None)
            i += 4
        elif c == "`":
            end = text.find("`", i + 1)
            if end < 0:
                raise GuideError(number, "a ` opens a code span that is never closed")
            flush()
            runs.append(Run(text[i + 1 : end], bold, italic, code=True))
            i = end + 1
        elif text.startswith("**", i):
            flush()
            bold = not bold
            i += 2
        elif c == "*":
            flush()
            italic = not italic
            i += 1
        else:
            buffer.append(c)
            i += 1
    flush()
    if bold or italic:
        raise GuideError(number, "a ** or * is never closed (write \\* for a star of the text)")
    return runs


def check_inline(block):
    if block.kind == "table":
        for row in [block.header] + block.rows:
            for cell in row:
                runs_of(cell, block.line)
    elif block.kind not in ("code", "message"):
        runs_of(block.text, block.line)


def plain(text, number):
    return "".join(run.text if run else " " for run in runs_of(text, number))


def contents(blocks):
    return [(plain(b.text, b.line), b) for b in blocks if b.kind == "heading1"]


def anchor(title):
    return re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-")


# ---------------------------------------------------------------- RTF

RTF_HEAD = r"""{\rtf1\ansi\ansicpg1252\deff0\uc1
{\fonttbl
{\f0\fswiss\fcharset0 Arial;}
{\f1\froman\fcharset0 Times New Roman;}
{\f2\fmodern\fcharset0 Courier New;}
}
{\colortbl;
\red0\green0\blue0;
\red36\green65\blue94;
\red59\green125\blue216;
\red160\green170\blue185;
\red226\green234\blue243;
\red243\green244\blue246;
\red255\green247\blue222;
\red168\green106\blue0;
\red90\green90\blue90;
}
{\stylesheet
{\s0\sa120\sl276\slmult1\f0\fs21 Normal;}
{\s1\keepn\sb360\sa120\outlinelevel0\f0\fs32\b\cf2\sbasedon0\snext0 heading 1;}
{\s2\keepn\sb240\sa80\outlinelevel1\f0\fs25\b\cf2\sbasedon0\snext0 heading 2;}
{\s10\sa60\f0\fs52\b\cf2\sbasedon0\snext11 Title;}
{\s11\sa240\f0\fs26\cf9\sbasedon0\snext0 Subtitle;}
{\s12\fi-284\li568\sa60\sl276\slmult1\tx568\f0\fs21\sbasedon0\snext12 List Bullet;}
{\s13\fi-284\li568\sa60\sl276\slmult1\tx568\f0\fs21\sbasedon0\snext13 List Number;}
{\s14\keep\li284\ri284\sb60\sa120\cbpat6\f2\fs18\sbasedon0\snext0 Plain Text;}
{\s15\keep\li284\ri284\sb60\sa120\brdrl\brdrs\brdrw30\brsp120\brdrcf3\cbpat6\f0\fs20\sbasedon0\snext0 Message;}
{\s16\li284\ri284\sb60\sa120\brdrl\brdrs\brdrw30\brsp120\brdrcf8\cbpat7\f0\fs20\sbasedon0\snext0 Note;}
{\s17\sa40\f0\fs19\sbasedon0\snext17 Table Contents;}
{\*\cs20\f2\fs19 Code;}
}
"""

RTF_NAMED = {"\u2013": r"\endash ", "\u2014": r"\emdash ", "\u2022": r"\bullet ", "\u00a0": r"\~"}


def rtf_text(text):
    out = []
    for c in text:
        if c in "\\{}":
            out.append("\\" + c)
        elif c in RTF_NAMED:
            out.append(RTF_NAMED[c])
        elif " " <= c <= "~":
            out.append(c)
        else:
            try:
                out.append("\\'%02x" % c.encode("cp1252")[0])
            except UnicodeEncodeError:
                # Readers that know \u show the letter, the others the question mark.
                for unit in struct.unpack("<%dh" % (len(c.encode("utf-16-le")) // 2), c.encode("utf-16-le")):
                    out.append("\\u%d?" % unit)
    return "".join(out)


def rtf_inline(text, number, code_size=19):
    out = []
    for run in runs_of(text, number):
        if run is None:
            out.append(r"\line ")
            continue
        words = ""
        if run.bold:
            words += r"\b"
        if run.italic:
            words += r"\i"
        if run.code:
            words += r"\f2\fs%d" % code_size
        out.append("{%s %s}" % (words, rtf_text(run.text)) if words else rtf_text(run.text))
    return "".join(out)


def rtf_lines(lines):
    # The space after \line ends the control word; an empty line needs none.
    return rtf_text(lines[0]) + "".join(r"\line" + (" " + rtf_text(l) if l else "") for l in lines[1:])


def rtf_picture(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise GuideError(0, "the title-page picture is not a PNG file")
    width, height = struct.unpack(">II", png[16:24])
    hexed = png.hex()
    lines = [hexed[i : i + 128] for i in range(0, len(hexed), 128)]
    # Shown 0.75 inch wide, whatever its pixels.
    goal = 1080
    return "{\\pict\\pngblip\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\n%s\n}" % (
        width, height, goal, goal * height // width, "\n".join(lines))


def rtf_table(block):
    edges = []
    share = 0.0
    for part in block.shares:
        share += part
        # Whole hundreds of twips, and the last edge at the margin.
        edges.append(round(TABLE_TWIPS * share / 100) * 100)
    edges[-1] = TABLE_TWIPS
    out = []
    for i, row in enumerate([block.header] + block.rows):
        head = i == 0
        cells = "".join(
            (r"\clvertalt\clbrdrb\brdrs\brdrw10\brdrcf4\clcbpat5\cellx%d" if head
             else r"\clvertalt\clbrdrb\brdrs\brdrw5\brdrcf4\cellx%d") % edge for edge in edges)
        out.append(r"\trowd\trgaph108\trleft0\trkeep" + (r"\trhdr" if head else "") + cells)
        style = r"\pard\plain\s17\intbl\keepn\sa40\f0\fs19\b " if head else r"\pard\plain\s17\intbl\sa40\f0\fs19 "
        out.append(style + "".join(rtf_inline(cell, block.line, 17) + r"\cell " for cell in row).rstrip() + r"\row")
    return out


def make_rtf(meta, blocks, png):
    out = [RTF_HEAD.rstrip("\n")]
    out.append("{\\info\n{\\title %s}\n{\\subject %s}\n{\\author %s}\n{\\company %s}\n}" % tuple(
        rtf_text(meta[k]) for k in ("title", "subject", "author", "author")))
    out.append(r"\paperw12240\paperh15840\margl1440\margr1440\margt1296\margb1296\widowctrl\ftnbj")
    out.append(r"\sectd\sbknone\pgnstarts1")
    out.append(r"{\footer\pard\plain\s0\qc\f0\fs16\cf9 %s \endash  page {\field{\*\fldinst PAGE}{\fldrslt 1}}\par}"
               % rtf_text(meta["title"]))
    out.append("")
    out.append(r"\pard\plain\s0\sa120 " + rtf_picture(png) + r"\par")
    out.append(r"\pard\plain\s10\sa60\f0\fs52\b\cf2 " + rtf_text(meta["title"]) + r"\par")
    out.append(r"\pard\plain\s11\sa240\f0\fs26\cf9 " + rtf_inline(meta["subtitle"], 2) + r"\par")
    out.append("")
    out.append(r"\pard\plain\s0\sa120\sl276\slmult1\f0\fs21 {\b In this guide:} "
               + r" \bullet  ".join(rtf_inline(b.text, b.line) for _, b in contents(blocks)) + r"\par")

    for i, block in enumerate(blocks):
        before = blocks[i - 1] if i else None
        after = blocks[i + 1] if i + 1 < len(blocks) else None
        # A paragraph that introduces a table, a message or an example stays on its page.
        keep = r"\keepn" if after and after.kind in ("table", "message", "code") else ""
        # After a table the text stands off from its last row.
        space = r"\sb120" if before and before.kind == "table" else ""
        list_end = not after or after.kind != block.kind
        text = lambda: rtf_inline(block.text, block.line)
        if block.kind == "heading1":
            out.append("")
            out.append(r"\pard\plain\s1\keepn\sb360\sa120\outlinelevel0\f0\fs32\b\cf2 " + text() + r"\par")
        elif block.kind == "heading2":
            out.append(r"\pard\plain\s2\keepn\sb240\sa80\outlinelevel1\f0\fs25\b\cf2 " + text() + r"\par")
        elif block.kind == "paragraph":
            out.append(r"\pard\plain\s0%s%s\sa120\sl276\slmult1\f0\fs21 " % (keep, space) + text() + r"\par")
        elif block.kind in ("bullet", "number"):
            style = 12 if block.kind == "bullet" else 13
            mark = r"\bullet" if block.kind == "bullet" else "%d." % block.value
            out.append(r"\pard\plain\s%d\fi-284\li568\sa%d\sl276\slmult1\tx568\f0\fs21 %s\tab "
                       % (style, 120 if list_end else 60, mark) + text() + r"\par")
        elif block.kind == "note":
            out.append(r"\pard\plain\s16\li284\ri284\sb%d\sa120\brdrl\brdrs\brdrw30\brsp120\brdrcf8\cbpat7\f0\fs20 "
                       % (180 if space else 60) + text() + r"\par")
        elif block.kind == "message":
            out.append(r"\pard\plain\s15\keep\li284\ri284\sb60\sa120\brdrl\brdrs\brdrw30\brsp120\brdrcf3\cbpat6\f0\fs20 "
                       + rtf_lines(block.lines) + r"\par")
        elif block.kind == "code":
            out.append(r"\pard\plain\s14\keep\li284\ri284\sb60\sa120\cbpat6\f2\fs18 "
                       + rtf_lines(block.lines) + r"\par")
        elif block.kind == "table":
            out.extend(rtf_table(block))
    out.append("}")
    return "\n".join(out) + "\n"


# ---------------------------------------------------------------- HTML

HTML_STYLE = """
body { font: 10.5pt/1.45 Arial, "Liberation Sans", Helvetica, sans-serif; color: #000; margin: 2em auto; max-width: 46em; padding: 0 1.5em; }
h1, h2, h3 { color: #24415e; page-break-after: avoid; }
h1.title { font-size: 26pt; margin: 0.3em 0 0.1em; }
p.subtitle { font-size: 13pt; color: #5a5a5a; margin: 0 0 1.2em; }
h2 { font-size: 16pt; margin: 1.5em 0 0.4em; }
h3 { font-size: 12.5pt; margin: 1.1em 0 0.3em; }
p { margin: 0 0 0.6em; }
ul, ol { margin: 0 0 0.6em; padding-left: 2em; }
li { margin: 0 0 0.3em; }
code, pre { font-family: "Courier New", "Liberation Mono", monospace; }
code { font-size: 95%; }
pre, div.message, div.note { margin: 0.3em 1.4em 0.6em; padding: 0.4em 0.8em; }
pre { background: #f3f4f6; font-size: 9pt; white-space: pre-wrap; }
div.message { background: #f3f4f6; border-left: 3px solid #3b7dd8; font-size: 10pt; }
div.note { background: #fff7de; border-left: 3px solid #a86a00; font-size: 10pt; }
table { border-collapse: collapse; width: 100%; margin: 0.3em 0 0.8em; font-size: 9.5pt; }
th { background: #e2eaf3; text-align: left; border-bottom: 1px solid #a0aab9; }
td { border-bottom: 0.5px solid #a0aab9; }
th, td { padding: 0.2em 0.4em; vertical-align: top; }
nav a, h2 a { color: inherit; }
"""


def html_inline(text, number):
    out = []
    for run in runs_of(text, number):
        if run is None:
            out.append("<br>")
            continue
        piece = html.escape(run.text, quote=False)
        if run.code:
            piece = "<code>%s</code>" % piece
        if run.italic:
            piece = "<i>%s</i>" % piece
        if run.bold:
            piece = "<b>%s</b>" % piece
        out.append(piece)
    return "".join(out)


def make_html(meta, blocks, png):
    title = html.escape(meta["title"], quote=False)
    out = [
        "<!DOCTYPE html>",
        '<html lang="en">',
        "<head>",
        '<meta charset="utf-8">',
        '<meta name="viewport" content="width=device-width, initial-scale=1">',
        '<meta name="author" content="%s">' % html.escape(meta["author"]),
        '<meta name="description" content="%s">' % html.escape(meta["subject"]),
        "<title>%s</title>" % title,
        "<style>%s</style>" % HTML_STYLE,
        "</head>",
        "<body>",
        "<header>",
        '<img src="data:image/png;base64,%s" width="72" height="72" alt="">' % base64.b64encode(png).decode(),
        '<h1 class="title">%s</h1>' % title,
        '<p class="subtitle">%s</p>' % html_inline(meta["subtitle"], 2),
        "</header>",
        '<nav aria-label="In this guide"><p><b>In this guide:</b> %s</p></nav>' % " \u2022 ".join(
            '<a href="#%s">%s</a>' % (anchor(name), html_inline(b.text, b.line)) for name, b in contents(blocks)),
        "<main>",
    ]
    open_list = None
    for block in blocks:
        wanted = {"bullet": "ul", "number": "ol"}.get(block.kind)
        if open_list and open_list != wanted:
            out.append("</%s>" % open_list)
            open_list = None
        if wanted and not open_list:
            out.append("<%s>" % wanted)
            open_list = wanted
        text = lambda: html_inline(block.text, block.line)
        if block.kind == "heading1":
            out.append('<h2 id="%s">%s</h2>' % (anchor(plain(block.text, block.line)), text()))
        elif block.kind == "heading2":
            out.append("<h3>%s</h3>" % text())
        elif block.kind == "paragraph":
            out.append("<p>%s</p>" % text())
        elif block.kind == "bullet":
            out.append("<li>%s</li>" % text())
        elif block.kind == "number":
            out.append('<li value="%d">%s</li>' % (block.value, text()))
        elif block.kind == "note":
            out.append('<div class="note" role="note"><p>%s</p></div>' % text())
        elif block.kind == "message":
            out.append('<div class="message"><p>%s</p></div>'
                       % "<br>".join(html.escape(l, quote=False) for l in block.lines))
        elif block.kind == "code":
            out.append("<pre>%s</pre>" % html.escape("\n".join(block.lines), quote=False))
        elif block.kind == "table":
            columns = "".join('<col style="width:%.0f%%">' % (100 * s) for s in block.shares)
            out.append("<table><colgroup>%s</colgroup>" % columns)
            out.append("<thead><tr>%s</tr></thead>" % "".join(
                '<th scope="col">%s</th>' % html_inline(c, block.line) for c in block.header))
            out.append("<tbody>")
            for row in block.rows:
                out.append("<tr>%s</tr>" % "".join("<td>%s</td>" % html_inline(c, block.line) for c in row))
            out.append("</tbody></table>")
    if open_list:
        out.append("</%s>" % open_list)
    out += ["</main>", "</body>", "</html>"]
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) != 5:
        print("usage: guide.py SOURCE PICTURE OUT.doc OUT.html", file=sys.stderr)
        return 2
    source, picture, doc, page = argv[1:]
    try:
        with open(source, encoding="utf-8") as f:
            meta, blocks = read_source(f.read().replace("\r\n", "\n"))
        with open(picture, "rb") as f:
            png = f.read()
        rtf = make_rtf(meta, blocks, png)
        page_text = make_html(meta, blocks, png)
    except GuideError as error:
        print(f"{source}:{error}", file=sys.stderr)
        return 1
    except UnicodeDecodeError as error:
        print(f"{source}: not UTF-8 ({error})", file=sys.stderr)
        return 1
    # Only ASCII goes into the RTF: every other letter is escaped for cp1252 or Unicode.
    with open(doc, "w", encoding="ascii", newline="\n") as f:
        f.write(rtf)
    with open(page, "w", encoding="utf-8", newline="\n") as f:
        f.write(page_text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
