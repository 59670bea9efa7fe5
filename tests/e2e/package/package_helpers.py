"""Helpers of the release-package tests: the packages of the build, an older
package made from the same exe, Windows Installer under Wine, the entries
under installed apps and the Start menu shortcut."""
from __future__ import annotations

import re
import struct
import subprocess
from dataclasses import dataclass
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[3]
UPGRADE_CODE = "{E3E2F34F-FA1C-4E00-8CC2-0683C278D9CC}"
PRODUCT_NAME = "Presenter Vela"
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "Presenter_Vela"
# What msiexec ends with when a launch condition (the downgrade refusal) fails.
ERROR_INSTALL_FAILURE = 1603


def project_version() -> str:
    """The version set once in the top-level CMakeLists.txt."""
    text = (SOURCE_DIR / "CMakeLists.txt").read_text()
    return re.search(r"project\(\s*PresenterVela\s+VERSION\s+([0-9.]+)", text).group(1)


def msi_version(version: str) -> str:
    """The installation package's product version: the first three numbers."""
    return ".".join(version.split(".")[:3])


def lower_version(version: str) -> str:
    """A version whose first three numbers are below those of `version`."""
    numbers = [int(n) for n in version.split(".")[:3]]
    for i in (2, 1, 0):
        if numbers[i] > 0:
            numbers[i] -= 1
            numbers[i + 1:] = [99] * (2 - i)
            return ".".join(str(n) for n in numbers) + ".0"
    raise ValueError(f"no version below {version}")


def version_resource_value(name: str) -> str:
    """A string of the exe's version resource (resources/presenter_vela.rc)."""
    text = (SOURCE_DIR / "resources" / "presenter_vela.rc").read_text()
    return re.search(rf'VALUE "{name}", "([^"]*)"', text).group(1)


def make_msi(exe: Path, dll: Path, version: str, out: Path) -> Path:
    """Builds an installation package of `exe` with another version, the way
    the release build does (packaging/make-msi.sh)."""
    subprocess.run(["bash", str(SOURCE_DIR / "packaging" / "make-msi.sh"), "--exe", str(exe), "--dll", str(dll),
                    "--version", version, "--out", str(out)], check=True, timeout=180,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return out


def msi_table(msi: Path, table: str) -> list[list[str]]:
    """The rows of one table of an MSI (msiinfo export), without the three
    header lines."""
    out = subprocess.run(["msiinfo", "export", str(msi), table], capture_output=True, text=True,
                         timeout=60, check=True).stdout
    return [line.split("\t") for line in out.splitlines()[3:] if line]


def msi_properties(msi: Path) -> dict[str, str]:
    return {row[0]: row[1] for row in msi_table(msi, "Property")}


def msi_summary(msi: Path) -> dict[str, str]:
    out = subprocess.run(["msiinfo", "suminfo", str(msi)], capture_output=True, text=True, timeout=60,
                         check=True).stdout
    return {k.strip(): v.strip() for k, _, v in (line.partition(":") for line in out.splitlines())}


def windows_path(path: Path) -> str:
    """The Z: path Wine gives a file outside the prefix."""
    return "Z:" + str(path).replace("/", "\\")


def msiexec(session, *args: str, log: Path | None = None, timeout: float = 180) -> int:
    """Runs msiexec quietly to its end; its exit code (Wine passes on only
    the low byte of it)."""
    argv = ["msiexec", *args, "/qn"]
    if log is not None:
        argv += ["/l*v", windows_path(log)]
    return session.wine(argv, timeout=timeout).returncode


def same_exit_code(code: int, expected: int) -> bool:
    return code in (expected, expected & 0xFF)


@dataclass(frozen=True)
class InstalledEntry:
    """One entry under installed apps (an Uninstall key of the registry)."""
    key: str
    values: dict[str, str]


def installed_entries(session, name: str = PRODUCT_NAME) -> list[InstalledEntry]:
    """Every entry named `name` under installed apps, of the user and of the
    machine (Windows keeps a per-user product's entry with the user's
    installer data; Wine writes it under the machine's key)."""
    entries = []
    for hive in ("HKCU", "HKLM"):
        result = session.wine(["reg", "query", f"{hive}\\{UNINSTALL_KEY}", "/s"], timeout=60)
        if result.returncode != 0:
            continue
        key, values = None, {}
        for line in result.stdout.splitlines() + ["HKEY_END"]:
            if line.startswith("HKEY_"):
                if key is not None and values.get("DisplayName") == name:
                    entries.append(InstalledEntry(key, values))
                key, values = line.strip(), {}
                continue
            parts = [p for p in line.strip().split("    ") if p]
            if len(parts) >= 2:
                values[parts[0]] = parts[2] if len(parts) > 2 else ""
    return entries


def run_value(session) -> str | None:
    """The autostart entry's command, or None when there is none."""
    result = session.wine(["reg", "query", RUN_KEY, "/v", RUN_VALUE], timeout=60)
    if result.returncode != 0:
        return None
    for line in result.stdout.splitlines():
        parts = [p for p in line.strip().split("    ") if p]
        if len(parts) == 3 and parts[0] == RUN_VALUE:
            return parts[2]
    return None


@dataclass(frozen=True)
class ShellLink:
    target: str
    working_directory: str
    description: str
    icon: str


def read_shell_link(path: Path) -> ShellLink:
    """The target (the link information's local path), working folder,
    description and icon of a .lnk file (the Shell Link binary format)."""
    data = path.read_bytes()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        raise ValueError(f"{path} is not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset = 0x4C
    if flags & 0x01:  # HasLinkTargetIDList
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    target = ""
    if flags & 0x02:  # HasLinkInfo
        size, _, _, _, base = struct.unpack_from("<5I", data, offset)
        start = offset + base
        target = data[start:data.index(b"\0", start)].decode("latin-1")
        offset += size
    strings = {}
    unicode = bool(flags & 0x80)
    for bit, name in ((0x04, "description"), (0x08, "relative"), (0x10, "workdir"), (0x20, "arguments"),
                      (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, offset)[0]
            offset += 2
            width = 2 if unicode else 1
            raw = data[offset:offset + count * width]
            # Some writers (Wine) count the terminator too.
            strings[name] = raw.decode("utf-16-le" if unicode else "latin-1").rstrip("\0")
            offset += count * width
    return ShellLink(target, strings.get("workdir", ""), strings.get("description", ""), strings.get("icon", ""))


def wine_user_profile(session) -> Path:
    """The Unix folder of the Wine user's profile (C:\\users\\<name>)."""
    users = session.prefix / "drive_c" / "users"
    names = [p for p in users.iterdir() if p.is_dir() and not p.is_symlink() and p.name != "Public"]
    if len(names) != 1:
        raise AssertionError(f"expected one user profile in {users}: {names}")
    return names[0]
