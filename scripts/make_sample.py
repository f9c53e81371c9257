#!/usr/bin/env python3
"""Regenerates the bundled sample collection in sample/.

Usage:  python3 scripts/make_sample.py [output-folder]      (default: <repo>/sample)

Every title, author, magazine and memo below is made up, and every cover is drawn here with ImageMagick
(`convert`) and the IPA Gothic font (Debian package fonts-ipafont-gothic). The output is committed, so run
this only after changing the data below, then look at a few covers and commit the whole folder.

The folder is copied as a user's collection, so it holds data files only:
  データＰＲＯ.txt   one record per title: "title",volumes,start,"author","magazine","rating","first","last"
  <title>.TXT        five lines of ten volume states (0 collected, 1 missing); all fifty always written
  <title>_C.txt      memo lines
  <title>.jpg/.bmp/.gif  cover pictures; NOPIC.JPG is shown for titles without one
  設定.txt           the help-tour switch
  ランキング.txt     the favourite order, one title per line
Text files are code page 932 with CR LF line ends. The output folder's old files are removed first (the help
file HondexHelp.chm, built by scripts/build_help.sh, stays).
Finally the script re-reads everything it wrote and stops with an error if a file breaks those rules.
"""

import random
import re
import subprocess
import sys
from pathlib import Path

ENCODING = "cp932"
CRLF = "\r\n"
COVER_W, COVER_H = 240, 340
JPEG_QUALITY = "80"
SIZE_LIMIT = 3 * 1024 * 1024
FORBIDDEN_IN_TITLE = set('\\/:,;*?"<>|')

# (title, volumes, author, magazine, rating, first issue, last issue, missing volumes, cover extension or None)
# Titles sharing an author or a magazine are intentional: the rankings and search screens group by them.
SERIES = [
    ("星降る街のパン屋さん", 8, "桜井みのり", "月刊コミックそよかぜ", "○", "2011/04/15", "2015/09/15", [6], "jpg"),
    ("鉄腕ガーディアン", 24, "黒田剛志", "週刊少年ブレイズ", "◎", "1992/06/04", "1999/03/04", [], "jpg"),
    ("ＳＴＡＲランナーズ", 15, "青木ハルカ", "週刊少年ブレイズ", "○", "2003/01/10", "2008/07/10", [14, 15], "jpg"),
    ("しっぽの旅～ねこ町日和～", 6, "桜井みのり", "ｺﾐｯｸﾊﾟﾚｯﾄ", "◎", "2016/02/20", "2019/11/20", [], "bmp"),
    ("放課後ロケット部", 12, "水野つばさ", "月刊少年アステル", "○", "2009/08/06", "2013/05/06", [3, 4, 5], "jpg"),
    ("霧ヶ峰探偵事務所", 33, "黒田剛志", "週刊ヤングマーチ", "△", "1998/10/22", "2010/02/22",
     [20, 21, 22, 23, 30], "jpg"),
    ("ひだまり食堂の四季", 5, "未登録", "未登録", "未", "2024/01/18", "2024/06/18", [], None),
    ("宇宙港のメカニック", 10, "真壁ソウ", "月刊コミックそよかぜ", "○", "2014/03/01", "2018/12/01", [], "jpg"),
    ("花咲く坂の下で", 3, "柚木こはる", "別冊フルール", "◎", "2006/05/13", "2007/04/13", [], "gif"),
    ("雷神バスターズ", 41, "真壁ソウ", "週刊少年ブレイズ", "△", "1985/05/12", "1994/10/12",
     [2, 17, 18, 33, 39, 40, 41], "jpg"),
    ("おてんば王女と七人の騎士", 18, "柚木こはる", "別冊フルール", "○", "2001/09/28", "2008/01/28", [18], "jpg"),
    ("北の海の漁師飯", 7, "大森岳", "週刊ヤングマーチ", "○", "2020/07/30", "2023/10/30", [], "jpg"),
    ("まほろば神社の狐さま", 9, "桜井みのり", "月刊コミックそよかぜ", "◎", "2018/06/12", "2022/08/12", [], "jpg"),
    ("疾風ライダー伝", 27, "剛田鉄平", "週刊ヤングマーチ", "△", "1987/02/17", "1995/07/17", [11, 12], None),
    ("眠れる森の図書委員", 4, "水野つばさ", "ｺﾐｯｸﾊﾟﾚｯﾄ", "未", "2022/11/25", "2023/12/25", [2, 3, 4], "jpg"),
    ("碁盤の上の青春", 20, "大森岳", "月刊少年アステル", "○", "2000/04/03", "2006/09/03", [], None),
    ("深海都市アトランティカ", 11, "青木ハルカ", "月刊少年アステル", "◎", "2012/10/09", "2017/03/09", [9], "jpg"),
    ("時計塔の魔法使い", 14, "柚木こはる", "月刊プリズム", "○", "1996/12/19", "2002/06/19", [], "jpg"),
    ("下町ボクシング魂", 38, "剛田鉄平", "週刊少年ブレイズ", "○", "1990/01/25", "1998/11/25",
     [25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38], "bmp"),
    ("カエル医院の日常", 2, "未登録", "ｺﾐｯｸﾊﾟﾚｯﾄ", "未", "2023/05/08", "2023/12/08", [2], None),
    ("竜と少年と約束の丘", 16, "藤堂一馬", "月刊少年アステル", "△", "2005/07/14", "2011/02/14", [], "jpg"),
    ("雪国のお嫁さん", 6, "川瀬ゆき", "月刊プリズム", "○", "2019/01/21", "2021/09/21", [5, 6], "jpg"),
    ("峠のラーメン屋台", 13, "大森岳", "週刊ヤングマーチ", "◎", "2008/02/26", "2013/08/26", [], None),
    ("空色ピアノソナタ", 1, "川瀬ゆき", "別冊フルール", "未", "2024/04/11", "2024/04/11", [], "jpg"),
]

