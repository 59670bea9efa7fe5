"""A clean exit from every state: the tray menu's Quit and the end of the
Windows session (WM_QUERYENDSESSION, then WM_ENDSESSION), each from every
state in STATES. After each exit:

  - the process has ended by itself with exit code 0 within 5 s;
  - its window and its tray icon are gone;
  - every setting is still there, a whole REG_DWORD with the value it had
    before the exit (nothing lost, nothing half-written);
  - for states that hide the taskbar and the pointer (Row.gives_back_desktop:
    an effect or the black screen shown), both are back.

All rows run in one Wine session, one program start each, so the settings
carry over from row to row as they do between a user's runs.

A state whose exit is known to fail carries its fault in Row.known_fault
(reported, not run, until it is mended; PV_EXIT_KNOWN_FAULTS=1 runs it).

A new state is one Row line in STATES: a name, the settings it needs, and a
function that brings the running program into the state and asserts that
the state is in force, from what the program shows, sends or plays (it gets
the session and the simulated remote); `exits` names the exits a state can
reach when not every one can.
"""
from __future__ import annotations

import os
import subprocess
import sys
import time
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Callable

import harness

for folder in ("app", "update", "effects"):
    sys.path.insert(0, str(Path(__file__).resolve().parents[1] / folder))
from shell_helpers import (REG_PREFIX, TITLE, RemoteKeepAlive, click_last_menu_item, free_port, open_tray_menu,
                           receiver_sim, tray_tooltip, wait_link_ready, wait_until)
from update_helpers import (COUNTER, DIALOG_CAPTION, IDYES, QUESTION_CAPTION, STATUS,  # noqa: E402
                            UPDATE_LINK_POINT, controls, press_button, wait_box)
from update_server import Answer, UpdateServer, ok  # noqa: E402
from effects_helpers import Remote, Screen, close_to, hue_to_color, move_pointer, taskbar_windows  # noqa: E402

UM_SHOW_MAIN = 0x465
EXIT_WITHIN_S = 5.0
ALARM_FILE = "alarm.raw"
# The remote's keep-alive reports are 0.5 s apart; the link declares the
# radio down after a 3 s read wait and the anti-lost countdown is 20 s.
RADIO_DOWN_S = 3.5
ALARM_COUNTDOWN_S = 20.0

# Settings planted before every row (distinct from the defaults, so a lost
# or reset value shows); each row may add its own.
PLANTED = {
    "FirstRun": 0,  # no manual opening on start
    "Brightness": 42,
    "SpotlightSize": 420,
    "ZoomSize": 380,
    "CircleSize": 160,
    "PointerSpeed": 75,
    "CircleColor": 120,
    "LastScene": 2,
    "AntiLost": 0,
}


class Program:
    """One run of the program in the session, with the simulated remote."""

    def __init__(self, session, exe, with_receiver: bool, with_update_server: bool = False,
                 holding_remote: bool = False, with_sound: bool = False):
        self.session = session
        sound_env = sound_device(session) if with_sound else {}
        self.update_server = UpdateServer().start() if with_update_server else None
        update_env = {"PRESENTER_VELA_UPDATE_URL": self.update_server.base_url,
                      "PRESENTER_VELA_UPDATE_TIMEOUT_MS": "5000"} if self.update_server else {}
        self.simulator = receiver_sim.Simulator() if with_receiver else None
        # The effect rows need a remote that holds its keys (it repeats its key state).
        remote_kind = Remote if holding_remote else RemoteKeepAlive
        self.remote = remote_kind(self.simulator).start() if self.simulator else None
        # Without a receiver the variable points at a port nobody listens on.
        variable = self.simulator.variable() if self.simulator else f"tcp:127.0.0.1:{free_port()}"
        self.process = session.start_program(exe, PRESENTER_VELA_RECEIVER=variable, **update_env, **sound_env)

    def close(self) -> None:
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        if self.remote:
            self.remote.stop()
        if self.simulator:
            self.simulator.close()
        if self.update_server:
            self.update_server.stop()


