#!/usr/bin/env python3
"""Compiles a type library source (the MIDL subset below) into C++.

The source is the one place where an interface is described: its identifier,
its members in vtable order with their DISPIDs, kinds and parameters. From it
this tool writes a header with the enumerations, the abstract interfaces and
the class identifiers, and a source file with the interface descriptions that
GetIDsOfNames and Invoke are derived from.

Accepted source:
    [uuid(...), version(1.0), lcid(1033), helpstring("...")]
    library Name {
        importlib("...");                                   (ignored)
        typedef [uuid(...)] enum Name { a = 0, b = -1 } Name;
        [uuid(...), dual, ...] interface IName : IDispatch {
            [id(0x1), propget, helpstring("...")] HRESULT Member([in] long a,
                [in, optional, defaultvalue(-1)] long b, [out, retval] BSTR* c);
        };
        [uuid(...), helpstring("...")] coclass Name { [default] interface IName; };
    };
Parameter types: VARIANT, BSTR, long, short, double, DATE, VARIANT_BOOL, SCODE,
IDispatch*, IUnknown*, the library's enumerations, and pointers to these.
"""

import argparse
import re
import sys

TOKEN = re.compile(
    r'\s+|//[^\n]*|/\*.*?\*/|(?P<str>"(?:[^"\\]|\\.)*")'
    r'|(?P<guid>[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})'
    r'|(?P<num>-?(?:0x[0-9A-Fa-f]+|\d+(?:\.\d+)?))'
    r'|(?P<id>[A-Za-z_][A-Za-z_0-9]*)|(?P<punct>[\[\](){},;:=*])', re.S)

SCALARS = {
    # idl type: (C++ type for [in], variant type)
    'VARIANT': ('const Variant&', 'VT_VARIANT'),
    'BSTR': ('const std::wstring&', 'VT_BSTR'),
    'long': ('int32_t', 'VT_I4'),
    'short': ('int16_t', 'VT_I2'),
    'double': ('double', 'VT_R8'),
    'DATE': ('DATE', 'VT_DATE'),
    'VARIANT_BOOL': ('VARIANT_BOOL', 'VT_BOOL'),
    'SCODE': ('SCODE', 'VT_ERROR'),
    'IDispatch': ('IDispatch*', 'VT_DISPATCH'),
    'IUnknown': ('IUnknown*', 'VT_UNKNOWN'),
}
OUT_TYPES = {
    'VARIANT': 'Variant*', 'BSTR': 'std::wstring*', 'long': 'int32_t*', 'short': 'int16_t*',
    'double': 'double*', 'DATE': 'DATE*', 'VARIANT_BOOL': 'VARIANT_BOOL*', 'SCODE': 'SCODE*',
    'IDispatch': 'IDispatch**', 'IUnknown': 'IUnknown**',
}
INTERFACE_TYPES = ('IDispatch', 'IUnknown')


class IdlError(Exception):
    pass