# One series of 120 volumes kept as three records of at most 50 volumes each. The last suffix names the
# whole span the record could hold (101 to 150), not the volumes that exist.
LONG_SERIES = "剣の国の物語"
LONG_PARTS = [
    # (volumes, start, first issue, last issue, missing volumes of the record, cover extension or None)
    (50, 0, "1988/03/05", "1997/08/05", [], "jpg"),
    (50, 50, "1997/11/05", "2007/02/05", [7, 8, 31], "jpg"),
    (20, 100, "2007/05/02", "2012/12/04", [18, 19, 20], None),
]
LONG_AUTHOR, LONG_MAGAZINE, LONG_RATING = "藤堂一馬", "週刊少年ブレイズ", "◎"

MEMOS = {
    "鉄腕ガーディアン": ["全巻そろった！初版は3巻まで。"],
    "霧ヶ峰探偵事務所": [
        "20巻から23巻は古本屋で探す。",
        "30巻は限定版を予約済み。",
        "作者の次回作にも期待。",
    ],
    "下町ボクシング魂": ["25巻以降は文庫版で集め直す予定。", "帯つきを優先。"],
    "まほろば神社の狐さま": ["ドラマCD付き特装版あり"],
    "剣の国の物語(1_50)": ["長期連載。51巻以降は別の記録に分けてある。"],
}

RANKING = [
    "剣の国の物語(1_50)",
    "まほろば神社の狐さま",
    "鉄腕ガーディアン",
    "しっぽの旅～ねこ町日和～",
    "深海都市アトランティカ",
    "峠のラーメン屋台",
    "花咲く坂の下で",
    "星降る街のパン屋さん",
    "ＳＴＡＲランナーズ",
    "時計塔の魔法使い",
    "下町ボクシング魂",
    "宇宙港のメカニック",
    "北の海の漁師飯",
]

