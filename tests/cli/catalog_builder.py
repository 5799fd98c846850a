"""Catalog files built byte by byte from the documented layout, independently of the C++ writer."""

import struct


def i32(value):
    return struct.pack("<i", value)


def string(text):
    data = text.encode("cp932")
    n = len(data)
    if n < 0xFF:
        return bytes([n]) + data
    if n < 0xFFFE:
        return b"\xff" + struct.pack("<H", n) + data
    return b"\xff\xff\xff" + struct.pack("<I", n) + data


def utf16_string(text):
    data = text.encode("utf-16-le")
    return b"\xff\xfe\xff" + bytes([len(data) // 2]) + data


def count(n):
    return struct.pack("<H", n) if n < 0xFFFF else b"\xff\xff" + struct.pack("<I", n)


def string_array(strings):
    return count(len(strings)) + b"".join(string(s) for s in strings)


class ArchiveBuilder:
    """Numbers classes and objects as the format does and writes their tags."""

    def __init__(self):
        self.next_index = 1
        self.classes = {}

    def tag(self, class_name):
        if class_name not in self.classes:
            out = b"\xff\xff" + struct.pack("<HH", 1, len(class_name)) + class_name.encode()
            self.classes[class_name] = self.next_index
            self.next_index += 1
        else:
            out = struct.pack("<H", 0x8000 + self.classes[class_name])
        self.next_index += 1
        return out


def catalog_bytes(categories, items, filters=(), sort_keys=(-1, -2, -3, -4, -5), use_shortcuts=0,
                  relative_paths=0):
    """categories: (name, selection, flags); items: (shortcut, memo, title, path, values);
    filters: (version, target, text, operator, conjunction)."""
    archive = ArchiveBuilder()
    out = i32(100) + i32(0) + i32(1) + i32(1) + i32(1) + i32(use_shortcuts) + i32(relative_paths)
    out += i32(0) * 4 + b"\x00" * 5
    out += count(len(filters))
    for version, target, text, operator, conjunction in filters:
        out += archive.tag("CItemFilter") + i32(version) + i32(target) + string(text) + i32(operator)
        out += i32(conjunction)
    out += count(len(sort_keys))
    for key in sort_keys:
        out += archive.tag("CSortItem") + i32(100) + i32(key) + i32(1)
    out += count(len(categories))
    for name, selection, flags in categories:
        out += archive.tag("CCategory") + i32(100) + string(name) + i32(-1) + i32(-1) + i32(flags)
        out += string_array(selection)
    out += count(len(items))
    for shortcut, memo, title, path, values in items:
        out += archive.tag("CFileItem") + i32(100) + string(shortcut) + string(memo) + string(title)
        out += string(path) + string_array(values)
    return out