class Parser:
    def __init__(self, text, path):
        self.path = path
        self.tokens = []
        pos = 0
        while pos < len(text):
            match = TOKEN.match(text, pos)
            if not match:
                raise IdlError(f'{path}:{self._line(text, pos)}: unexpected character {text[pos]!r}')
            if match.lastgroup:
                self.tokens.append((match.lastgroup, match.group(match.lastgroup),
                                    self._line(text, pos)))
            pos = match.end()
        self.index = 0

    @staticmethod
    def _line(text, pos):
        return text.count('\n', 0, pos) + 1

    def peek(self, offset=0):
        i = self.index + offset
        return self.tokens[i] if i < len(self.tokens) else ('eof', '', -1)

    def take(self, expected=None):
        token = self.peek()
        if token[0] == 'eof' or (expected is not None and token[1] != expected):
            want = f'{expected!r}' if expected else 'more input'
            raise IdlError(f'{self.path}:{token[2]}: expected {want}, found {token[1]!r}')
        self.index += 1
        return token[1]

    def accept(self, value):
        if self.peek()[1] == value:
            self.index += 1
            return True
        return False

    def attributes(self):
        attrs = {}
        if not self.accept('['):
            return attrs
        while True:
            name = self.take()
            value = True
            if self.accept('('):
                parts = []
                while not self.accept(')'):
                    parts.append(self.take())
                value = ''.join(parts)
            attrs[name] = value
            if self.accept(']'):
                return attrs
            self.take(',')

    def library(self):
        attrs = self.attributes()
        self.take('library')
        lib = {'name': self.take(), 'attrs': attrs, 'enums': [], 'interfaces': [], 'coclasses': []}
        self.take('{')
        while not self.accept('}'):
            if self.accept('importlib'):
                self.take('(')
                self.take()
                self.take(')')
                self.take(';')
                continue
            if self.accept('typedef'):
                lib['enums'].append(self.enum())
                continue
            item_attrs = self.attributes()
            kind = self.take()
            if kind == 'interface':
                lib['interfaces'].append(self.interface(item_attrs))
            elif kind == 'coclass':
                lib['coclasses'].append(self.coclass(item_attrs))
            else:
                raise IdlError(f'{self.path}:{self.peek()[2]}: unknown item {kind!r}')
        self.accept(';')
        return lib

    def enum(self):
        attrs = self.attributes()
        self.take('enum')
        name = self.take()
        self.take('{')
        members = []
        while not self.accept('}'):
            member = self.take()
            self.take('=')
            members.append((member, int(self.take(), 0)))
            self.accept(',')
        self.take()
        self.take(';')
        return {'name': name, 'uuid': attrs.get('uuid'), 'members': members}

    def interface(self, attrs):
        name = self.take()
        self.take(':')
        base = self.take()
        self.take('{')
        members = []
        while not self.accept('}'):
            members.append(self.member())
        self.take(';')
        return {'name': name, 'base': base, 'uuid': attrs['uuid'], 'members': members}

    def member(self):
        attrs = self.attributes()
        self.take('HRESULT')
        name = self.take()
        self.take('(')
        params = []
        if self.accept('void'):
            self.take(')')
        else:
            while not self.accept(')'):
                params.append(self.param())
                self.accept(',')
        self.take(';')
        kind = 'kPropertyGet' if 'propget' in attrs else 'kPropertyPut' if 'propput' in attrs \
            else 'kPropertyPutRef' if 'propputref' in attrs else 'kMethod'
        return {'name': name, 'id': int(attrs['id'], 0), 'kind': kind, 'params': params,
                'help': attrs.get('helpstring', '""')}

    def param(self):
        attrs = self.attributes()
        base = self.take()
        stars = 0
        while self.accept('*'):
            stars += 1
        return {'name': self.take(), 'type': base, 'stars': stars, 'attrs': attrs}

    def coclass(self, attrs):
        name = self.take()
        self.take('{')
        default = None
        while not self.accept('}'):
            item_attrs = self.attributes()
            self.take('interface')
            interface = self.take()
            self.take(';')
            if 'default' in item_attrs or default is None:
                default = interface
        self.take(';')
        return {'name': name, 'uuid': attrs['uuid'], 'help': attrs.get('helpstring', '""'),
                'default': default}


def dispid(value):
    """A DISPID as a C++ expression; ids written as unsigned hex are signed."""
    if value >= 1 << 31:
        value -= 1 << 32
    return str(value)


def wide(text):
    """A C++ wide literal from an IDL string token (already quoted) or plain text."""
    if not text.startswith('"'):
        text = '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'
    return 'L' + text