PALETTES = [
    ("#1e3a8a", "#60a5fa", "#fde047"),
    ("#7c2d12", "#fb923c", "#fef3c7"),
    ("#14532d", "#4ade80", "#fef08a"),
    ("#581c87", "#c084fc", "#fbcfe8"),
    ("#0f766e", "#5eead4", "#fff7ed"),
    ("#9f1239", "#fb7185", "#fde68a"),
    ("#1f2937", "#94a3b8", "#fcd34d"),
    ("#854d0e", "#facc15", "#ecfccb"),
]


def records():
    """All collection records in file order, as dicts."""
    out = []
    for title, count, author, magazine, rating, first, last, missing, cover in SERIES:
        out.append(dict(title=title, caption=title, count=count, start=0, author=author, magazine=magazine,
                        rating=rating, first=first, last=last, missing=missing, cover=cover))
    # The long series goes in the middle of the file, as if it had been added later than the first titles.
    for n, (count, start, first, last, missing, cover) in enumerate(LONG_PARTS):
        out.insert(5 + n, dict(title=f"{LONG_SERIES}({start + 1}_{start + 50})", caption=LONG_SERIES,
                               count=count, start=start, author=LONG_AUTHOR, magazine=LONG_MAGAZINE,
                               rating=LONG_RATING, first=first, last=last, missing=missing, cover=cover))
    return out


def write_text(path, lines):
    path.write_bytes("".join(line + CRLF for line in lines).encode(ENCODING))


def quoted(text):
    return f'"{text}"'


def collection_line(r):
    return ",".join([quoted(r["title"]), str(r["count"]), str(r["start"]), quoted(r["author"]),
                     quoted(r["magazine"]), quoted(r["rating"]), quoted(r["first"]), quoted(r["last"])])


def volume_lines(count, missing):
    states = [1 if k in missing else 0 for k in range(1, 51)]
    assert all(k <= count for k in missing)
    return [",".join(str(s) for s in states[i:i + 10]) for i in range(0, 50, 10)]


