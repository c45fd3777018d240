#!/usr/bin/env python3
"""kwl-list -e text opened by a real spreadsheet, LibreOffice Calc (headless): file names that
begin like a formula arrive as text cells, neither evaluated nor kept as formulas; with
--raw-fields the same spreadsheet evaluates them (=1+1 gives 2, =HYPERLINK(...) a live link),
which is what the default guards against.

LibreOffice's CSV import evaluates formulas unless told otherwise, so only the separator,
the quote, the character set (UTF-8) and the first line are given to it. Both files go through
one start of LibreOffice (a private profile in a temporary folder): the first start is slow.
The cells are read back from the flat OpenDocument XML it converts them to.

    text_export_spreadsheet.py KWL_LIST
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# No name can hold "/", so the link is a mail link.
FORMULAS = ["=1+1", "+1+1", "-1+1", "@SUM(1)", '=HYPERLINK("mailto:a@example.invalid";"click")']
# An attribute's "-" is one character and no formula; plain names stay plain.
PLAIN = ["-", "plain.txt"]

TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"


def cells(fods):
    """Every non-empty cell of the first sheet: (text, value type, formula or None)."""
    found = []
    for cell in ET.parse(fods).getroot().iter("{%s}table-cell" % TABLE):
        text = "\n".join(line.strip() for line in "".join(cell.itertext()).strip().splitlines())
        if text:
            found.append((text, cell.get("{%s}value-type" % OFFICE), cell.get("{%s}formula" % TABLE)))
    return found


def convert(work, sources):
    """Converts the CSV files to flat OpenDocument (.fods) in one run of LibreOffice."""
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if not soffice:
        sys.exit("FAIL: LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it")
    profile = "file://" + os.path.join(work, "profile")
    # Separator ";" (59), quote '"' (34), UTF-8 (76), from line 1; everything else as the
    # import does it by default.
    result = subprocess.run(
        [soffice, "-env:UserInstallation=" + profile, "--headless", "--norestore",
         "--infilter=CSV:59,34,76,1", "--convert-to", "fods", "--outdir", work] + sources,
        capture_output=True, text=True, timeout=600)
    for source in sources:
        fods = os.path.splitext(source)[0] + ".fods"
        if not os.path.exists(fods):
            sys.exit("FAIL: LibreOffice made no %s (exit %d):\n%s%s"
                     % (fods, result.returncode, result.stdout, result.stderr))


def main():
    kwl = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        tree = os.path.join(work, "tree")
        os.mkdir(tree)
        for name in FORMULAS + PLAIN:
            open(os.path.join(tree, name), "wb").close()
        sources = []
        for label, options in (("guarded", []), ("raw", ["--raw-fields"])):
            path = os.path.join(work, label + ".csv")
            subprocess.run([kwl, "-e", "text", "-f", "name", "-o", path] + options + [tree],
                           check=True)
            sources.append(path)
        convert(work, sources)
        guarded = cells(os.path.join(work, "guarded.fods"))
        raw = cells(os.path.join(work, "raw.fods"))

    # Guarded: every name a text cell, no formula; the apostrophe that made it text is shown.
    by_text = {text: (kind, formula) for text, kind, formula in guarded}
    for name in FORMULAS:
        got = by_text.get("'" + name)
        if got != ("string", None):
            failures.append("guarded %r: expected a text cell '%s, got %r in %r"
                            % (name, name, got, guarded))
    for name in PLAIN:
        if by_text.get(name) != ("string", None):
            failures.append("guarded %r: not a plain text cell: %r" % (name, guarded))
    formulas = [c for c in guarded if c[2] is not None]
    if formulas:
        failures.append("guarded: cells with formulas: %r" % formulas)

    # Raw: the same spreadsheet runs them, which is the fault the default prevents.
    raw_formulas = {formula: text for text, _, formula in raw if formula is not None}
    if raw_formulas.get("of:=1+1") != "2":
        failures.append("--raw-fields: =1+1 was not evaluated to 2, the test cannot show the "
                        "fault it guards against: %r" % raw)
    if raw_formulas.get('of:=HYPERLINK("mailto:a@example.invalid";"click")') != "click":
        failures.append("--raw-fields: the link did not become a live link: %r" % raw)

    for f in failures:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
