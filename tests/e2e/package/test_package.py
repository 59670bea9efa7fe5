"""The release packages of the build (build/windows/release): their names,
checksums and contents, then, under Wine in one fresh prefix, the per-user
MSI upgraded in place over an older package, refused as a downgrade, the
installed program running with the simulated receiver and its autostart
switch, the uninstall, and the portable zip's program run from a folder with
spaces and non-ASCII characters in its path."""
import hashlib
import sys
import time
import unittest
import zipfile
from pathlib import Path

import harness
from harness.watchdog import processes_of_prefix
from package_helpers import (ERROR_INSTALL_FAILURE, PRODUCT_NAME, SOURCE_DIR, UPGRADE_CODE, installed_entries,
                             lower_version, make_msi, msi_properties, msi_summary, msi_table, msi_version,
                             msiexec, project_version, read_shell_link, run_value, same_exit_code,
                             version_resource_value, windows_path, wine_user_profile)

APP_DIR = Path(__file__).resolve().parents[1] / "app"
if str(APP_DIR) not in sys.path:
    sys.path.insert(0, str(APP_DIR))

from shell_helpers import (REG_PREFIX, TITLE, RemoteKeepAlive, click_tray, quit_by_command,  # noqa: E402
                           receiver_sim, splash_windows, switch_autoboot_on_page, tray_icon_point, tray_tooltip,
                           wait_until)

VERSION = project_version()
VERSION_LABEL = "1003"  # the main window's version field
BASE = f"PresenterVela-{VERSION}-x64"
INSTALL_FOLDER = r"C:\users\{user}\AppData\Local\Programs\Presenter Vela"
INSTALLATION_KEY = r"HKCU\Software\Korvel\Presenter Vela Installation"  # the components' key paths
ZIP_FOLDER = "Présentations Vela 演示 2"


def version_label(session) -> str | None:
    return next((c.text for c in session.child_windows(TITLE) if c.handle == VERSION_LABEL), None)


def desktop_shortcut(session) -> Path:
    """The shortcut the program's autostart switch puts on the desktop."""
    return wine_user_profile(session) / "Desktop" / "Presenter Vela.lnk"


def release_dir() -> Path:
    return harness.context().build_dir / "release"


def program_processes(session) -> list[int]:
    """The processes of the session's prefix that run PresenterVela.exe."""
    found = []
    for pid in processes_of_prefix(str(session.prefix)):
        try:
            command = Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            continue
        if b"PresenterVela.exe" in command:
            found.append(pid)
    return found