def sound_device(session) -> dict[str, str]:
    """Environment that gives the program a sound device (Wine's ALSA driver)
    whose default output writes what is played into ALARM_FILE in the
    session's home folder; nothing reaches a loudspeaker."""
    session.home.mkdir(parents=True, exist_ok=True)
    sound = session.home / ALARM_FILE
    if sound.exists():
        sound.unlink()
    (session.home / ".asoundrc").write_text(
        f'pcm.!default {{\n  type file\n  slave.pcm "null"\n  file "{sound}"\n  format "raw"\n}}\n')
    overrides = session.env()["WINEDLLOVERRIDES"].replace("winealsa.drv,winepulse.drv=d", "winepulse.drv=d")
    return {"WINEDLLOVERRIDES": overrides}


# ---------------------------------------------------------------- the states
# Each brings the program into its state and asserts that the state is in
# force before the exit is taken.
TIP_LINKED, TIP_NO_RECEIVER = "Presenter Vela", "Presenter Vela\\n(No Dongle)"
TIP_RADIO_DOWN = "Presenter Vela\\n( RF Disconnect)"
POINTER = (960, 540)  # where the effects show
AWAY = (300, 300)  # far from the pointer: darkened by the spotlight only


def linked_answer(program: Program):
    """The program's answer to a state request, once linked (its hello seen)."""
    answer = wait_link_ready(program.remote, 30)
    assert answer is not None, "the program never linked with the simulated receiver"
    return answer


def idle_linked(session, program: Program) -> None:
    linked_answer(program)
    assert tray_tooltip(session) == TIP_LINKED, "the tray does not show the remote linked"


def receiver_absent(session, program: Program) -> None:
    assert wait_until(lambda: tray_tooltip(session, 2) == TIP_NO_RECEIVER, 10), "the tray does not say no receiver"


def waiting_in_read(session, program: Program) -> None:
    assert wait_until(lambda: program.remote.connection is not None, 30), "the program never connected"
    program.remote.switch_remote(False)
    connection = program.remote.connection
    # The hello comes after the 2 s settle delay; from then on the worker
    # waits in a 3 s read that the silent receiver never completes.
    assert receiver_sim.is_hello(connection.next_output(timeout=10)), "no hello from the program"
    time.sleep(0.5)
    assert not connection.wait_closed(0), "the program let go of the receiver"
    try:
        connection.recv_frame(0.01)
        raise AssertionError("the program sent a report instead of waiting in its read")
    except TimeoutError:
        pass


def main_window_shown(session, program: Program) -> None:
    linked_answer(program)
    session.probe("post", TITLE, str(UM_SHOW_MAIN))
    assert session.wait_visible(TITLE, 10), "the main window did not show"


def alarm_sounding(session, program: Program) -> None:
    linked_answer(program)
    # The alarm arms when the window sees the radio link come up; the remote
    # may have linked during the splash, before the window was there to see
    # it. Off and on once while the window watches (the link reopens the
    # silent receiver every 5 s, so the remote is heard again within that).
    program.remote.switch_remote(False)
    assert wait_until(lambda: tray_tooltip(session, 2) == TIP_RADIO_DOWN, 10), "the tray does not say radio down"
    program.remote.switch_remote(True)
    assert wait_until(lambda: tray_tooltip(session, 2) == TIP_LINKED, 15), "the remote did not link again"
    program.remote.switch_remote(False)
    countdown_end = time.monotonic() + RADIO_DOWN_S + ALARM_COUNTDOWN_S - 2
    sound = session.home / ALARM_FILE
    assert wait_until(lambda: tray_tooltip(session, 2) == TIP_RADIO_DOWN, 10), "the tray does not say radio down"
    # The receiver stays plugged in: the link's reopening of the silent
    # receiver (every 5 s) is no unplugging, and would cancel the countdown.
    tips = set()
    while time.monotonic() < countdown_end - 3:
        tips.add(tray_tooltip(session, 2))
        time.sleep(0.5)
    time.sleep(max(0.0, countdown_end - time.monotonic()))
    assert tips == {TIP_RADIO_DOWN}, f"the tray did not keep showing the receiver present, radio down: {tips}"
    assert not sound.exists() or sound.stat().st_size == 0, "the alarm sounded before its countdown ended"
    # The sound device of the session writes what is played into a file: it grows while the alarm sounds.
    assert wait_until(lambda: sound.exists() and sound.stat().st_size > 0, 8), "no alarm sound"
    size = sound.stat().st_size
    assert wait_until(lambda: sound.stat().st_size > size, 2), "the alarm is not sounding"


