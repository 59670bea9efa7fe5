#!/usr/bin/python3
"""Scripted tour of PresenterVela.exe on a private virtual display, driven
by a simulated receiver and remote.

For each user-interface language it starts the program, and takes a
screenshot of what a user sees at each step into the output folder: the
splash, the tray icon's page while the remote is off, the settings page once
the remote is on, and the tray menu. Then it quits the program. Last, each
presentation effect over a slide, driven by the remote's keys.
"""
import argparse
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tests" / "e2e" / "app"))
sys.path.insert(0, str(ROOT / "tests" / "e2e" / "effects"))

from harness import WineSession  # noqa: E402
from shell_helpers import (TITLE, RemoteKeepAlive, click_last_menu_item, click_tray, open_tray_menu, quit_by_command,  # noqa: E402
                           receiver_sim, splash_windows, wait_until)


def tour(exe: Path, build_dir: Path, out: Path, language: str, lang_env: str | None) -> list[Path]:
    shots = []
    with WineSession(build_dir, out, f"tour-{language}", lang=lang_env) as session, \
            receiver_sim.Simulator() as simulator:
        remote = RemoteKeepAlive(simulator, remote_on=False).start()
        program = session.start_program(exe, PRESENTER_VELA_RECEIVER=simulator.variable())
        if not wait_until(lambda: splash_windows(session), 30):
            raise RuntimeError("the program did not show its splash")
        shots.append(session.screenshot(f"tour-{language}-1-splash"))
        wait_until(lambda: not splash_windows(session), 6)
        session.wait_window(TITLE, 10)

        # The receiver is plugged in but the remote is off: the "switch it on" page.
        time.sleep(3.0)
        click_tray(session, 1)
        session.wait_visible(TITLE, 5)
        time.sleep(0.5)
        shots.append(session.screenshot(f"tour-{language}-2-remote-off"))
        session.xdotool("key", "Escape")

        # The remote is switched on: the settings page.
        remote.switch_remote(True)
        wait_until(lambda: remote.connection is not None, 30)
        time.sleep(4.0)
        click_tray(session, 1)
        session.wait_visible(TITLE, 5)
        time.sleep(0.5)
        shots.append(session.screenshot(f"tour-{language}-3-settings"))

        menu = open_tray_menu(session)
        shots.append(session.screenshot(f"tour-{language}-4-tray-menu"))
        click_last_menu_item(session, menu)  # Quit
        try:
            program.wait(timeout=10)
        except Exception:
            quit_by_command(session)
            program.wait(timeout=10)
        remote.stop()
    return shots


def effects_tour(exe: Path, build_dir: Path, out: Path) -> list[Path]:
    """Each effect over a slide, driven by the simulated remote: the
    spotlight, the magnifier over the slide's title, the digital laser and
    the black screen."""
    from effects_helpers import (EFFECT, SCENE, Screen, move_pointer, start_backdrop,  # noqa: E402
                                 start_program)
    shots = []
    with WineSession(build_dir, out, "tour-effects") as session, receiver_sim.Simulator() as simulator:
        start_backdrop(session, "slide")
        program, remote = start_program(session, exe, simulator, LastScene=0, CircleColor=160)
        screen = Screen(session.display)

        def shot(name: str) -> None:
            time.sleep(0.6)
            screen.repaint()
            shots.append(session.screenshot(f"tour-effects-{name}"))

        move_pointer(session, 1300, 760)
        session.xdotool("click", "1")  # the slide in front, as during a presentation
        remote.keys(EFFECT)
        shot("1-spotlight")
        remote.keys(0)
        remote.tap(SCENE)
        move_pointer(session, 560, 70)
        remote.keys(EFFECT)
        shot("2-magnifier")
        remote.keys(0)
        remote.tap(SCENE)
        move_pointer(session, 640, 330)
        remote.keys(EFFECT)
        move_pointer(session, 700, 335)  # the laser follows the hand
        shot("3-laser")
        remote.keys(0)
        time.sleep(0.3)
        remote.black_screen()
        shot("4-black-screen")
        remote.black_screen()
        time.sleep(0.3)
        screen.close()
        quit_by_command(session)
        program.wait(timeout=10)
        remote.stop()
    return shots


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--build-dir", required=True, type=Path)
    parser.add_argument("--out", required=True, type=Path)
    args = parser.parse_args()
    shots = []
    for language, lang_env in (("en", None), ("zh", "zh_CN.UTF-8")):
        shots += tour(args.exe.resolve(), args.build_dir.resolve(), args.out.resolve(), language, lang_env)
    shots += effects_tour(args.exe.resolve(), args.build_dir.resolve(), args.out.resolve())
    for shot in shots:
        print(f"screenshot: {shot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
