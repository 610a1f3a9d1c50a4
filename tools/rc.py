#!/usr/bin/env python3
"""Resource compiler: turns the library's text resources into C++ table rows.

  rc.py messages <messages.txt> <out.inc>
      Each message line `1234 "text"` becomes `{1234, L"text"},`. Numbers must
      rise strictly, so that the table can be searched by halving.
  rc.py registry <out.inc> <number>=<script.rgs> ...
      Each registry script becomes `{number, L"whole script text"},`, numbers
      in the order given.

The rows are meant to be #included inside an array initializer. Nothing is
read at run time: the library carries its resources compiled in.
"""
import argparse
import os
import re
import sys

ESCAPES = {'"': '"', '\\': '\\', 'r': '\r', 'n': '\n', 't': '\t'}
MESSAGE_LINE = re.compile(r'^(\d+) "((?:[^"\\]|\\.)*)"$')


class ResourceError(Exception):
    pass


def decode(text, where):
    """The text of a quoted message with its escapes resolved."""
    out = []
    chars = iter(text)
    for c in chars:
        if c != '\\':
            out.append(c)
            continue
        escape = next(chars, '')
        if escape not in ESCAPES:
            raise ResourceError(f'{where}: unknown escape \\{escape}')
        out.append(ESCAPES[escape])
    return ''.join(out)


def wide_literal(text):
    """A C++ wide string literal holding exactly `text`."""
    out = []
    for c in text:
        if c == '\\':
            out.append('\\\\')
        elif c == '"':
            out.append('\\"')
        elif c == '\r':
            out.append('\\r')
        elif c == '\n':
            out.append('\\n')
        elif c == '\t':
            out.append('\\t')
        elif ' ' <= c <= '~':
            out.append(c)
        else:
            out.append(f'\\U{ord(c):08X}')
    return 'L"' + ''.join(out) + '"'


def read_messages(path):
    messages = []
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            where = f'{path}:{number}'
            match = MESSAGE_LINE.match(line)
            if not match:
                raise ResourceError(f'{where}: expected <number> "<text>"')
            message_number = int(match.group(1))
            if messages and message_number <= messages[-1][0]:
                raise ResourceError(f'{where}: message {message_number} is out of order')
            messages.append((message_number, decode(match.group(2), where)))
    return messages


def header(source):
    return f'// Generated from {os.path.basename(source)} by tools/rc.py. Do not edit.\n'


def compile_messages(source):
    rows = [f'{{{number}, {wide_literal(text)}}},' for number, text in read_messages(source)]
    return header(source) + '\n'.join(rows) + '\n'


def compile_registry(scripts):
    rows = []
    for item in scripts:
        number, sep, path = item.partition('=')
        if not sep or not number.isdigit():
            raise ResourceError(f'expected <number>=<script>, got {item}')
        with open(path, encoding='utf-8') as f:
            lines = f.read().splitlines(keepends=True)
        literal = '\n     '.join(wide_literal(line) for line in lines) or 'L""'
        rows.append(f'{{{int(number)},\n     {literal}}},')
    sources = ', '.join(os.path.basename(s.partition('=')[2]) for s in scripts)
    return header(sources) + '\n'.join(rows) + '\n'


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest='command', required=True)
    messages = commands.add_parser('messages')
    messages.add_argument('source')
    messages.add_argument('output')
    registry = commands.add_parser('registry')
    registry.add_argument('output')
    registry.add_argument('scripts', nargs='+')
    args = parser.parse_args()
    try:
        if args.command == 'messages':
            text = compile_messages(args.source)
        else:
            text = compile_registry(args.scripts)
    except (ResourceError, OSError) as error:
        print(f'rc.py: {error}', file=sys.stderr)
        return 1
    with open(args.output, 'w', encoding='utf-8') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
