#!/usr/bin/env python3
"""guide_test.py SOURCE_DIR: the user guide (guide/en, guide/de) holds
together without a network: every picture it shows is one that
`scripts/dev.sh guide` takes and is there, every local link and anchor
resolves (also the chapters F1 opens, app/guide.cpp), nothing is loaded from
elsewhere, and both languages have the same pages."""
import re
import sys
from html.parser import HTMLParser
from pathlib import Path

src = Path(sys.argv[1])
guide = src / "guide"
table = re.search(r"^GUIDE_SHOTS=\((.*?)^\)", (src / "scripts/dev.sh").read_text(), re.M | re.S)
shots = set(re.findall(r'^\s*"([a-z-]+) [a-z]+ [a-z_]+"', table.group(1), re.M))
errors = []


class Page(HTMLParser):
    def __init__(self, path):
        super().__init__()
        self.ids, self.links, self.loads = set(), [], []
        self.feed(path.read_text(encoding="utf-8"))

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.add(a["id"])
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        for key in ("src", "href") if tag in ("img", "script", "link") else ():
            if key in a:
                self.loads.append((tag, a[key]))


pages = {p: Page(p) for p in sorted(guide.glob("*/*.html"))}
for lang in ("en", "de"):
    names = {p.name for p in pages if p.parent.name == lang}
    if names != {p.name for p in pages if p.parent.name == "en"} or not names:
        errors.append(f"{lang}: pages differ from en: {sorted(names)}")
    errors += [f"{lang}/{s}.png is not taken" for s in shots
               if not (guide / "pictures" / lang / f"{s}.png").is_file()]


def resolve(page, target):
    file, _, anchor = target.partition("#")
    path = (page.parent / file).resolve() if file else page
    if not path.is_file():
        return f"{target}: no such file"
    if anchor and anchor not in pages.get(path, Page(path)).ids:
        return f"{target}: no anchor {anchor}"


for page, parsed in pages.items():
    where = page.relative_to(guide)
    for tag, url in parsed.loads:
        if re.match(r"(\w+:|//)", url):
            errors.append(f"{where}: <{tag}> loads {url}")
        elif tag == "img" and not re.fullmatch(rf"\.\./pictures/{page.parent.name}/([a-z-]+)\.png", url) \
                or tag == "img" and url.split("/")[-1][:-4] not in shots:
            errors.append(f"{where}: picture {url} is not one dev.sh guide takes")
        elif resolve(page, url):
            errors.append(f"{where}: {resolve(page, url)}")
    for url in parsed.links:
        if not re.match(r"(\w+:|//)", url) and resolve(page, url):
            errors.append(f"{where}: {resolve(page, url)}")

for chapter in set(re.findall(r'"([a-z]+\.html(?:#[a-z-]+)?)"', (src / "app/guide.cpp").read_text())):
    for lang in ("en", "de"):
        if resolve(guide / lang / "index.html", chapter):
            errors.append(f"F1 chapter {lang}/{chapter} does not resolve")

print("\n".join(errors) or f"guide OK: {len(pages)} pages, {len(shots)} pictures per language")
sys.exit(1 if errors else 0)