def update_downloading(session, program: Program) -> None:
    # A newer version, and an updater that trickles in over minutes.
    program.update_server.set("update.ini", ok(b"[update]\r\nVersion=9.0.0.0\r\n"))
    program.update_server.set("Renewa.exe", Answer("ok", b"MZ" + b"\0" * 4_000_000, chunk=1024, delay=0.05))
    main_window_shown(session, program)
    left, top, _, _ = session.window_rect(TITLE)
    session.xdotool("mousemove", str(left + UPDATE_LINK_POINT[0]), str(top + UPDATE_LINK_POINT[1]))
    time.sleep(0.2)
    session.xdotool("click", "1")
    assert wait_box(session, QUESTION_CAPTION["en"]) is not None, "no question box"
    press_button(session, QUESTION_CAPTION["en"], IDYES)
    assert wait_box(session, DIALOG_CAPTION) is not None, "no update dialog"
    assert wait_until(lambda: program.update_server.requested("Renewa.exe"), 10), "the download did not start"

    def counter() -> int:
        texts = controls(session, DIALOG_CAPTION)
        assert texts.get(STATUS, "").strip() == "Downloading the update program.", texts
        return int(texts.get(COUNTER, "").strip() or 0)

    assert wait_until(lambda: counter() > 0, 10), "the dialog counts no bytes"
    first = counter()
    assert wait_until(lambda: counter() > first, 5), "the download does not go on"


def pointer_hidden(session) -> bool:
    screen = Screen(session.display)
    try:
        return not screen.pointer_visible()
    finally:
        screen.close()


def screen_shows(session, seen, timeout: float = 5) -> bool:
    """Waits until seen(screen) holds on the composited screen."""
    screen = Screen(session.display)
    try:
        return wait_until(lambda: seen(screen), timeout, 0.05)
    finally:
        screen.close()


def effect_entered(*statuses: int, shown: Callable, hides_pointer: bool = True, latched: bool = False):
    """Presses the remote's keys with the pointer at POINTER; `shown(screen,
    before)` tells the effect on screen from `before`, the pixel at AWAY
    before the keys. An effect under the pointer hides it."""
    def enter(session, program: Program) -> None:
        linked_answer(program)
        move_pointer(session, *POINTER)
        screen = Screen(session.display)
        before = screen.pixel(*AWAY)
        screen.close()
        for status in statuses:
            program.remote.keys(status)
            time.sleep(0.3)
        if not screen_shows(session, lambda s: shown(s, before)):
            session.screenshot(f"{shown.__name__}-not-shown")
            raise AssertionError(f"the effect is not on the screen (before it: {before} at {AWAY})")
        assert not hides_pointer or wait_until(lambda: pointer_hidden(session), 3), "the pointer shows over the effect"
        assert not latched or program.remote.state().latched, "the receiver does not hear the effect latched"
    return enter


def spotlight_on_screen(screen, before) -> bool:
    # Darkened away from the pointer at the planted brightness (opacity 139 of 255), from a screen
    # light enough for the difference to show.
    return max(before) >= 60 and all(c <= b * (255 - 139) / 255 + 8 for c, b in zip(screen.pixel(*AWAY), before))


def lens_on_screen(screen, before) -> bool:
    # The lens's two rings, ZoomSize 380 across: a dark and a light one within 12 px of its edge.
    cx, cy = POINTER
    colours = [screen.pixel(x, cy) for x in range(cx - 192, cx - 176)]
    return any(max(c) < 40 for c in colours) and any(min(c) > 235 for c in colours)


def laser_on_screen(screen, before) -> bool:
    return close_to(screen.pixel(*POINTER), hue_to_color(PLANTED["CircleColor"]))


def black_screen_shown(session, program: Program) -> None:
    linked_answer(program)
    program.remote.black_screen()
    assert screen_shows(session, lambda s: all(s.pixel(x, y) == (0, 0, 0) for x, y in
                                               [(5, 5), (960, 540), (1915, 1075), POINTER])), "no black screen"
    assert wait_until(lambda: not any(w.visible for w in taskbar_windows(session)), 3), "the taskbar shows"
    assert wait_until(lambda: pointer_hidden(session), 3), "the pointer shows over the black screen"