class Generator:
    def __init__(self, lib, path):
        self.lib = lib
        self.path = path
        self.enums = {e['name'] for e in lib['enums']}
        self.interfaces = {i['name']: i for i in lib['interfaces']}

    def fail(self, message):
        raise IdlError(f'{self.path}: {message}')

    def param_types(self, owner, member, param):
        """(C++ type, variant type, flags) of one parameter."""
        attrs, base, stars = param['attrs'], param['type'], param['stars']
        flags = []
        if 'in' in attrs or 'out' not in attrs:
            flags.append('kParamIn')
        if 'out' in attrs:
            flags.append('kParamOut')
        if 'retval' in attrs:
            flags.append('kParamRetval')
        if 'optional' in attrs:
            flags.append('kParamOptional')
        if 'defaultvalue' in attrs:
            flags.append('kParamHasDefault')
        where = f"{owner}::{member['name']} parameter {param['name']}"
        is_interface = base in INTERFACE_TYPES
        value_stars = stars - (1 if is_interface else 0)
        if base in self.enums:
            cpp_in, vt, cpp_out = base, 'VT_I4', base + '*'
        elif base in SCALARS:
            cpp_in, vt = SCALARS[base]
            cpp_out = OUT_TYPES[base]
        else:
            self.fail(f'{where}: unknown type {base}')
        if 'out' in attrs:
            if value_stars != 1:
                self.fail(f'{where}: an [out] parameter is a pointer to its value')
            return cpp_out, vt, flags
        if value_stars == 0:
            return cpp_in, vt, flags
        if value_stars == 1 and base in ('VARIANT_BOOL', 'short', 'long'):
            return OUT_TYPES[base], f'VT_BYREF | {vt}', flags
        self.fail(f'{where}: unsupported [in] pointer')

    def all_members(self, interface):
        base = self.interfaces.get(interface['base'])
        inherited = self.all_members(base) if base else []
        return inherited + interface['members']

    @staticmethod
    def method_name(member):
        prefix = {'kPropertyGet': 'get_', 'kPropertyPut': 'put_', 'kPropertyPutRef': 'putref_'}
        return prefix.get(member['kind'], '') + member['name']

    def header(self, namespace):
        lib = self.lib
        out = [f'// Generated from {self.path} by tools/midl.py. Do not edit.', '#pragma once', '',
               '#include <cstdint>', '#include <string>', '',
               '#include "automation/dispatch.h"', '#include "automation/type_info.h"',
               '#include "automation/variant.h"', '', f'namespace {namespace} {{', '']
        attrs = lib['attrs']
        out.append(f"inline constexpr GUID LIBID_{lib['name']} = MakeGuid(\"{attrs['uuid']}\");")
        out.append(f"const TypeLibraryInfo& {lib['name']}TypeLibrary();")
        out.append('')
        for enum in lib['enums']:
            out.append(f"enum {enum['name']} : int32_t {{")
            out.extend(f'  {name} = {value},' for name, value in enum['members'])
            out.append('};')
            out.append('')
        for interface in lib['interfaces']:
            out.append(f"struct {interface['name']} : {interface['base']} {{")
            out.append(f"  static constexpr IID kIid = MakeGuid(\"{interface['uuid']}\");")
            out.append(f"  using Base = {interface['base']};")
            out.append('  static const InterfaceInfo& TypeInfo();')
            out.append('')
            for member in interface['members']:
                params = ', '.join(
                    f"{self.param_types(interface['name'], member, p)[0]} {p['name']}"
                    for p in member['params'])
                out.append(f'  virtual HRESULT {self.method_name(member)}({params}) = 0;')
            out.append('')
            out.append(' protected:')
            out.append(f"  ~{interface['name']}() = default;")
            out.append('};')
            out.append('')
        for coclass in lib['coclasses']:
            out.append(f"inline constexpr CLSID CLSID_{coclass['name']} = "
                       f"MakeGuid(\"{coclass['uuid']}\");")
        out.append('')
        out.append(f'}}  // namespace {namespace}')
        return '\n'.join(out) + '\n'

    def source(self, namespace, header_include):
        lib = self.lib
        out = [f'// Generated from {self.path} by tools/midl.py. Do not edit.',
               f'#include "{header_include}"', '', '#include "automation/dispatch_impl.h"', '',
               f'namespace {namespace} {{', '', 'namespace {', '']
        for interface in lib['interfaces']:
            rows = []
            for member in self.all_members(interface):
                owner = interface['name']
                params_name = 'nullptr'
                if member['params']:
                    params_name = f"k{owner}_{self.method_name(member)}_params"
                    out.append(f'constexpr ParamInfo {params_name}[] = {{')
                    for p in member['params']:
                        _, vt, flags = self.param_types(owner, member, p)
                        default = wide(p['attrs']['defaultvalue']) \
                            if 'defaultvalue' in p['attrs'] else 'L""'
                        type_name = wide(p['type']) if p['type'] in self.enums else 'L""'
                        out.append(f"    {{L\"{p['name']}\", {vt}, {' | '.join(flags)}, "
                                   f'{default}, {type_name}}},')
                    out.append('};')
                params_span = f'std::span<const ParamInfo>({params_name})' \
                    if member['params'] else 'std::span<const ParamInfo>()'
                rows.append(f"    {{L\"{member['name']}\", {dispid(member['id'])}, MemberKind::{member['kind']}, "
                            f"{params_span}, kThunk<&{owner}::{self.method_name(member)}>, "
                            f"{wide(member['help'])}}},")
            out.append(f"const MemberInfo k{interface['name']}Members[] = {{")
            out.extend(rows)
            out.append('};')
            out.append('')
        for enum in lib['enums']:
            out.append(f"constexpr EnumeratorInfo k{enum['name']}Enumerators[] = {{")
            out.extend(f'    {{L"{name}", {value}}},' for name, value in enum['members'])
            out.append('};')
            out.append(f"constexpr EnumInfo k{enum['name']}Info{{L\"{enum['name']}\", "
                       f"MakeGuid(\"{enum['uuid'] or '00000000-0000-0000-0000-000000000000'}\"), "
                       f"k{enum['name']}Enumerators}};")
            out.append('')
        out.append('}  // namespace')
        out.append('')
        for interface in lib['interfaces']:
            name = interface['name']
            out.append(f'const InterfaceInfo& {name}::TypeInfo() {{')
            out.append(f'  static const InterfaceInfo info{{L"{name}", {name}::kIid, k{name}Members}};')
            out.append('  return info;')
            out.append('}')
            out.append('')
        out.append(f"const TypeLibraryInfo& {lib['name']}TypeLibrary() {{")
        out.append('  static const InterfaceInfo* const interfaces[] = {')
        out.extend(f"      &{i['name']}::TypeInfo()," for i in lib['interfaces'])
        out.append('      nullptr};')
        out.append('  static const EnumInfo* const enums[] = {')
        out.extend(f"      &k{e['name']}Info," for e in lib['enums'])
        out.append('      nullptr};')
        for coclass in lib['coclasses']:
            out.append(f"  static const CoclassInfo {coclass['name']}{{L\"{coclass['name']}\", "
                       f"CLSID_{coclass['name']}, {wide(coclass['help'])}, "
                       f"&{coclass['default']}::TypeInfo()}};")
        out.append('  static const CoclassInfo* const coclasses[] = {')
        out.extend(f"      &{c['name']}," for c in lib['coclasses'])
        out.append('      nullptr};')
        attrs = lib['attrs']
        major, _, minor = attrs.get('version', '0.0').partition('.')
        out.append('  static const TypeLibraryInfo library{')
        help_text = wide(attrs.get('helpstring', '""'))
        out.append(f"      L\"{lib['name']}\", LIBID_{lib['name']}, {int(major)}, {int(minor or 0)}, "
                   f"{int(attrs.get('lcid', '0'), 0)}, {help_text},")
        out.append(f"      std::span(interfaces, {len(lib['interfaces'])}), "
                   f"std::span(enums, {len(lib['enums'])}), "
                   f"std::span(coclasses, {len(lib['coclasses'])})}};")
        out.append('  return library;')
        out.append('}')
        out.append('')
        out.append(f'}}  // namespace {namespace}')
        return '\n'.join(out) + '\n'


