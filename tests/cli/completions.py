#!/usr/bin/env python3
"""The export kinds, languages and hash names that each shell's completion of kwl-list offers
are the ones `kwl-list --help` lists, so that neither can change without the other. bash and
fish are asked as the shell asks them; zsh's lists are read from its file. Every option of the
usage is offered by bash and described in the man page.

    completions.py KWL_LIST COMPLETIONS_DIR MAN_PAGE_SOURCE
"""
import re
import subprocess
import sys

# The browsable HTML page comes with its own export; the completions offer it already. Once
# kwl-list --help lists it, this set changes nothing.
ANNOUNCED = {"export": {"html-app"}}

OPTIONS = {"export": "--export", "language": "--language", "hash": "--hash"}


def usage_of(kwl_list):
    return subprocess.run([kwl_list, "--help"], check=True, capture_output=True,
                          text=True).stdout


def help_lists(usage):
    """{"export": {...}, "language": {...}, "hash": {...}} from the usage text."""
    lists = {}
    for key, option in OPTIONS.items():
        match = re.search(re.escape(option) + r" \S+\s+([\w-]+(?: \| [\w-]+)+)", usage)
        if not match:
            sys.exit(f"kwl-list --help lists no values of {option}")
        lists[key] = set(match.group(1).split(" | "))
    return lists


def bash_offers(folder, option):
    script = f"""
        source "{folder}/kwl-list.bash"
        COMP_WORDS=(kwl-list {option} "")
        COMP_CWORD=2
        COMP_LINE="kwl-list {option} "
        COMP_POINT=${{#COMP_LINE}}
        _kwl_list
        printf '%s\\n' "${{COMPREPLY[@]}}"
    """
    out = subprocess.run(["bash", "--norc", "--noprofile", "-c", script], check=True,
                         capture_output=True, text=True).stdout
    return set(out.split())


def bash_offers_options(folder):
    script = f"""
        source "{folder}/kwl-list.bash"
        COMP_WORDS=(kwl-list -)
        COMP_CWORD=1
        _kwl_list
        printf '%s\\n' "${{COMPREPLY[@]}}"
    """
    out = subprocess.run(["bash", "--norc", "--noprofile", "-c", script], check=True,
                         capture_output=True, text=True).stdout
    return set(out.split())


def fish_offers(folder, option):
    out = subprocess.run(["fish", "--no-config", "-c",
                          f"source {folder}/kwl-list.fish; complete -C 'kwl-list {option} '"],
                         check=True, capture_output=True, text=True).stdout
    return {line.split("\t")[0] for line in out.splitlines() if line}


def zsh_offers(folder, option):
    text = open(f"{folder}/_kwl-list", encoding="utf-8").read()
    array = {"--export": "kinds", "--language": "languages", "--hash": "hashes"}[option]
    match = re.search(r"local -a " + array + r"=\((.*?)\n\s*\)", text, re.S)
    if not match:
        sys.exit(f"_kwl-list has no array {array}")
    return set(re.findall(r"'([\w-]+):", match.group(1)))


def options_of(usage):
    """Every option the usage names at the start of a line: -r, --recursive, --bom, ..."""
    options = set()
    for short, long in re.findall(r"(?m)^  (?:(-\w), |    )(--[\w-]+)", usage):
        options.update(o for o in (short, long) if o)
    return options


def main():
    kwl_list, folder, man_page = sys.argv[1], sys.argv[2], sys.argv[3]
    usage = usage_of(kwl_list)
    expected = help_lists(usage)
    shells = {"bash": bash_offers, "fish": fish_offers, "zsh": zsh_offers}
    failures = 0
    for key, option in OPTIONS.items():
        want = expected[key] | ANNOUNCED.get(key, set())
        for shell, offers in shells.items():
            got = offers(folder, option)
            if got != want:
                print(f"{shell} offers {sorted(got)} after {option}, kwl-list --help: "
                      f"{sorted(want)}")
                failures += 1
    options = options_of(usage)
    offered = bash_offers_options(folder)
    manual = open(man_page, encoding="utf-8").read()
    for option in sorted(options):
        if option not in offered:
            print(f"bash does not offer {option}")
            failures += 1
        if f"*{option}*" not in manual:
            print(f"the man page does not describe {option}")
            failures += 1
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
