#!/usr/bin/python3
"""Builds the two user manuals embedded in the program as HELP_PDF resources.

    /usr/bin/python3 tools/manuals/build_manuals.py

reads manual_en.md and manual_zh.md next to this script and writes
resources/manuals/manual_en.pdf and manual_zh.pdf. The output is
deterministic: the same sources give byte-identical files, so the committed
PDFs change only when the text or the pictures do. Needs Debian's
python3-reportlab, fonts-dejavu-core and fonts-wqy-microhei.

The source format is a small Markdown subset: "# title", "subtitle: text",
"## heading", paragraphs, "- bullet", "| table | rows |" (the first row is the
header), "**bold**" and "[figure:name]" for a picture from figures.py.
"""
import argparse
import html
import pathlib
import re
import sys

from reportlab.lib import colors
from reportlab.lib.enums import TA_LEFT
from reportlab.lib.pagesizes import A4
from reportlab.lib.styles import ParagraphStyle
from reportlab.lib.units import mm
from reportlab.lib import textsplit as rl_textsplit
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.platypus import paragraph as rl_paragraph
from reportlab.platypus import (HRFlowable, KeepTogether, ListFlowable, ListItem, Paragraph, SimpleDocTemplate,
                                Spacer, Table, TableStyle)

import figures

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent
OUT = REPO / "resources" / "manuals"

DEJAVU = pathlib.Path("/usr/share/fonts/truetype/dejavu")
WQY = pathlib.Path("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc")

LANGUAGES = {
    "en": {
        "source": "manual_en.md",
        "output": "manual_en.pdf",
        "font": "DejaVuSans",
        "bold": "DejaVuSans-Bold",
        "wrap": None,
        "footer": "Presenter Vela — User Manual",
        "page": "Page %d",
        "figures": {
            "remote": {"effect": "Effect key (hold)", "page": "Page keys: back / forward", "scene": "Scene key",
                       "size": "Size keys: smaller / larger", "black": "Black-screen key", "receiver": "USB receiver"},
            "effects": {"spotlight": "Spotlight", "magnifier": "Magnifier", "laser": "Digital laser",
                        "black": "Black screen"},
            "settings": {"title": "Presenter Vela", "help": "Help", "update": "Update",
                         "pointer": "Pointer in spotlight", "brightness": "Brightness", "color": "Circle colour",
                         "speed": "Pointer speed", "autoboot": "AutoBoot", "antilost": "Anti-lost", "timer": "Timer",
                         "minutes": "minutes", "version": "Version 1.0.0.1"},
            "tray": {"tip_linked": "Presenter Vela", "tip_unlinked": "Presenter Vela\n(No Dongle)",
                     "linked": "Linked: coloured icon", "unlinked": "Not linked: grey icon",
                     "launch": "Launch Presenter Vela", "quit": "Quit", "menu": "Right-click menu"},
        },
    },
    "zh": {
        "source": "manual_zh.md",
        "output": "manual_zh.pdf",
        "font": "WenQuanYiMicroHei",
        "bold": "WenQuanYiMicroHei",
        "wrap": "CJK",
        "footer": "翻页笔Vela 使用说明书",
        "page": "第 %d 页",
        "figures": {
            "remote": {"effect": "效果键（按住）", "page": "翻页键：上一页 / 下一页", "scene": "场景键",
                       "size": "大小键：缩小 / 放大", "black": "黑屏键", "receiver": "USB 接收器"},
            "effects": {"spotlight": "聚光灯", "magnifier": "放大镜", "laser": "数字激光", "black": "黑屏"},
            "settings": {"title": "翻页笔Vela", "help": "帮助", "update": "升级", "pointer": "聚光灯内显示指针",
                         "brightness": "亮度", "color": "圆圈颜色", "speed": "指针速度", "autoboot": "开机启动",
                         "antilost": "防丢", "timer": "计时器", "minutes": "分钟", "version": "版本 1.0.0.1"},
            "tray": {"tip_linked": "翻页笔Vela", "tip_unlinked": "翻页笔Vela\n(请插入接收器)",
                     "linked": "已连接：彩色图标", "unlinked": "未连接：灰色图标", "launch": "打开翻页笔Vela",
                     "quit": "退出", "menu": "右键菜单"},
        },
    },
}

FIGURES = {"remote": figures.remote, "effects": figures.effects, "settings": figures.settings,
           "tray": figures.tray}


def teach_chinese_line_breaking():
    """Full-width punctuation must not start a line; the stock list misses most of it."""
    extra = "\uff0c\uff1a\uff1b\uff01\uff1f\u201d\u2019\u300b"
    rl_paragraph.ALL_CANNOT_START += extra  # paragraphs with markup
    rl_textsplit.ALL_CANNOT_START += extra  # plain paragraphs


def register_fonts():
    pdfmetrics.registerFont(TTFont("DejaVuSans", str(DEJAVU / "DejaVuSans.ttf")))
    pdfmetrics.registerFont(TTFont("DejaVuSans-Bold", str(DEJAVU / "DejaVuSans-Bold.ttf")))
    pdfmetrics.registerFontFamily("DejaVuSans", normal="DejaVuSans", bold="DejaVuSans-Bold",
                                  italic="DejaVuSans", boldItalic="DejaVuSans-Bold")
    pdfmetrics.registerFont(TTFont("WenQuanYiMicroHei", str(WQY), subfontIndex=0))
    pdfmetrics.registerFontFamily("WenQuanYiMicroHei", normal="WenQuanYiMicroHei", bold="WenQuanYiMicroHei",
                                  italic="WenQuanYiMicroHei", boldItalic="WenQuanYiMicroHei")


