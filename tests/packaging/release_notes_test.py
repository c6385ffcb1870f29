"""The release list of the AppStream file and the Debian changelog, made from CHANGELOG.md."""

import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "packaging", "release_notes.py")
MAINTAINER = "Velmora developers <author@velmora.example>"

CHANGELOG = """# Changelog

Every release has a section headed `## VERSION (YYYY-MM-DD)`.

## 0.3.0.0 (2027-02-01)

- Pit <wall> & friends: `velmora-cli web`.

## 0.2.0.0

- A note that goes on
  over a second line.
- Second note.

### Not a release 9.9.9.9

## 0.1.0.1 (2026-12-11)

* First release.
"""


def run(version, changelog_text):
    with tempfile.TemporaryDirectory() as folder:
        changelog = os.path.join(folder, "CHANGELOG.md")
        if changelog_text is not None:
            with open(changelog, "w", encoding="utf-8") as out:
                out.write(changelog_text)
        releases = os.path.join(folder, "releases.xml")
        debian = os.path.join(folder, "changelog")
        subprocess.run(
            [sys.executable, SCRIPT, version, "2026-12-24", changelog, releases, debian, MAINTAINER],
            check=True,
        )
        with open(releases, encoding="utf-8") as source:
            element = ET.fromstring(source.read())
        # Debian's own parser reads every entry back.
        fields = subprocess.run(
            ["dpkg-parsechangelog", "-l", debian, "--all", "--format", "rfc822"],
            check=True,
            capture_output=True,
            text=True,
        ).stdout
        parsed = [line.split(": ", 1)[1] for line in fields.splitlines() if line.startswith("Version: ")]
        with open(debian, encoding="utf-8") as source:
            debian_text = source.read()
    listed = [
        (release.get("version"), release.get("date"), [li.text for li in release.iter("li")])
        for release in element.iter("release")
    ]
    return listed, parsed, debian_text


class ReleaseNotesTest(unittest.TestCase):
    def test_releases_newest_first_up_to_the_version_built(self):
        cases = [
            # version built, the releases listed (version, date, notes)
            (
                "0.4.0.0",
                [
                    ("0.4.0.0", "2026-12-24", []),
                    ("0.3.0.0", "2027-02-01", ["Pit <wall> & friends: velmora-cli web."]),
                    ("0.2.0.0", "2026-12-24", ["A note that goes on over a second line.", "Second note."]),
                    ("0.1.0.1", "2026-12-11", ["First release."]),
                ],
            ),
            # An older build never lists what came after it.
            ("0.2.0.0", [("0.2.0.0", "2026-12-24", ["A note that goes on over a second line.", "Second note."]),
                         ("0.1.0.1", "2026-12-11", ["First release."])]),
            # Numbers compare as numbers, not as text.
            ("0.10.0.0", [("0.10.0.0", "2026-12-24", [])] + [None] * 3),
        ]
        for version, expected in cases:
            with self.subTest(version=version):
                listed, debian_versions, _ = run(version, CHANGELOG)
                self.assertEqual(len(listed), len(expected))
                for got, want in zip(listed, expected):
                    if want is not None:
                        self.assertEqual(got, want)
                self.assertEqual(debian_versions, [release[0] for release in listed])

    def test_without_a_changelog_the_version_built_is_the_one_release(self):
        listed, debian_versions, debian_text = run("1.2.3.4", None)
        self.assertEqual(listed, [("1.2.3.4", "2026-12-24", [])])
        self.assertEqual(debian_versions, ["1.2.3.4"])
        self.assertIn(f" -- {MAINTAINER}  Thu, 24 Dec 2026 12:00:00 +0000\n", debian_text)

    def test_debian_lines_stay_within_80_columns(self):
        long_note = "## 1.0.0.0 (2027-01-01)\n\n- " + " ".join(["word"] * 60) + "\n"
        _, _, debian_text = run("1.0.0.0", long_note)
        self.assertTrue(all(len(line) <= 80 for line in debian_text.splitlines()))
        self.assertEqual(debian_text.count("word"), 60)


if __name__ == "__main__":
    unittest.main()
