"""The online update of the real program under Wine, English user
interface, against a loopback update server started by the test: the
check's answers and failures, the question box and its three buttons, the
update dialog's failures and Cancel, and finally a successful update that
starts the (test) updater with both paths and ends the program."""
import os
import time
import unittest

import harness
from update_helpers import (BUTTONS, CANNOT_CONNECT, CHECK_FAILED, COUNTER, DIALOG_CAPTION, IDCANCEL, IDNO, IDYES,
                            LABEL, LATEST, MESSAGE_CAPTION, LOCAL_VERSION, QUESTION_CAPTION, STATUS, TITLE, WORK_FOLDER_WIN, Program,
                            box_text, click_control, controls, press_button, read_message, receiver_sim, remove, visible_box,
                            wait_box, wait_until)
from update_server import Answer, UpdateServer, ok

NEWER = b"[update]\r\nVersion=1.0.0.10\r\n"
MAIN_PROGRAM = os.urandom(150 * 1024 + 321)


def fake_renewa(ctx) -> bytes:
    return (ctx.build_dir / "bin" / "pv_fake_renewa.exe").read_bytes()


class EnglishUpdate(unittest.TestCase):
    def setUp(self):
        self.ctx = harness.context()

    def test_check_answers_failures_dialog_and_hand_over(self):
        ctx = self.ctx
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "update-en") as session, \
                receiver_sim.Simulator() as simulator, UpdateServer() as server:
            self.session, self.server = session, server
            program = self.program = Program(session, ctx, simulator, server.base_url)
            program.show_settings_page()
            work = program.work_folder

            with self.subTest("same version"):
                server.set("update.ini", ok(b"Version=" + LOCAL_VERSION.encode() + b"\r\n"))
                program.click_update_link()
                self.assertEqual(read_message(session), LATEST["en"])
                self.assertEqual((work / "url.txt").read_bytes(), server.base_url.encode("ascii"))
                request = server.requested("update.ini")[-1]
                self.assertIn("no-cache", request.headers.get("pragma", "") + request.headers.get("cache-control", ""))

            self.check_failures()
            self.question_box_answers()
            self.download_failures()
            self.successful_update()

    # ------------------------------------------------------------ the check
    def expect_check_failure(self, what: str, cannot_connect: bool = False, timeout: float = 20):
        """Returns the seconds from the click until the first box showed."""
        self.program.click_update_link()
        started = time.monotonic()
        wait_box(self.session, MESSAGE_CAPTION, timeout)
        answered = time.monotonic() - started
        if cannot_connect:
            self.assertEqual(read_message(self.session, timeout), CANNOT_CONNECT, what)
        self.assertEqual(read_message(self.session, timeout), CHECK_FAILED["en"], what)
        self.assertIsNone(visible_box(self.session, QUESTION_CAPTION["en"]), what)
        self.assertIsNone(self.program.process.poll(), what)
        return answered

    def check_failures(self):
        server, session = self.server, self.session
        for what, answer in [("404", Answer("status", status=404)), ("500", Answer("status", status=500)),
                             ("no Version= key", ok(b"[update]\r\nRelease=1.0.0.10\r\n")),
                             ("not a version", ok(b"Version=1.0.0.70000\r\n")),
                             ("HTML page", ok(b"<html>Version=<b>2</b></html>")),
                             ("body shorter than Content-Length", Answer("short", NEWER * 3)),
                             # The other host serves a valid newer version: a program that followed
                             # the redirect would ask to update instead of failing.
                             ("redirect to another host",
                              Answer("redirect", status=302,
                                     location=server.base_url.replace("127.0.0.1", "localhost") + "elsewhere.ini"))]:
            with self.subTest(what):
                server.set("elsewhere.ini", ok(NEWER))
                server.set("update.ini", answer)
                self.expect_check_failure(what)

        with self.subTest("redirect on the same server is followed"):
            server.set("moved.ini", ok(b"Version=" + LOCAL_VERSION.encode() + b"\r\n"))
            server.set("update.ini", Answer("redirect", status=301, location="moved.ini"))
            self.program.click_update_link()
            self.assertEqual(read_message(session), LATEST["en"])

        with self.subTest("server stops answering"):
            server.set("update.ini", Answer("hang"))
            took = self.expect_check_failure("hang", cannot_connect=True)
            print(f"a silent server: first box {took:.1f} s after the click (time-out set to 2 s)")
            self.assertLess(took, 15)

        with self.subTest("server gone"):
            server.stop()
            self.expect_check_failure("gone", cannot_connect=True)
            server.start()
        self.assertTrue(session.window_visible(TITLE), "the page went away")

    # ------------------------------------------------------ the question box
    def ask(self) -> None:
        self.server.set("update.ini", ok(NEWER))
        self.program.click_update_link()
        self.assertIsNotNone(wait_box(self.session, QUESTION_CAPTION["en"]), "no question box")

    def question_box_answers(self):
        session, program = self.session, self.program
        with self.subTest("the question box's buttons"):
            self.ask()
            texts = controls(session, QUESTION_CAPTION["en"])
            self.assertEqual((texts.get(str(IDYES)), texts.get(str(IDNO)), texts.get(str(IDCANCEL))), BUTTONS["en"])
            self.assertIn("There is a new version of the software.", box_text(session, QUESTION_CAPTION["en"]))
            session.screenshot("question-box-en")

        with self.subTest("Esc does nothing"):
            press_button(session, QUESTION_CAPTION["en"], IDNO)
            time.sleep(2)
            self.assertIsNone(visible_box(session, QUESTION_CAPTION["en"]))
            self.assertIsNone(visible_box(session, DIALOG_CAPTION))
            self.assertEqual(program.opened_urls(), [])
            self.assertEqual(self.server.requested("Renewa.exe"), [])

        expected_url = self.server.base_url + "PresenterVela_xp.exe"
        with self.subTest("Download by IE opens the download in the browser"):
            self.ask()
            press_button(session, QUESTION_CAPTION["en"], IDCANCEL)
            self.assertTrue(wait_until(lambda: program.opened_urls() == [expected_url], 10), program.opened())

        with self.subTest("closing the box also opens the browser"):
            self.ask()
            session.close_window(QUESTION_CAPTION["en"])
            self.assertTrue(wait_until(lambda: program.opened_urls() == [expected_url] * 2, 10), program.opened())
        self.assertIsNone(visible_box(session, DIALOG_CAPTION))

    # ---------------------------------------------------- the update dialog
    def open_dialog(self) -> None:
        self.ask()
        press_button(self.session, QUESTION_CAPTION["en"], IDYES)
        self.assertIsNotNone(wait_box(self.session, DIALOG_CAPTION), "no update dialog")

    def dialog_status(self) -> str:
        return controls(self.session, DIALOG_CAPTION).get(STATUS, "").strip()

    def close_dialog(self) -> None:
        press_button(self.session, DIALOG_CAPTION, IDCANCEL)

    def assert_nothing_partial_or_run(self, what: str) -> None:
        work = self.program.work_folder
        leftovers = [p.name for p in work.iterdir() if p.name.endswith(".download")]
        self.assertEqual(leftovers, [], what)
        self.assertFalse((work / "PresenterVela_xp.exe").exists(), what)
        self.assertFalse((work / "renewa-parameters.bin").exists(), what)

    def download_failures(self):
        server, session, work = self.server, self.session, self.program.work_folder
        updater = fake_renewa(self.ctx)
        cases = [
            ("updater 404", None, Answer("status", status=404), "Download the update progrm failed."),
            ("updater reset halfway", Answer("reset", updater), ok(MAIN_PROGRAM), "Download the update progrm failed."),
            ("main program reset halfway", ok(updater), Answer("reset", MAIN_PROGRAM),
             "Download the main progrm failed."),
            ("main program shorter than Content-Length", ok(updater), Answer("short", MAIN_PROGRAM),
             "Download the main progrm failed."),
            ("main program stops halfway", ok(updater), Answer("hang_mid", MAIN_PROGRAM),
             "Download the main progrm failed."),
            ("main program over 256 MiB", ok(updater), Answer("oversize"), "Download the main progrm failed."),
            ("main program 500", ok(updater), Answer("status", status=500), "Download the main progrm failed."),
        ]
        for what, renewa, main, text in cases:
            with self.subTest(what):
                remove(work / "Renewa.exe")
                server.clear_log()
                server.set("Renewa.exe", renewa if renewa is not None else main)
                server.set("PresenterVela_xp.exe", main if renewa is not None else ok(MAIN_PROGRAM))
                self.open_dialog()
                self.assertTrue(wait_until(lambda: self.dialog_status() == text, 30),
                                f"{what}: {self.dialog_status()!r}")
                if what == "updater 404":
                    session.screenshot("dialog-failure-en")
                    self.assertEqual(server.requested("PresenterVela_xp.exe"), [], "main program fetched")
                self.assert_nothing_partial_or_run(what)
                if renewa is not None and renewa.kind == "ok":
                    self.assertEqual((work / "Renewa.exe").read_bytes(), updater)  # complete, but not run
                else:
                    self.assertFalse((work / "Renewa.exe").exists(), what)
                self.close_dialog()
                self.assertIsNone(self.program.process.poll())

        with self.subTest("an updater that does not start"):
            server.set("Renewa.exe", ok(b"MZ this is not a program" * 10))
            server.set("PresenterVela_xp.exe", ok(MAIN_PROGRAM))
            self.open_dialog()
            text = "The update program could not be started. This program keeps running."
            self.assertTrue(wait_until(lambda: self.dialog_status() == text, 30), self.dialog_status())
            self.close_dialog()
            time.sleep(1)
            self.assertIsNone(self.program.process.poll(), "the program ended without an updater")
            remove(work / "PresenterVela_xp.exe")

        with self.subTest("Cancel stops the download and deletes the partial file"):
            server.set("Renewa.exe", ok(updater))
            server.set("PresenterVela_xp.exe", ok(MAIN_PROGRAM, chunk=2048, delay=0.1))
            self.open_dialog()
            self.assertTrue(wait_until(lambda: self.dialog_status() == "Downloading the main program.", 20))
            self.assertTrue(wait_until(lambda: (work / "PresenterVela_xp.exe.download").exists(), 10))
            self.close_dialog()
            self.assert_nothing_partial_or_run("cancel")
            self.assertIsNone(self.program.process.poll())

    # ------------------------------------------------------------ success
    def successful_update(self):
        server, session, program, work = self.server, self.session, self.program, self.program.work_folder
        updater = fake_renewa(self.ctx)
        remove(work / "Renewa.exe")
        server.set("Renewa.exe", ok(updater))
        # Slow enough to watch the counter and take a picture.
        server.set("PresenterVela_xp.exe", ok(MAIN_PROGRAM, chunk=8192, delay=0.15))
        self.open_dialog()
        counters, statuses = set(), set()
        shot = False

        def watch() -> bool:
            nonlocal shot
            if program.process.poll() is not None:
                return True
            texts = controls(session, DIALOG_CAPTION)
            statuses.add(texts.get(STATUS, "").strip())
            if texts.get(COUNTER, "").strip().isdigit():
                counters.add(int(texts[COUNTER]))
            if not shot and texts.get(STATUS) == "Downloading the main program." and int(
                    texts.get(COUNTER, "0") or 0) > 0:
                session.screenshot("dialog-downloading-en")
                self.assertEqual(texts.get(LABEL), "Download bytes: ")
                shot = True
            return False

        self.assertTrue(wait_until(watch, 60, 0.1), "the program did not end after the download")
        self.assertEqual(program.process.wait(timeout=10), 0)
        self.assertTrue(shot, statuses)
        self.assertIn("Downloading the main program.", statuses)
        self.assertTrue(counters and all(c % 1024 == 0 for c in counters), counters)
        self.assertGreater(max(counters), 0)

        self.assertEqual((work / "Renewa.exe").read_bytes(), updater)
        self.assertEqual((work / "PresenterVela_xp.exe").read_bytes(), MAIN_PROGRAM)
        parameters = work / "renewa-parameters.bin"
        self.assertTrue(wait_until(parameters.exists, 10), "the updater was not started")
        expected = f'"{WORK_FOLDER_WIN}\\PresenterVela_xp.exe" "{program.windows_path}"'
        self.assertEqual(parameters.read_bytes(), expected.encode("utf-16-le"))
        # The tray icon went with the program (Wine's tray window closes with its last icon).
        self.assertTrue(wait_until(lambda: not any(w.visible and "Tray" in w.text
                                                    for w in session.top_level_windows()), 10))


if __name__ == "__main__":
    harness.main()