def styles(lang):
    font, bold, wrap = lang["font"], lang["bold"], lang["wrap"]
    base = dict(fontName=font, wordWrap=wrap, alignment=TA_LEFT)
    return {
        "title": ParagraphStyle("title", fontName=bold, fontSize=26, leading=32, textColor=figures.INK,
                                wordWrap=wrap),
        "subtitle": ParagraphStyle("subtitle", fontName=font, fontSize=12, leading=17, textColor=colors.grey,
                                   wordWrap=wrap, spaceAfter=4),
        "h2": ParagraphStyle("h2", fontName=bold, fontSize=15, leading=20, textColor=figures.ACCENT, spaceBefore=12,
                             spaceAfter=6, wordWrap=wrap, keepWithNext=1),
        "body": ParagraphStyle("body", fontSize=10.5, leading=15.5, spaceAfter=6, **base),
        "cell": ParagraphStyle("cell", fontSize=9.5, leading=13.5, **base),
        "head": ParagraphStyle("head", fontName=bold, fontSize=9.5, leading=13.5, textColor=colors.white,
                               wordWrap=wrap),
    }


def inline(text, lang):
    """Escapes the text and turns **bold** into markup; CJK bold is shown in the accent colour."""
    text = html.escape(text, quote=False)
    if lang["wrap"] == "CJK":
        return re.sub(r"\*\*(.+?)\*\*", r'<font color="#c0601a">\1</font>', text)
    return re.sub(r"\*\*(.+?)\*\*", r"<b>\1</b>", text)


def table(rows, st, lang):
    data = [[Paragraph(inline(c, lang), st["head"] if i == 0 else st["cell"]) for c in row]
            for i, row in enumerate(rows)]
    t = Table(data, colWidths=[45 * mm, 125 * mm], repeatRows=1)
    t.setStyle(TableStyle([
        ("BACKGROUND", (0, 0), (-1, 0), figures.INK),
        ("ROWBACKGROUNDS", (0, 1), (-1, -1), [colors.white, colors.HexColor("#eef2f5")]),
        ("GRID", (0, 0), (-1, -1), 0.4, colors.HexColor("#c5cdd4")),
        ("VALIGN", (0, 0), (-1, -1), "TOP"),
        ("TOPPADDING", (0, 0), (-1, -1), 4),
        ("BOTTOMPADDING", (0, 0), (-1, -1), 5),
    ]))
    return t


def parse(source, st, lang):
    story, bullets, rows = [], [], []

    def flush():
        if bullets:
            story.append(ListFlowable([ListItem(Paragraph(b, st["body"]), leftIndent=12) for b in bullets],
                                      bulletType="bullet", start="•", leftIndent=12, bulletFontName=lang["font"]))
            bullets.clear()
        if rows:
            story.append(table(list(rows), st, lang))
            story.append(Spacer(1, 8))
            rows.clear()

    for raw in source.splitlines():
        line = raw.strip()
        if line.startswith("- "):
            if rows:
                flush()
            bullets.append(inline(line[2:], lang))
            continue
        if line.startswith("|"):
            if bullets:
                flush()
            rows.append([c.strip() for c in line.strip("|").split("|")])
            continue
        flush()
        if not line:
            continue
        if line.startswith("## "):
            story.append(Paragraph(inline(line[3:], lang), st["h2"]))
        elif line.startswith("# "):
            story.append(Paragraph(inline(line[2:], lang), st["title"]))
        elif line.startswith("subtitle:"):
            story.append(Paragraph(inline(line[len("subtitle:"):].strip(), lang), st["subtitle"]))
            story.append(HRFlowable(width="100%", thickness=1.5, color=figures.ACCENT, spaceAfter=6))
        elif m := re.fullmatch(r"\[figure:(\w+)\]", line):
            name = m.group(1)
            drawing = FIGURES[name](lang["figures"][name], lang["font"])
            group = [Spacer(1, 4), drawing, Spacer(1, 8)]
            if story and getattr(story[-1], "style", None) is st["h2"]:
                group.insert(0, story.pop())  # a heading stays with its picture
            story.append(KeepTogether(group))
        else:
            story.append(Paragraph(inline(line, lang), st["body"]))
    flush()
    return story


def footer(lang):
    def draw(canvas, doc):
        canvas.saveState()
        canvas.setFont(lang["font"], 8.5)
        canvas.setFillColor(colors.grey)
        canvas.drawString(20 * mm, 12 * mm, lang["footer"])
        canvas.drawRightString(A4[0] - 20 * mm, 12 * mm, lang["page"] % doc.page)
        canvas.setStrokeColor(figures.ACCENT)
        canvas.setLineWidth(0.6)
        canvas.line(20 * mm, 16 * mm, A4[0] - 20 * mm, 16 * mm)
        canvas.restoreState()
    return draw


def build(code, out_dir):
    lang = LANGUAGES[code]
    source = (HERE / lang["source"]).read_text(encoding="utf-8")
    title = source.splitlines()[0].lstrip("# ").strip()
    out = out_dir / lang["output"]
    doc = SimpleDocTemplate(str(out), pagesize=A4, leftMargin=20 * mm, rightMargin=20 * mm, topMargin=18 * mm,
                            bottomMargin=22 * mm, title=title, author="Korvel", subject=lang["footer"],
                            creator="tools/manuals/build_manuals.py", invariant=1)
    doc.build(parse(source, styles(lang), lang), onFirstPage=footer(lang), onLaterPages=footer(lang))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=OUT, help="output folder (default: resources/manuals)")
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    register_fonts()
    teach_chinese_line_breaking()
    for code in LANGUAGES:
        path = build(code, args.out)
        print(f"{path}: {path.stat().st_size} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
