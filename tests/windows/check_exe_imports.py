#!/usr/bin/python3
"""Checks that PresenterVela.exe is a standalone PE32+ GUI program.

It must be a 64-bit Windows GUI executable whose imported DLLs are all part
of Windows itself, so that copying the exe alone onto a PC is enough.
"""
import re
import subprocess
import sys

# DLLs every supported Windows (7 to 11) ships in System32.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll",
    "hid.dll", "imm32.dll", "kernel32.dll", "msimg32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "uxtheme.dll", "version.dll", "wininet.dll", "winmm.dll",
    "ws2_32.dll", "windowscodecs.dll", "dwmapi.dll", "crypt32.dll", "bcrypt.dll",
}
# The UCRT and API-set forwarders are part of Windows 10+ and of Windows 7/8
# with the Universal C Runtime update.
SYSTEM_PREFIXES = ("api-ms-win-",)


def main() -> int:
    exe = sys.argv[1]
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe],
                          check=True, capture_output=True, text=True, timeout=60).stdout
    problems = []
    if "file format pei-x86-64" not in subprocess.run(
            ["x86_64-w64-mingw32-objdump", "-f", exe], check=True,
            capture_output=True, text=True, timeout=60).stdout:
        problems.append("not a PE32+ (x86-64) image")
    magic = re.search(r"^Magic\s+(\w+)", dump, re.M)
    if not magic or magic.group(1) != "020b":
        problems.append(f"optional header magic is {magic.group(1) if magic else 'missing'}, not 020b (PE32+)")
    subsystem = re.search(r"^Subsystem\s+(\w+)", dump, re.M)
    if not subsystem or int(subsystem.group(1), 16) != 2:
        problems.append(f"subsystem is {subsystem.group(1) if subsystem else 'missing'}, not 2 (Windows GUI)")
    dlls = sorted({name.lower() for name in re.findall(r"DLL Name:\s*(\S+)", dump)})
    if not dlls:
        problems.append("no import table found")
    foreign = [d for d in dlls if d not in SYSTEM_DLLS and not d.startswith(SYSTEM_PREFIXES)]
    if foreign:
        problems.append("imports DLLs that Windows does not ship: " + ", ".join(foreign))
    print("imports: " + ", ".join(dlls))
    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