def read_dispid_table(path):
    """The global name -> DISPID table: `name id` lines, '#' comments."""
    table, ids = {}, {}
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            fields = line.split('#', 1)[0].split()
            if not fields:
                continue
            if len(fields) != 2:
                raise IdlError(f'{path}:{number}: expected a name and a DISPID')
            name, value = fields[0].lower(), int(fields[1], 0)
            if name in table or value in ids:
                raise IdlError(f'{path}:{number}: {fields[0]} or {fields[1]} is listed twice')
            table[name], ids[value] = value, fields[0]
    return table


def check_dispids(lib, table, path, table_path):
    """Every member's DISPID must be the one the global table gives its name."""
    for interface in lib['interfaces']:
        for member in interface['members']:
            want = table.get(member['name'].lower())
            if want is None:
                raise IdlError(f"{path}: {interface['name']}::{member['name']} is not in "
                               f'{table_path}')
            if int(dispid(member['id'])) != want:
                raise IdlError(f"{path}: {interface['name']}::{member['name']} has DISPID "
                               f"{dispid(member['id'])}, {table_path} says {want}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('source')
    parser.add_argument('--namespace', default='ovc')
    parser.add_argument('--header', required=True)
    parser.add_argument('--cpp', required=True)
    parser.add_argument('--include-as', required=True, help='how the .cpp includes the header')
    parser.add_argument('--dispids', help='a global name -> DISPID table the ids must follow')
    args = parser.parse_args()
    try:
        with open(args.source, encoding='utf-8') as f:
            lib = Parser(f.read(), args.source).library()
        if args.dispids:
            check_dispids(lib, read_dispid_table(args.dispids), args.source, args.dispids)
        generator = Generator(lib, args.source)
        header = generator.header(args.namespace)
        source = generator.source(args.namespace, args.include_as)
    except IdlError as error:
        print(f'midl: {error}', file=sys.stderr)
        return 1
    for path, text in ((args.header, header), (args.cpp, source)):
        with open(path, 'w', encoding='utf-8') as f:
            f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
