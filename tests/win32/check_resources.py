#!/usr/bin/env python3
"""Checks the built tickmeter.exe: its version record, its icon's three
images, its manifest, and that it imports only DLLs that ship with Windows.

Usage: check_resources.py <tickmeter.exe> <objdump>
Needs wrestool and icotool (icoutils).
"""
import re
import struct
import subprocess
import sys
import tempfile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll", "msvcrt.dll", "advapi32.dll",
               "shell32.dll", "comctl32.dll", "ole32.dll", "ntdll.dll"}

failures = []


def expect(what, expected, actual):
    if expected == actual:
        print(f"ok: {what}")
    else:
        failures.append(what)
        print(f"FAIL: {what}: expected {expected!r}, got {actual!r}")


def resource(exe, kind, name="1"):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", exe],
                          check=True, capture_output=True).stdout


def version_nodes(data, offset=0, end=None):
    """The children of a VS_VERSIONINFO node list: (key, value bytes, value type, children)."""
    end = len(data) if end is None else end
    nodes = []
    while offset + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            break
        key_end = offset + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[offset + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if value_type == 1 else value_length
        value = data[value_start:value_start + value_size]
        children_start = (value_start + value_size + 3) & ~3
        children = version_nodes(data, children_start, offset + length)
        nodes.append((key, value, value_type, children))
        offset = (offset + length + 3) & ~3
    return nodes


def check_version(exe):
    [(root_key, fixed, _, blocks)] = version_nodes(resource(exe, 16))
    expect("version record key", "VS_VERSION_INFO", root_key)
    signature, _, file_ms, file_ls, product_ms, product_ls, _, _, _, file_type, _, _, _ = \
        struct.unpack("<13I", fixed)
    expect("fixed file info signature", 0xFEEF04BD, signature)
    expect("FILEVERSION 1,0,0,0", (0x00010000, 0), (file_ms, file_ls))
    expect("PRODUCTVERSION 1,0,0,0", (0x00010000, 0), (product_ms, product_ls))
    expect("file type VFT_APP", 1, file_type)
    by_key = {key: children for key, _, _, children in blocks}
    expect("blocks", ["StringFileInfo", "VarFileInfo"], sorted(by_key))
    tables = {key: children for key, _, _, children in by_key.get("StringFileInfo", [])}
    expect("string tables", ["040904B0"], list(tables))
    entries = {key: value.decode("utf-16-le").rstrip("\0") for key, value, _, _ in next(iter(tables.values()), [])}
    expect("string entries, and no others", {
        "FileVersion": "1.00", "ProductVersion": "1.00", "ProductName": "tickmeter",
        "InternalName": "tickmeter", "OriginalFilename": "tickmeter.exe"}, entries)
    translations = [(key, value) for key, value, _, _ in by_key.get("VarFileInfo", [])]
    expect("Translation", [("Translation", struct.pack("<HH", 0x409, 1200))], translations)


def check_icon(exe):
    with tempfile.NamedTemporaryFile(suffix=".ico") as icon:
        subprocess.run(["wrestool", "-x", "--type=14", "--name=1", f"--output={icon.name}", exe], check=True)
        listing = subprocess.run(["icotool", "-l", icon.name], check=True, capture_output=True, text=True).stdout
    images = sorted(tuple(int(re.search(f"--{field}=(\\d+)", line).group(1))
                          for field in ("width", "height", "bit-depth"))
                    for line in listing.splitlines())
    expect("icon images (width, height, bits per pixel)", [(16, 16, 4), (32, 32, 1), (32, 32, 4)], images)


def check_manifest(exe):
    manifest = resource(exe, 24).decode("utf-8")
    for needle in ("<dpiAware", "true/pm", "<dpiAwareness", "PerMonitorV2,PerMonitor",
                   "Microsoft.Windows.Common-Controls", 'version="6.0.0.0"'):
        expect(f"manifest has {needle}", True, needle in manifest)


def check_imports(exe, objdump):
    dump = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    dlls = sorted({name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)})
    print("imports:", " ".join(dlls))
    expect("imports only system DLLs", [], [dll for dll in dlls if dll not in SYSTEM_DLLS])


if __name__ == "__main__":
    exe, objdump = sys.argv[1:3]
    check_version(exe)
    check_icon(exe)
    check_manifest(exe)
    check_imports(exe, objdump)
    sys.exit(1 if failures else 0)