class ReleaseFiles(unittest.TestCase):
    """The three files, without Wine."""

    def test_checksums_list_both_packages_and_match_them(self):
        lines = (release_dir() / "SHA256SUMS").read_text().splitlines()
        listed = {}
        for line in lines:
            digest, name = line.split("  ", 1)
            listed[name] = digest
        self.assertEqual(set(listed), {f"{BASE}.msi", f"{BASE}.zip"})
        for name, digest in listed.items():
            self.assertEqual(hashlib.sha256((release_dir() / name).read_bytes()).hexdigest(), digest, name)

    def test_zip_holds_the_built_program_both_manuals_and_the_first_use_text(self):
        ctx = harness.context()
        with zipfile.ZipFile(release_dir() / f"{BASE}.zip") as archive:
            self.assertEqual(sorted(archive.namelist()), ["FIRST-USE.txt", "PresenterVela-manual-en.pdf",
                                                          "PresenterVela-manual-zh.pdf", "PresenterVela.exe"])
            self.assertEqual(archive.read("PresenterVela.exe"), ctx.exe.read_bytes())
            for language in ("en", "zh"):
                self.assertEqual(archive.read(f"PresenterVela-manual-{language}.pdf"),
                                 (SOURCE_DIR / "resources" / "manuals" / f"manual_{language}.pdf").read_bytes())
            text = archive.read("FIRST-USE.txt")
        self.assertIn(f"Presenter Vela {VERSION}".encode(), text)
        self.assertNotIn(b"@VERSION@", text)
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "Windows line ends")

    def test_msi_is_per_user_with_the_version_publisher_and_upgrade_code(self):
        msi = release_dir() / f"{BASE}.msi"
        properties = msi_properties(msi)
        self.assertEqual(properties["ProductVersion"], msi_version(VERSION))
        self.assertEqual(properties["ProductName"], version_resource_value("ProductName"))
        self.assertEqual(properties["Manufacturer"], version_resource_value("CompanyName"))
        self.assertEqual(properties["UpgradeCode"], UPGRADE_CODE)
        self.assertEqual([row[4] for row in msi_table(msi, "File") if row[0] == "PresenterVela.exe"], [VERSION],
                         "the program's file version, for Windows Installer's file rules")
        self.assertNotIn("ALLUSERS", properties, "a per-user package leaves ALLUSERS unset")
        # Word count bit 3: elevated privileges not required (no elevation prompt).
        self.assertTrue(int(msi_summary(msi)["Source"].split()[0]) & 8, msi_summary(msi))
        self.assertEqual(msi_summary(msi)["Template"], "x64;1033")
        conditions = dict((row[0], row[1]) for row in msi_table(msi, "LaunchCondition"))
        self.assertIn("A newer version of Presenter Vela is already installed", conditions.get(
            "NOT WIX_DOWNGRADE_DETECTED", ""))
        # Custom actions run for a user's uninstall only: nothing starts the
        # program at the end of an installation.
        custom = {row[0] for row in msi_table(msi, "CustomAction")}
        scheduled = [row for row in msi_table(msi, "InstallExecuteSequence") if row[0] in custom]
        self.assertEqual(sorted(row[0] for row in scheduled), sorted(custom))
        for action, condition, _ in scheduled:
            self.assertEqual(condition, 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE', action)
        self.assertEqual([row for row in msi_table(msi, "InstallUISequence") if row[0] in custom], [])


class InstallUpgradeDowngradeUninstall(unittest.TestCase):
    """One fresh prefix: the older package and its program with autostart
    on, this package over it, the older one again, the uninstall, then the
    portable program."""

    def test_msi_in_a_fresh_prefix_then_the_portable_zip(self):
        ctx = harness.context()
        current = release_dir() / f"{BASE}.msi"
        older_version = lower_version(VERSION)
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "package", lang="C.UTF-8") as session:
            older = make_msi(ctx.exe, ctx.build_dir / "bin" / "pv_msi_actions.dll", older_version,
                             session.root / f"PresenterVela-{older_version}-x64.msi")
            profile = wine_user_profile(session)
            folder = INSTALL_FOLDER.format(user=profile.name)
            installed_exe = profile / "AppData" / "Local" / "Programs" / "Presenter Vela" / "PresenterVela.exe"
            shortcut = (profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs" /
                        "Presenter Vela.lnk")

            # The older package: installed, and nothing started by it.
            self.assertEqual(msiexec(session, "/i", windows_path(older)), 0)
            self.assertEqual([e.values["DisplayVersion"] for e in installed_entries(session)],
                             [msi_version(older_version)])
            self.assertFalse(session.window_exists(TITLE), "the installation started the program")
            self.assertTrue(installed_exe.is_file())
            exe_path = folder + r"\PresenterVela.exe"
            self.run_installed_program_and_switch_autostart_on(session, shortcut, exe_path)

            # This package over it: one installation, of this version, in
            # place; the autostart entry still names the program.
            self.assertEqual(msiexec(session, "/i", windows_path(current), log=ctx.artifacts / "install.log"), 0)
            entries = installed_entries(session)
            self.assertEqual(len(entries), 1, entries)
            entry = entries[0].values
            self.assertEqual(entry["DisplayVersion"], msi_version(VERSION))
            self.assertEqual(entry["Publisher"], version_resource_value("CompanyName"))
            self.assertIn("MsiExec.exe /X{", entry["UninstallString"])
            self.assertEqual(installed_exe.read_bytes(), ctx.exe.read_bytes())
            self.assertEqual(sorted(p.name for p in installed_exe.parent.iterdir()), ["PresenterVela.exe"])
            link = read_shell_link(shortcut)
            self.assertEqual(link.target.lower(), exe_path.lower())
            self.assertEqual(link.working_directory.rstrip("\\").lower(), folder.lower())
            self.assertTrue(link.icon.lower().endswith("presentervela.ico"), link.icon)
            self.assertEqual(run_value(session), f'"{exe_path}"', "an upgrade keeps the autostart entry")

            # The older package over this one: refused, this one stays.
            code = msiexec(session, "/i", windows_path(older))
            self.assertTrue(same_exit_code(code, ERROR_INSTALL_FAILURE), code)
            self.assertEqual([e.values["DisplayVersion"] for e in installed_entries(session)],
                             [msi_version(VERSION)])
            self.assertTrue(installed_exe.is_file())

            # The uninstall: files, folder, shortcut, entry and Run value go;
            # the settings and the work folder stay.
            self.assertEqual(msiexec(session, "/x", windows_path(current), log=ctx.artifacts / "uninstall.log"), 0)
            self.assertFalse(installed_exe.parent.exists(), list(installed_exe.parent.glob("*")))
            self.assertFalse(shortcut.exists())
            self.assertEqual(installed_entries(session), [])
            self.assertNotEqual(session.wine(["reg", "query", INSTALLATION_KEY], timeout=60).returncode, 0,
                                "the installation's own registry key outlived the uninstall")
            self.assertIsNone(run_value(session), "the autostart entry outlived the uninstall")
            self.assertFalse(desktop_shortcut(session).exists(), "the autostart shortcut outlived the uninstall")
            self.assertEqual(session.reg_dword(REG_PREFIX + "AutoBoot"), 1)
            self.assertEqual(session.reg_dword(REG_PREFIX + "FirstRun"), 0)
            self.assertTrue((profile / "Presenter_Vela" / "Help_PresenterVela.pdf").is_file(),
                            "the work folder is the user's: it stays")

            self.run_portable_program(session, profile, ctx)

    def run_installed_program_and_switch_autostart_on(self, session, shortcut: Path, exe_path: str) -> None:
        """The Start menu shortcut starts the installed exe, which shows its
        tray icon and links to the simulated receiver; its AutoBoot switch
        registers that exe itself, without a copy (a fixed drive)."""
        with receiver_sim.Simulator() as simulator:
            remote = RemoteKeepAlive(simulator).start()
            # The shell opens the shortcut the way a click in the Start menu does.
            session.spawn(["start", "/unix", str(shortcut)],
                          env=session.env(PRESENTER_VELA_RECEIVER=simulator.variable()))
            try:
                self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")
                session.xdotool("key", "space")
                self.assertTrue(session.wait_window(TITLE, 15), "no main window")
                self.assertTrue(wait_until(lambda: remote.connection is not None, 30), "never connected")
                self.assertTrue(wait_until(lambda: tray_icon_point(session) is not None, 10), "no tray icon")
                self.assertTrue(wait_until(lambda: tray_tooltip(session, 2) == "Presenter Vela", 20),
                                "the remote never showed as linked in the tray")
                session.screenshot("installed-program-linked")
                self.assertEqual(version_label(session), VERSION)
                click_tray(session, 1)
                self.assertTrue(wait_until(lambda: session.window_visible(TITLE), 5), "the page did not show")
                time.sleep(0.8)
                self.assertTrue(switch_autoboot_on_page(session), "AutoBoot was not switched on")
                self.assertEqual(run_value(session), f'"{exe_path}"')
                self.assertEqual(read_shell_link(desktop_shortcut(session)).target, exe_path)
                work_folder = wine_user_profile(session) / "Presenter_Vela"
                self.assertFalse((work_folder / "PresenterVela_xp.exe").exists(),
                                 "an installed program needs no copy of itself")
                self.assertTrue(quit_by_command(session))
                self.assertTrue(wait_until(lambda: not session.window_exists(TITLE), 10), "the program did not end")
                # Its window goes before its process ends (the link's worker is
                # stopped after it): an upgrade must not meet the exe still in use.
                self.assertTrue(wait_until(lambda: not program_processes(session), 15),
                                "the program's process did not end")
            finally:
                remote.stop()

    def run_portable_program(self, session, profile: Path, ctx) -> None:
        """The zip's program, unpacked into a folder whose path has spaces,
        accents and Chinese characters, starts and quits."""
        target = profile / ZIP_FOLDER
        with zipfile.ZipFile(release_dir() / f"{BASE}.zip") as archive:
            archive.extractall(target)
        exe_path = f"C:\\users\\{profile.name}\\{ZIP_FOLDER}\\PresenterVela.exe"
        program = session.spawn([exe_path], env=session.env(PRESENTER_VELA_RECEIVER="tcp:127.0.0.1:9"))
        try:
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "the portable program did not start")
            session.xdotool("key", "space")
            self.assertTrue(session.wait_window(TITLE, 15), "no main window")
            session.screenshot("portable-program")
            # The label reads the version resource of the running exe by its
            # own path: that path survived the spaces and non-ASCII characters.
            self.assertEqual(version_label(session), VERSION)
            self.assertTrue(quit_by_command(session))
            self.assertEqual(program.wait(timeout=10), 0)
        finally:
            if program.poll() is None:
                program.kill()


if __name__ == "__main__":
    harness.main()