def find_font():
    try:
        listing = subprocess.run(["fc-list"], capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        listing = ""
    for wanted in ("ipag.ttf", "ipagp.ttf"):
        for line in listing.splitlines():
            path = line.split(":", 1)[0]
            if path.endswith("/" + wanted):
                return path
    sys.exit("IPA Gothic not found; install fonts-ipafont-gothic")


def wrap_caption(caption):
    """At most two lines. A long title breaks before a wave dash, else after the particle の or と nearest the
    middle, else where kanji meet kana, else in the middle."""
    if len(caption) <= 9:
        return [caption]
    middle = len(caption) / 2
    if "～" in caption[1:]:
        cut = caption.index("～", 1)
    else:
        cuts = [i for i in range(2, len(caption) - 1) if caption[i - 1] in "のと"]
        if not cuts:
            cuts = [i for i in range(2, len(caption) - 1) if script(caption[i - 1]) != script(caption[i])]
        cut = min(cuts, key=lambda i: abs(i - middle)) if cuts else round(middle)
    return [caption[:cut], caption[cut:]]


def script(char):
    if "\u3041" <= char <= "\u309f":
        return "hiragana"
    if "\u30a0" <= char <= "\u30ff":
        return "katakana"
    return "other"


def scenery(rng, accent, light):
    """ImageMagick draw arguments for a simple backdrop in the lower part of the cover."""
    kind = rng.randrange(4)
    args = []
    if kind == 0:  # a sun over rolling hills
        x, y = rng.randint(60, 180), rng.randint(150, 190)
        args += ["-fill", light, "-draw", f"circle {x},{y} {x + 34},{y}"]
        args += ["-fill", accent, "-draw",
                 "polygon 0,340 0,250 50,225 110,250 170,215 240,245 240,340"]
    elif kind == 1:  # a night sky full of stars and a moon
        for _ in range(22):
            x, y, r = rng.randint(10, 230), rng.randint(120, 320), rng.randint(1, 3)
            args += ["-fill", light, "-draw", f"circle {x},{y} {x + r},{y}"]
        args += ["-fill", light, "-draw", "circle 180,170 205,170", "-fill", accent, "-draw",
                 "circle 192,162 212,162"]
    elif kind == 2:  # diagonal stripes
        for i in range(-2, 8):
            x = i * 50
            args += ["-fill", accent, "-draw",
                     f"polygon {x},340 {x + 22},340 {x + 140},120 {x + 118},120"]
    else:  # floating bubbles
        for _ in range(9):
            x, y, r = rng.randint(15, 225), rng.randint(140, 320), rng.randint(8, 30)
            args += ["-fill", "none", "-stroke", light, "-strokewidth", "3",
                     "-draw", f"circle {x},{y} {x + r},{y}"]
        args += ["-stroke", "none"]
    return args


def draw_cover(path, r, index, font):
    rng = random.Random(r["title"])
    dark, accent, light = PALETTES[index % len(PALETTES)]
    lines = wrap_caption(r["caption"])
    size = min(28, 200 // max(len(line) for line in lines))
    if r["caption"] != r["title"]:
        hint = f"{r['start'] + 1}～{r['start'] + r['count']}巻"
    else:
        hint = f"全{r['count']}巻"
    panel_bottom = 34 + len(lines) * (size + 8)
    args = ["convert", "-size", f"{COVER_W}x{COVER_H}", f"gradient:{accent}-{dark}"]
    args += scenery(rng, accent, light)
    args += ["-fill", "#ffffffe0", "-draw", f"roundrectangle 14,16 226,{panel_bottom} 10,10"]
    args += ["-font", font, "-fill", dark, "-pointsize", str(size), "-gravity", "north",
             "-annotate", "+0+26", "\n".join(lines)]
    args += ["-fill", "#ffffffe0", "-draw", f"rectangle 6,{COVER_H - 42} {COVER_W - 7},{COVER_H - 7}",
             "-fill", dark, "-pointsize", "16", "-gravity", "southwest", "-annotate", "+14+14", r["author"],
             "-gravity", "southeast", "-annotate", "+14+14", hint]
    args += ["-fill", "none", "-stroke", dark, "-strokewidth", "6", "-draw",
             f"rectangle 3,3 {COVER_W - 4},{COVER_H - 4}", "-stroke", "none"]
    args += output_options(path)
    subprocess.run(args, check=True)


def draw_placeholder(path, font):
    args = ["convert", "-size", f"{COVER_W}x{COVER_H}", "xc:#e5e7eb",
            "-fill", "#f9fafb", "-stroke", "#9ca3af", "-strokewidth", "4",
            "-draw", "roundrectangle 50,80 190,190 12,12", "-stroke", "none",
            "-fill", "#cbd5e1", "-draw", "polygon 62,178 100,124 128,160 146,140 178,178",
            "-fill", "#fcd34d", "-draw", "circle 156,112 168,112",
            "-font", font, "-fill", "#6b7280", "-gravity", "north",
            "-pointsize", "28", "-annotate", "+0+215", "NO IMAGE",
            "-pointsize", "22", "-annotate", "+0+255", "画像なし",
            "-fill", "none", "-stroke", "#9ca3af", "-strokewidth", "6",
            "-draw", f"rectangle 3,3 {COVER_W - 4},{COVER_H - 4}"]
    args += output_options(path)
    subprocess.run(args, check=True)


def output_options(path):
    # -strip keeps dates and profiles out, so regenerating leaves unchanged covers byte-identical.
    suffix = path.suffix.lower()
    if suffix == ".jpg":
        return ["-strip", "-quality", JPEG_QUALITY, str(path)]
    if suffix == ".bmp":
        return ["-strip", "-alpha", "off", "-type", "TrueColor", f"BMP3:{path}"]
    return ["-strip", "-colors", "64", str(path)]


def verify(folder, recs):
    problems = []
    for path in sorted(folder.iterdir()):
        if path.suffix.lower() != ".txt":
            continue
        data = path.read_bytes()
        try:
            text = data.decode(ENCODING)
        except UnicodeDecodeError as error:
            problems.append(f"{path.name}: not code page 932 ({error})")
            continue
        if not text.endswith(CRLF) or re.search(r"\r(?!\n)|(?<!\r)\n", text):
            problems.append(f"{path.name}: line ends are not all CR LF")

    field = r'"[^"]*"|-?\d+'
    line_re = re.compile(rf"^({field})(,({field})){{7}}$")
    lines = (folder / "データＰＲＯ.txt").read_bytes().decode(ENCODING).split(CRLF)[:-1]
    if len(lines) != len(recs):
        problems.append(f"collection: {len(lines)} lines for {len(recs)} records")
    titles = []
    for n, line in enumerate(lines, 1):
        if not line_re.match(line):
            problems.append(f"collection line {n}: not eight fields: {line}")
            continue
        fields = re.findall(field, line)
        title, count, start = fields[0].strip('"'), int(fields[1]), int(fields[2])
        titles.append(title)
        if FORBIDDEN_IN_TITLE & set(title):
            problems.append(f"collection line {n}: file-name character in title {title}")
        if not 1 <= count <= 50 or start % 50:
            problems.append(f"collection line {n}: volume count or start out of range")
        if fields[5].strip('"') not in ("◎", "○", "△", "未"):
            problems.append(f"collection line {n}: rating {fields[5]}")
        for date in fields[6:8]:
            if not re.fullmatch(r'"(19[89]\d|20[012]\d)/(0[1-9]|1[012])/(0[1-9]|[12]\d|3[01])"', date):
                problems.append(f"collection line {n}: date {date}")
        volume = folder / (title + ".TXT")
        if not volume.exists():
            problems.append(f"{title}: no volume file")
            continue
        rows = volume.read_bytes().decode(ENCODING).split(CRLF)[:-1]
        states = [s for row in rows for s in row.split(",")]
        if len(rows) != 5 or len(states) != 50 or set(states) - {"0", "1"}:
            problems.append(f"{volume.name}: not five lines of ten states")
        elif "1" in states[count:]:
            problems.append(f"{volume.name}: a volume beyond the count is marked missing")
    if len(set(titles)) != len(titles):
        problems.append("collection: duplicate titles")

    for name in ["ランキング.txt"]:
        for line in (folder / name).read_bytes().decode(ENCODING).split(CRLF)[:-1]:
            if not re.fullmatch(r'"[^"]+"', line) or line.strip('"') not in titles:
                problems.append(f"{name}: not a known title: {line}")
    if (folder / "設定.txt").read_bytes() != '"ヘルプツアー",1\r\n'.encode(ENCODING):
        problems.append("設定.txt: unexpected content")
    for title in MEMOS:
        if title not in titles:
            problems.append(f"memo for unknown title {title}")

    total = sum(p.stat().st_size for p in folder.iterdir())
    if total > SIZE_LIMIT:
        problems.append(f"folder holds {total} bytes, more than {SIZE_LIMIT}")
    return problems, total


def main():
    repo = Path(__file__).resolve().parent.parent
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else repo / "sample"
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        # The help file is built by scripts/build_help.sh, not here.
        if old.is_file() and old.name != "HondexHelp.chm":
            old.unlink()

    font = find_font()
    recs = records()
    write_text(folder / "データＰＲＯ.txt", [collection_line(r) for r in recs])
    for index, r in enumerate(recs):
        write_text(folder / (r["title"] + ".TXT"), volume_lines(r["count"], r["missing"]))
        if r["cover"]:
            draw_cover(folder / f"{r['title']}.{r['cover']}", r, index, font)
    for title, lines in MEMOS.items():
        write_text(folder / (title + "_C.txt"), lines)
    draw_placeholder(folder / "NOPIC.JPG", font)
    write_text(folder / "設定.txt", ['"ヘルプツアー",1'])
    write_text(folder / "ランキング.txt", [quoted(t) for t in RANKING])

    problems, total = verify(folder, recs)
    for problem in problems:
        print("error:", problem, file=sys.stderr)
    if problems:
        sys.exit(1)
    covers = sum(1 for r in recs if r["cover"])
    print(f"{folder}: {len(recs)} records, {covers} covers, {len(MEMOS)} memos, {total // 1024} KiB")


if __name__ == "__main__":
    main()
