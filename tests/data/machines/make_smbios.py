#!/usr/bin/env python3
"""Writes the raw SMBIOS tables (sys/firmware/dmi/tables/DMI) of the fixture machines.

Run it from anywhere; it writes next to itself. The outputs are committed, so the tests
do not need Python.
"""

import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent

POPULATED_ENABLED = 0x41  # status byte: socket populated, processor enabled
UNPOPULATED = 0x00


def structure(kind, handle, body, strings):
    """One structure: header, formatted area (`body` follows the header) and string set."""
    assert all(strings), "an empty string would end the string set early"
    formatted = struct.pack("<BBH", kind, 4 + len(body), handle) + body
    if strings:
        string_set = b"".join(s.encode("ascii") + b"\0" for s in strings) + b"\0"
    else:
        string_set = b"\0\0"
    return formatted + string_set


def bios(handle, vendor, version, date):
    # Strings 1..3 are vendor, version and release date.
    body = struct.pack("<BBHBBQBBBBBB", 1, 2, 0xF000, 3, 0xFF, 0x08, 0, 0, 1, 2, 0xFF, 0xFF)
    return structure(0, handle, body, [vendor, version, date])


def board(handle, manufacturer, product, version):
    strings = [s for s in (manufacturer, product, version) if s is not None]
    index = {s: i + 1 for i, s in enumerate(strings)}
    body = struct.pack(
        "<BBBBBBBHBB",
        index.get(manufacturer, 0),
        index.get(product, 0),
        index.get(version, 0),
        0,  # serial number: none
        0,  # asset tag: none
        0x09,  # feature flags: hosting board, replaceable
        0,  # location in chassis: none
        0x0003,  # chassis handle
        0x0A,  # board type: motherboard
        0,  # no contained objects
    )
    return structure(2, handle, body, strings)


def processor(handle, socket, version, ext_clock, max_speed, current_speed, status,
              maker="Intel(R) Corporation"):
    """Strings: 1 socket, 2 manufacturer, 3 version (none when `version` is None)."""
    body = struct.pack(
        "<BBBBQBBHHHBBHHHBBBBBBHH",
        1,  # socket designation: string 1
        3,  # processor type: central processor
        0xB3 if ext_clock else 0x02,  # family
        2,  # manufacturer: string 2
        0,  # processor id
        3 if version is not None else 0,  # version
        0x80,  # voltage
        ext_clock,
        max_speed,
        current_speed,
        status,
        0x01,  # upgrade: other
        0xFFFF,
        0xFFFF,
        0xFFFF,  # cache handles: none
        0,
        0,
        0,  # serial, asset tag, part number: none
        4,
        4,
        8,  # cores, enabled cores, threads
        0x0004,  # characteristics: 64-bit capable
        0x00B3,  # family 2
    )
    assert len(body) + 4 == 0x2A
    strings = [socket, maker] + ([version] if version is not None else [])
    return structure(4, handle, body, strings)


def end_of_table(handle):
    return structure(127, handle, b"", [])


def write(machine, data):
    path = HERE / machine / "sys" / "firmware" / "dmi" / "tables" / "DMI"
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def main():
    # The board strings differ from the machine's sys/class/dmi/id files on purpose, so the
    # tests can tell which of the two sources was used.
    write(
        "intel-desktop",
        bios(0x0000, "Firmware Works Ltd.", "1203", "03/01/2018")
        + board(0x0002, "Board Maker Inc. (table)", "BM-Z270 DESKTOP (table)", "Rev 1.xx")
        + processor(0x0040, "LGA1151", "Desktop Processor Q4-4200 @ 4.20GHz", 100, 8300,
                    4200, POPULATED_ENABLED)
        + end_of_table(0x00FF),
    )
    # Four sockets with the second empty; the board has no version string; the third socket's
    # name is padded. A stray structure after the end-of-table one must be ignored.
    write(
        "two-socket-server",
        bios(0x0000, "Firmware Works Ltd.", "2.1a", "12/15/2010")
        + board(0x0002, "Server Boards Co.", "SB-2S", None)
        + processor(0x0004, "CPU1", "Server Processor S4-2930 @ 2.93GHz", 133, 3200, 2933,
                    POPULATED_ENABLED)
        + processor(0x0005, "CPU2", None, 0, 0, 0, UNPOPULATED)
        + processor(0x0006, "CPU3 ", "Server Processor S4-2530 @ 2.53GHz", 166, 2800, 2533,
                    POPULATED_ENABLED)
        + end_of_table(0x00FF)
        + board(0x0100, "after the end", "after the end", "after the end"),
    )
    # A virtual machine's table: no board structure, and 0 (unknown) for the external clock,
    # as hypervisors write it.
    write(
        "virtual-machine",
        bios(0x0000, "Firmware Works Ltd.", "1.16.2-vm", "04/01/2014")
        + processor(0x0400, "CPU 0", "pc-vm-7.2", 0, 2000, 2000, POPULATED_ENABLED,
                    maker="Virtual Machine Maker")
        + end_of_table(0x7F00),
    )
    # A processor structure whose header claims more bytes than the file holds.
    write("malformed", struct.pack("<BBH", 4, 0x2A, 0x0040) + bytes(range(0x10, 0x24)))


if __name__ == "__main__":
    main()
