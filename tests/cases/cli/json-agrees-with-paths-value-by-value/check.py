# Reads a JSON listing and the --paths listing of the same tree and checks that they agree entry by
# entry: the same paths, kinds, operations and enabled flags, and JSON values of the kind's type that
# stand for the same values as the text forms.
import base64, json, math, sys

def unescape(field):
    out, chars = [], iter(field)
    for c in chars:
        out.append({'\\': '\\', 't': '\t', 'n': '\n', 'r': '\r'}[next(chars)] if c == '\\' else c)
    return ''.join(out)

def same_value(kind, value, text):
    if kind == 'Bool':
        return isinstance(value, bool) and ('true' if value else 'false') == text
    if kind == 'Int':
        return type(value) is int and value == int(text)
    if kind == 'Double':
        if text in ('+infinity', '-infinity', 'nan'):
            return value == text
        return type(value) is float and value == float(text)
    if kind == 'Data':
        return base64.b64decode(value, validate=True) == base64.b64decode(text) and value == text
    if kind in ('Dictionary', 'Array'):
        return value == ({} if kind == 'Dictionary' else []) and text == ''
    return isinstance(value, str) and value == text

entries = json.load(open(sys.argv[1], encoding='utf-8'))
lines = open(sys.argv[2], encoding='utf-8', newline='\n').read().split('\n')[:-1]
assert len(entries) == len(lines), (len(entries), len(lines))
for entry, line in zip(entries, lines):
    fields = [unescape(f) for f in line.split('\t')]
    operation, enabled = (fields[3], fields[4] == '1') if len(fields) == 5 else ('None', True)
    assert list(entry) == ['path', 'kind', 'value', 'operation', 'enabled'], entry
    assert entry['path'] == fields[0] and entry['kind'] == fields[1], (entry, fields)
    assert same_value(entry['kind'], entry['value'], fields[2]), (entry, fields)
    assert entry['operation'] == operation and entry['enabled'] is enabled, (entry, fields)
print(len(entries), 'entries agree')
