#!/usr/bin/env python3
"""Resource compiler: turns the library's text resources into C++ table rows.

  rc.py messages <messages.txt> <out.inc> <out.h>
      Each message line `1234 Symbol "text"` becomes the row
      `{1234, L"text"},` of out.inc and the enumerator `kSymbol = 1234,` of
      out.h. Numbers must rise strictly, so that the table can be searched by
      halving; symbols must be unique.
  rc.py registry <out.inc> <number>=<script.rgs> ...
      Each registry script becomes `{number, L"whole script text"},`, numbers
      in the order given.

The rows are meant to be #included inside an array initializer; out.h is
a header that names every message. Nothing is
read at run time: the library carries its resources compiled in.
"""
import argparse
import os
import re
import sys

ESCAPES = {'"': '"', '\\': '\\', 'r': '\r', 'n': '\n', 't': '\t'}
MESSAGE_LINE = re.compile(r'^(\d+) ([A-Z][A-Za-z0-9]*) "((?:[^"\\]|\\.)*)"$')


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
    symbols = {}
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            where = f'{path}:{number}'
            match = MESSAGE_LINE.match(line)
            if not match:
                raise ResourceError(f'{where}: expected <number> <Symbol> "<text>"')
            message_number, symbol = int(match.group(1)), match.group(2)
            if messages and message_number <= messages[-1][0]:
                raise ResourceError(f'{where}: message {message_number} is out of order')
            if symbol in symbols:
                raise ResourceError(f'{where}: symbol {symbol} is already message {symbols[symbol]}')
            symbols[symbol] = message_number
            messages.append((message_number, symbol, decode(match.group(3), where)))
    return messages


def header(source):
    return f'// Generated from {os.path.basename(source)} by tools/rc.py. Do not edit.\n'


def compile_messages(messages, source):
    rows = [f'{{{number}, {wide_literal(text)}}},' for number, _, text in messages]
    return header(source) + '\n'.join(rows) + '\n'


def compile_message_ids(messages, source):
    names = [f'  k{symbol} = {number},' for number, symbol, _ in messages]
    return (header(source) + '#pragma once\n\n#include <cstdint>\n\n'
            '// The numbers of the messages of the catalogue, by name.\n'
            'namespace ovc::msg {\n\nenum Id : uint32_t {\n' + '\n'.join(names) +
            '\n};\n\n}  // namespace ovc::msg\n')


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
    messages.add_argument('ids_output')
    registry = commands.add_parser('registry')
    registry.add_argument('output')
    registry.add_argument('scripts', nargs='+')
    args = parser.parse_args()
    try:
        if args.command == 'messages':
            messages = read_messages(args.source)
            outputs = {args.output: compile_messages(messages, args.source),
                       args.ids_output: compile_message_ids(messages, args.source)}
        else:
            outputs = {args.output: compile_registry(args.scripts)}
    except (ResourceError, OSError) as error:
        print(f'rc.py: {error}', file=sys.stderr)
        return 1
    for path, text in outputs.items():
        with open(path, 'w', encoding='utf-8') as f:
            f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