def timer_running(session, program: Program) -> None:
    answer = linked_answer(program)
    assert answer.timer_running, f"the remote does not hear a running timer: {answer}"


EFFECT, LATCH = receiver_sim.ST_EFFECT_KEY, receiver_sim.ST_LATCH


@dataclass(frozen=True)
class Row:
    state: str
    settings: dict[str, int]
    enter: Callable
    with_receiver: bool = True
    gives_back_desktop: bool = False
    with_update_server: bool = False
    # The program gets a sound device that writes what it plays into ALARM_FILE.
    with_sound: bool = False
    # A fault found and not mended yet: the row is reported as skipped, with
    # this text, unless PV_EXIT_KNOWN_FAULTS=1. Empty it once the fault is mended.
    known_fault: str = ""
    # The exits that can be reached from the state (all of EXITS when empty).
    exits: tuple[str, ...] = ()


STATES = [
    Row("idle, remote linked", {}, idle_linked),
    Row("receiver absent", {}, receiver_absent, with_receiver=False),
    Row("link waiting in a read", {}, waiting_in_read),
    Row("main window shown", {}, main_window_shown),
    Row("alarm sounding", {"AntiLost": 1}, alarm_sounding, with_sound=True),
    # The pointer shows in the spotlight's hole (the show-pointer option is on).
    Row("spotlight shown", {"LastScene": 0}, effect_entered(EFFECT, shown=spotlight_on_screen, hides_pointer=False),
        gives_back_desktop=True),
    # Latched: the effect key let go while the latch key holds the lens (the receiver hears it latched).
    Row("magnifier latched", {"LastScene": 1}, effect_entered(EFFECT, LATCH, shown=lens_on_screen, latched=True),
        gives_back_desktop=True),
    # While the remote holds the laser, the effect's shield takes every click
    # on the desktop (as it does for the magnifier): the tray menu is out of
    # reach until the key is released, so only the session can end there.
    Row("laser circle shown", {"LastScene": 2}, effect_entered(EFFECT, shown=laser_on_screen),
        gives_back_desktop=True, exits=("end of the session",)),
    Row("timer running", {"TimerOn": 1, "TimerTime": 3600, "TimerStartL": (int(time.time()) - 60) & 0xFFFFFFFF,
                          "TimerStartH": (int(time.time()) - 60) >> 32}, timer_running),
    Row("black screen shown", {}, black_screen_shown, gives_back_desktop=True),
    Row("update dialog downloading", {}, update_downloading, with_update_server=True),
]


# ------------------------------------------------------------ the exit paths
# Each exit path: a preparation (not timed) that returns the final action
# (timed from its start to the end of the process).
def quit_from_tray_menu(session) -> Callable[[], None]:
    menu = open_tray_menu(session)
    return lambda: click_last_menu_item(session, menu)


def end_the_session(session) -> Callable[[], None]:
    def send() -> None:
        result = session.probe("endsession", TITLE)
        assert "query=1" in result.stdout, f"WM_QUERYENDSESSION refused: {result.stdout!r}"
    return send


EXITS = [("Quit in the tray menu", quit_from_tray_menu), ("end of the session", end_the_session)]


# ------------------------------------------------------------- observations
def stored_settings(session) -> dict[str, tuple[str, str]]:
    """Every value of ours directly in HKCU: name -> (type, data). A query
    that failed or printed nothing is asked again (bounded): its empty
    answer would otherwise read as "no settings at all"."""
    out = ""
    for _ in range(3):
        result = session.wine(["reg", "query", "HKCU"], timeout=60)
        if result.returncode == 0 and "HKEY_CURRENT_USER" in result.stdout.upper():
            out = result.stdout
            break
        time.sleep(1)
    else:
        raise AssertionError(f"reg query HKCU failed: {result.returncode} {result.stderr.strip()!r}")
    values = {}
    for line in out.splitlines():
        parts = [p.strip() for p in line.strip().split("    ") if p.strip()]
        if len(parts) >= 2 and parts[0].startswith(REG_PREFIX):
            values[parts[0][len(REG_PREFIX):]] = (parts[1], parts[2] if len(parts) > 2 else "")
    return values


