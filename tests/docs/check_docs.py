#!/usr/bin/env python3
"""Keeps the manual true to the tree and to the programs' own help.

  check_docs.py ROOT [--cli PROGRAM] [--emulator PROGRAM]
  check_docs.py --self-test ROOT --cli PROGRAM --emulator PROGRAM

ROOT is the source tree: every relative link and image in README.md and
docs/*.md must name a file that exists, and a link to a heading (#anchor)
must name a heading of that page. With --cli, every command and option that
`PROGRAM --help` prints must appear in docs/command-line.md; with
--emulator, every option of `PROGRAM --help` must appear in docs/emulator.md.
Prints each fault and ends with status 1 when there is any.

--self-test checks the checker: on copies of the pages, a missing image, a
link to a missing heading and an option left out of each page must each be
reported, and the untouched copy must pass.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
from functools import lru_cache

LINK = re.compile(r'!?\[(?:[^\]\\]|\\.)*\]\(\s*<?([^)\s>]+)>?(?:\s+"[^"]*")?\s*\)')
HTML_IMG = re.compile(r'<img\s[^>]*src="([^"]+)"', re.IGNORECASE)
FENCE = re.compile(r'^\s*(```|~~~)')


def strip_code(text):
    """The text without fenced blocks and inline code spans, where a link is
    only an example."""
    lines, inside = [], False
    for line in text.split('\n'):
        if FENCE.match(line):
            inside = not inside
            lines.append('')
            continue
        lines.append('' if inside else re.sub(r'`[^`]*`', '', line))
    return '\n'.join(lines)


def anchor(heading):
    """The anchor a heading gets on the usual Markdown hosts: lower case,
    punctuation dropped, blanks made hyphens."""
    text = re.sub(r'`', '', heading.strip().lower())
    text = re.sub(r'[^\w\- ]', '', text)
    return text.replace(' ', '-')


def anchors_of(path):
    found, counts = set(), {}
    for line in strip_code(open(path, encoding='utf-8').read()).split('\n'):
        m = re.match(r'^#{1,6}\s+(.*?)\s*#*\s*$', line)
        if m:
            a = anchor(m.group(1))
            n = counts.get(a, 0)
            counts[a] = n + 1
            found.add(a if n == 0 else f'{a}-{n}')
    return found


def pages(root):
    out = [os.path.join(root, 'README.md')]
    docs = os.path.join(root, 'docs')
    out += sorted(os.path.join(docs, f) for f in os.listdir(docs) if f.endswith('.md'))
    return out


def check_links(root):
    faults = []
    for page in pages(root):
        text = strip_code(open(page, encoding='utf-8').read())
        targets = LINK.findall(text) + HTML_IMG.findall(text)
        for target in targets:
            if re.match(r'^[a-z][a-z0-9+.-]*:', target, re.IGNORECASE):
                continue  # a web address or mailto: not checked here
            path, _, frag = target.partition('#')
            dest = page if path == '' else os.path.normpath(
                os.path.join(os.path.dirname(page), path))
            rel = os.path.relpath(page, root)
            if not os.path.exists(dest):
                faults.append(f'{rel}: the link {target} names no file')
            elif frag and dest.endswith('.md') and frag not in anchors_of(dest):
                faults.append(f'{rel}: the link {target} names no heading of '
                              f'{os.path.relpath(dest, root)}')
    return faults


@lru_cache(maxsize=None)
def help_text(program):
    env = dict(os.environ, LC_ALL='C', LANG='C')
    run = subprocess.run([program, '--help'], capture_output=True, text=True, env=env)
    return run.stdout + run.stderr


def cli_words(text):
    """The commands and the options of the command line's --help."""
    words = set(re.findall(r'(?<![\w-])(--[a-z][a-z0-9-]*|-[a-zA-Z])(?![\w-])', text))
    section = text.split('options:')[0]
    words |= set(re.findall(r'^  ([a-z]+)(?: NAME)?\s{2,}', section, re.MULTILINE))
    return words


def emulator_words(text):
    return set(re.findall(r'(?<![\w-])(--[a-z][a-z0-9-]*)', text))


def missing_from(page, words, what):
    if not os.path.exists(page):
        return [f'{os.path.basename(page)} is missing']
    text = open(page, encoding='utf-8').read()
    faults = []
    for word in sorted(words):
        # The word as code: `--yes`, `--port COMn`, `list`, (`-y`).
        if not re.search(r'`' + re.escape(word) + r'(?![\w-])', text):
            faults.append(f'{os.path.basename(page)}: {what} {word} is not described')
    return faults


# Each program's flag: how its --help is read, and the page that must
# describe every word found there.
PROGRAMS = {
    '--cli': (lambda text: cli_words(text), 'command-line.md', 'the command-line word'),
    '--emulator': (lambda text: emulator_words(text), 'emulator.md', 'the emulator option'),
}


def check(root, args):
    faults = check_links(root)
    for flag, program in zip(args[0::2], args[1::2]):
        words_of, page, what = PROGRAMS[flag]
        words = words_of(help_text(program))
        # A --help that could not run gives no words, which must not pass.
        if len(words) < 10:
            faults.append(f'{program} --help gave too few words: {sorted(words)}')
        faults += missing_from(os.path.join(root, 'docs', page), words, what)
    return faults


def self_test(root, args):
    """Each mutation of a copy of the pages must give a fault that names it."""
    def edit(page, old, new):
        def apply(tree):
            path = os.path.join(tree, page)
            text = open(path, encoding='utf-8').read()
            assert old in text, f'{page} no longer holds {old!r}: choose another mutation'
            open(path, 'w', encoding='utf-8').write(text.replace(old, new))
        return apply

    def remove(path):
        return lambda tree: os.remove(os.path.join(tree, path))

    mutations = [
        ('an image gone', remove('docs/images/main-window.png'), 'main-window.png'),
        ('a page gone', remove('docs/emulator.md'), 'emulator.md'),
        ('a heading renamed', edit('docs/serial-ports.md', '## Troubleshooting', '## Trouble'),
         '#troubleshooting'),
        ('a command-line option left out', edit('docs/command-line.md', '`--wait', '`--pause'),
         '--wait'),
        ('a command left out', edit('docs/command-line.md', '`ports`', '`the ports`'), 'ports'),
        ('an emulator option left out',
         edit('docs/emulator.md', '`--keep-on-close`', '`--keep-line`'), '--keep-on-close'),
    ]
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        def fresh_copy():
            tree = os.path.join(scratch, 'tree')
            shutil.rmtree(tree, ignore_errors=True)
            os.makedirs(tree)
            shutil.copy(os.path.join(root, 'README.md'), tree)
            shutil.copytree(os.path.join(root, 'docs'), os.path.join(tree, 'docs'))
            # The rest of the tree, which the pages link into, as it is.
            for name in os.listdir(root):
                if name not in ('README.md', 'docs', 'build'):
                    os.symlink(os.path.join(os.path.abspath(root), name), os.path.join(tree, name))
            return tree

        tree = fresh_copy()
        untouched = check(tree, args)
        if untouched:
            failures.append(f'the untouched copy is refused: {untouched}')
        for what, mutate, named in mutations:
            tree = fresh_copy()
            mutate(tree)
            faults = check(tree, args)
            if not any(named in fault for fault in faults):
                failures.append(f'{what}: not reported (got {faults})')
    for failure in failures:
        print(failure)
    return 1 if failures else 0


def main(argv):
    if len(argv) >= 2 and argv[1] == '--self-test':
        return self_test(argv[2], argv[3:])
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    faults = check(argv[1], argv[2:])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
