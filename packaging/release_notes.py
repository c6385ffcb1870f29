#!/usr/bin/env python3
"""Writes the release list of the installed metadata from the project's CHANGELOG.md.

    release_notes.py VERSION DATE CHANGELOG.md METAINFO_RELEASES DEBIAN_CHANGELOG MAINTAINER

A release in CHANGELOG.md is a second-level heading that holds a four-number version and, optionally, a
date (YYYY-MM-DD); the list items under it are its notes. The version being built comes first even when
the changelog does not hold it yet (dated DATE). Writes the <releases> element of the AppStream file and
the package's changelog in Debian's format, newest first.
"""

import datetime
import re
import sys
from xml.sax.saxutils import escape

HEADING = re.compile(r"^##\s+(?!#).*?\b(\d+\.\d+\.\d+\.\d+)\b(.*)$")
DATE = re.compile(r"\b(\d{4})-(\d{2})-(\d{2})\b")
ITEM = re.compile(r"^\s*[-*]\s+(.*)$")


def key(version):
    return tuple(int(part) for part in version.split("."))


def read_changelog(path):
    releases = []
    try:
        with open(path, encoding="utf-8") as source:
            lines = source.read().splitlines()
    except FileNotFoundError:
        return releases
    current = None
    for text in lines:
        heading = HEADING.match(text)
        if heading:
            date = DATE.search(heading.group(2))
            current = {"version": heading.group(1), "date": date.group(0) if date else None, "notes": []}
            releases.append(current)
        elif text.startswith("#"):
            current = None
        elif current is not None:
            item = ITEM.match(text)
            if item:
                current["notes"].append(item.group(1).strip())
            elif text.strip() and current["notes"]:
                current["notes"][-1] += " " + text.strip()
    return releases


def plain(note):
    """Markdown emphasis and code marks are of no use in either file."""
    return re.sub(r"[`*_]", "", note)


def metainfo(releases):
    out = ["  <releases>"]
    for release in releases:
        head = f'    <release version="{release["version"]}" date="{release["date"]}"'
        if not release["notes"]:
            out.append(head + "/>")
            continue
        out.append(head + ">")
        out.append("      <description>")
        out.append("        <ul>")
        out += [f"          <li>{escape(plain(note))}</li>" for note in release["notes"]]
        out.append("        </ul>")
        out.append("      </description>")
        out.append("    </release>")
    out.append("  </releases>")
    return "\n".join(out) + "\n"


def wrap(text, width=76):
    lines, line = [], ""
    for word in text.split():
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = f"{line} {word}" if line else word
    return lines + ([line] if line else [])


def debian(releases, maintainer):
    out = []
    for release in releases:
        year, month, day = (int(part) for part in release["date"].split("-"))
        stamp = datetime.datetime(year, month, day, 12, 0, tzinfo=datetime.timezone.utc)
        out.append(f"velmora ({release['version']}) unstable; urgency=medium")
        out.append("")
        for note in release["notes"] or [f"Velmora {release['version']}."]:
            wrapped = wrap(plain(note))
            out.append("  * " + wrapped[0])
            out += ["    " + more for more in wrapped[1:]]
        out.append("")
        out.append(f" -- {maintainer}  {stamp.strftime('%a, %d %b %Y %H:%M:%S +0000')}")
        out.append("")
    return "\n".join(out)


def main():
    version, date, changelog, metainfo_path, debian_path, maintainer = sys.argv[1:7]
    releases = read_changelog(changelog)
    for release in releases:
        release["date"] = release["date"] or date
    if not any(release["version"] == version for release in releases):
        releases.append({"version": version, "date": date, "notes": []})
    releases.sort(key=lambda release: key(release["version"]), reverse=True)
    # Nothing newer than the version being built belongs in its package.
    releases = [release for release in releases if key(release["version"]) <= key(version)]
    with open(metainfo_path, "w", encoding="utf-8") as out:
        out.write(metainfo(releases))
    with open(debian_path, "w", encoding="utf-8") as out:
        out.write(debian(releases, maintainer))
    return 0


if __name__ == "__main__":
    sys.exit(main())