def tray_shown(session) -> bool:
    return any(w.visible and "Tray" in w.text and "Wine" in w.text for w in session.top_level_windows())


class CleanExit(unittest.TestCase):
    def test_every_exit_from_every_state(self):
        ctx = harness.context()
        table = []
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "exit") as session:
            # PV_EXIT_STATES="update,alarm" runs only the rows whose state names contain one of these.
            wanted = [w for w in os.environ.get("PV_EXIT_STATES", "").split(",") if w]
            for row in (r for r in STATES if not wanted or any(w in r.state for w in wanted)):
                for exit_name, leave in EXITS:
                    if row.exits and exit_name not in row.exits:
                        continue
                    if row.known_fault and os.environ.get("PV_EXIT_KNOWN_FAULTS") != "1":
                        table.append(f"| {row.state} | {exit_name} | skipped, known fault: {row.known_fault} | | | |")
                        print(table[-1], flush=True)
                        continue
                    with self.subTest(state=row.state, exit=exit_name):
                        table.append(self.one_exit(session, ctx, row, exit_name, leave))
        lines = ["| State | Exit | Exit code | Ended after (s) | Tray icon gone | Settings kept |",
                 "|---|---|---|---|---|---|"] + table
        (ctx.artifacts / "exit_table.md").write_text("\n".join(lines) + "\n")
        print("\n" + "\n".join(lines))

    def one_exit(self, session, ctx, row: Row, exit_name: str, leave) -> str:
        for name, value in {**PLANTED, **row.settings}.items():
            session.reg_add(REG_PREFIX + name, "REG_DWORD", str(value))
        program = Program(session, ctx.exe, row.with_receiver, row.with_update_server, row.gives_back_desktop,
                          row.with_sound)
        code, ended, tray_gone, kept = None, None, None, None
        try:
            self.assertTrue(session.wait_window(TITLE, 30), "the program's window did not appear")
            self.assertTrue(wait_until(lambda: tray_shown(session), 20), "no tray icon")
            row.enter(session, program)
            self.assertIsNone(program.process.poll(), f"the program ended in state {row.state!r}")
            before = stored_settings(session)
            session.screenshot(f"{row.state}-{exit_name}-before".replace(" ", "_").replace(",", ""))

            final_action = leave(session)
            started = time.monotonic()
            final_action()
            code = program.process.wait(timeout=EXIT_WITHIN_S + 10)
            ended = time.monotonic() - started
            tray_gone = wait_until(lambda: not tray_shown(session), 3)
            after = stored_settings(session)
            kept = after == before and all(kind == "REG_DWORD" for kind, _ in after.values())

            self.assertEqual(code, 0, "exit code")
            self.assertLessEqual(ended, EXIT_WITHIN_S, f"the process took {ended:.2f} s to end")
            self.assertFalse(session.window_exists(TITLE), "the window outlived the process")
            self.assertTrue(tray_gone, "the tray icon stayed")
            self.assertEqual(after, before, "settings changed by the exit")
            self.assertTrue(all(kind == "REG_DWORD" for kind, _ in after.values()), after)
            for name, value in {**PLANTED, **row.settings}.items():
                self.assertEqual(after.get(name), ("REG_DWORD", f"0x{value:x}"), name)
            if row.gives_back_desktop:
                taskbar = taskbar_windows(session)
                self.assertTrue(taskbar and all(w.visible for w in taskbar), f"the taskbar stayed hidden: {taskbar}")
                self.assertFalse(pointer_hidden(session), "the pointer stayed hidden")
        except subprocess.TimeoutExpired as error:
            self.fail(f"the process did not end within {EXIT_WITHIN_S + 10:.0f} s: {error}")
        finally:
            program.close()
            line = (f"| {row.state} | {exit_name} | {code} | "
                    f"{'-' if ended is None else f'{ended:.2f}'} | {tray_gone} | {kept} |")
            print(line, flush=True)
        return line


if __name__ == "__main__":
    harness.main()
