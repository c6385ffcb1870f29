#!/usr/bin/env python3
"""Adds one release to the version history of a release folder (used by scripts/release.sh).

Reads FOLDER/VelmoraVersion.xml when there is one and keeps its releases, replaces any earlier entry of
the same version, type and system, adds one entry per package (a .deb for Linux, an .exe for Windows) with
its size and SHA-256 computed from the file and the release notes of the version's CHANGELOG.md section,
makes the version the current one of its type when it is the highest, raises the history's serial by one
(an update check refuses a history with a lower serial than one it has seen, so that an older signed
history cannot be replayed to hide this release), dates it today (UTC) and writes the result to OUTPUT.
"""
import argparse
import datetime
import hashlib
import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT = "VelmoraVersionHistory"
TYPES = ("Production", "Beta", "Alpha")
PLATFORMS = {".deb": "Linux", ".exe": "Windows"}


def fail(message):
    print("release: " + message, file=sys.stderr)
    sys.exit(1)


def version_key(version):
    # As the update check compares: parts as integers, a non-numeric part as -1.
    return tuple(int(part) if part.isdigit() else -1 for part in version.split("."))


def release_notes(changelog, version):
    heading = re.compile(r"^## (\S+) \((\d{4}-\d{2}-\d{2})\)\s*$")
    lines, date, inside = [], None, False
    with open(changelog, encoding="utf-8") as file:
        for raw in file:
            line = raw.rstrip("\n")
            match = heading.match(line)
            if match:
                inside = match.group(1) == version
                if inside:
                    date = match.group(2)
                continue
            if line.startswith("## "):
                inside = False
            if not inside:
                continue
            if line.startswith("- "):
                lines.append(line[2:].strip())
            elif line.startswith("  ") and lines and line.strip():
                lines[-1] += " " + line.strip()
    if date is None:
        fail("%s has no section \"## %s (YYYY-MM-DD)\"" % (changelog, version))
    if not lines:
        fail("the section of %s in %s has no \"- \" lines" % (version, changelog))
    return date, lines


def sha256(name):
    digest = hashlib.sha256()
    with open(name, "rb") as file:
        for block in iter(lambda: file.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def platform_of(release):
    return release.findtext("ProgramPlatform") or "Windows"


def add_text(parent, name, text):
    ET.SubElement(parent, name).text = text


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--history", required=True, help="the folder's VelmoraVersion.xml (may not exist)")
    parser.add_argument("--output", required=True)
    parser.add_argument("--changelog", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--type", default="Production", choices=TYPES)
    parser.add_argument("packages", nargs="+")
    options = parser.parse_args()

    date, notes = release_notes(options.changelog, options.version)
    if os.path.exists(options.history):
        try:
            root = ET.parse(options.history).getroot()
        except ET.ParseError as error:
            fail("%s is not a version history: %s" % (options.history, error))
        if root.tag != ROOT:
            fail("%s is not a version history" % options.history)
    else:
        root = ET.Element(ROOT)
    current = root.find("CurrentVersions")
    if current is None:
        current = ET.Element("CurrentVersions")
        root.insert(0, current)
    serial = root.find("Serial")
    if serial is None:
        serial = ET.Element("Serial")
        serial.text = "0"
        root.insert(0, serial)
    if not (serial.text or "").strip().isdigit():
        fail("%s has a serial that is not a whole number: %r" % (options.history, serial.text))
    serial.text = str(int(serial.text) + 1)
    written = root.find("Date")
    if written is None:
        written = ET.Element("Date")
        root.insert(1, written)
    written.text = datetime.datetime.now(datetime.timezone.utc).date().isoformat()

    for package in options.packages:
        platform = PLATFORMS.get(os.path.splitext(package)[1].lower())
        if platform is None:
            fail("%s is neither a .deb nor an .exe" % package)
        for old in root.findall("Release"):
            if (old.findtext("ProgramVersion") == options.version
                    and old.findtext("ProgramReleaseType") == options.type and platform_of(old) == platform):
                root.remove(old)
        release = ET.SubElement(root, "Release")
        add_text(release, "ProgramVersion", options.version)
        add_text(release, "ProgramReleaseType", options.type)
        add_text(release, "ProgramPlatform", platform)
        add_text(release, "ProgramLocationPath", "")
        add_text(release, "ProgramLocationFileName", os.path.basename(package))
        add_text(release, "LocalInstallerParams", "")
        description = ET.SubElement(release, "VersionDescription")
        for line in notes:
            add_text(description, "Line", line)
        add_text(release, "ProgramSize", str(os.path.getsize(package)))
        add_text(release, "ProgramSHA256", sha256(package))
        add_text(release, "ProgramReleaseDate", date)

    versions = [r.findtext("ProgramVersion") for r in root.findall("Release")
                if r.findtext("ProgramReleaseType") == options.type]
    element = current.find(options.type)
    if element is None:
        element = ET.SubElement(current, options.type)
    element.text = max(versions, key=version_key)

    ET.indent(root, space="  ")
    ET.ElementTree(root).write(options.output, encoding="utf-8", xml_declaration=True)
    with open(options.output, "a", encoding="utf-8") as file:
        file.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
