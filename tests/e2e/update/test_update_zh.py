"""The online update under a Chinese user interface: the question box's
Chinese button texts, the Chinese failure text, and the update dialog; and
an https update server whose certificate the system does not trust, which
must end in a failure and never in a download, while the same server with
its certificate trusted in the prefix is accepted."""
import hashlib
import ssl
import time
import unittest

import harness
from update_helpers import (BUTTONS, CANNOT_CONNECT, CHECK_FAILED, DIALOG_CAPTION, IDCANCEL, IDNO, IDYES,
                            QUESTION_CAPTION, STATUS, WORK_FOLDER_WIN, Program, click_control, controls, press_button, read_message, receiver_sim,
                            visible_box, wait_box, wait_until)
from update_server import Answer, UpdateServer, ok

NEWER = b"Version=1.0.1.0\r\n"


ROOT_CERTIFICATES = "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates"


def trust_certificate(session, pem) -> None:
    """Adds a certificate to the prefix's trusted roots, as the system's
    certificate store keeps them: a key named by its SHA-1 thumbprint whose
    Blob is the serialized certificate (property 32, the encoded certificate)."""
    der = ssl.PEM_cert_to_DER_cert(pem.read_text())
    blob = (32).to_bytes(4, "little") + (1).to_bytes(4, "little") + len(der).to_bytes(4, "little") + der
    key = ROOT_CERTIFICATES + "\\" + hashlib.sha1(der).hexdigest().upper()
    session.reg_add("Blob", "REG_BINARY", blob.hex().upper(), key=key)


class ChineseUpdate(unittest.TestCase):
    def test_chinese_question_box_failure_text_dialog_and_untrusted_certificate(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "update-zh", lang="zh_CN.UTF-8") as session, \
                receiver_sim.Simulator() as simulator, \
                UpdateServer(https_cert_dir=ctx.artifacts / "tls") as tls_server, UpdateServer() as server:
            caption = QUESTION_CAPTION["zh"]

            # An https server with a self-signed certificate: refused, nothing downloaded.
            tls_server.set("update.ini", ok(NEWER))
            program = Program(session, ctx, simulator, tls_server.base_url)
            program.show_settings_page()
            program.click_update_link()
            self.assertEqual(read_message(session), CANNOT_CONNECT)
            self.assertEqual(read_message(session), CHECK_FAILED["zh"])
            self.assertIsNone(visible_box(session, caption))
            print(f"requests that reached the https server: {len(tls_server.requests)}")
            self.assertEqual(tls_server.requests, [], "a request went through an untrusted connection")
            self.assertEqual(program.quit(), 0)

            # The control: the same server, its certificate now trusted in the prefix, is accepted
            # (so the refusal above is the certificate's, not https failing under Wine altogether).
            trust_certificate(session, ctx.artifacts / "tls" / "cert.pem")
            program = Program(session, ctx, simulator, tls_server.base_url)
            program.show_settings_page()
            program.click_update_link()
            self.assertIsNotNone(wait_box(session, caption), "the trusted https server was refused")
            self.assertTrue(tls_server.requested("update.ini"))
            press_button(session, caption, IDNO)
            self.assertEqual(program.quit(), 0)

            # Now from the work folder itself: the update files go to its "temp" subfolder.
            program = Program(session, ctx, simulator, server.base_url, from_work_folder=True)
            program.show_settings_page()
            temp = program.work_folder / "temp"

            with self.subTest("Chinese failure text"):
                server.set("update.ini", Answer("status", status=404))
                program.click_update_link()
                self.assertEqual(read_message(session, caption=program.message_caption), CHECK_FAILED["zh"])
                self.assertEqual((temp / "url.txt").read_bytes(), server.base_url.encode("ascii"))

            with self.subTest("Chinese button texts"):
                server.set("update.ini", ok(NEWER))
                program.click_update_link()
                self.assertIsNotNone(wait_box(session, caption), "no question box")
                texts = controls(session, caption)
                self.assertEqual((texts.get(str(IDYES)), texts.get(str(IDNO)), texts.get(str(IDCANCEL))),
                                 BUTTONS["zh"])
                session.screenshot("question-box-zh")

            with self.subTest("the update dialog"):
                server.set("Renewa.exe", ok(b"\0" * 200_000, chunk=4096, delay=0.1))
                press_button(session, caption, IDYES)
                self.assertIsNotNone(wait_box(session, DIALOG_CAPTION), "no update dialog")
                self.assertTrue(wait_until(lambda: controls(session, DIALOG_CAPTION).get(STATUS) ==
                                           "Downloading the update program.", 20))
                time.sleep(1.0)
                session.screenshot("dialog-downloading-zh")
                press_button(session, DIALOG_CAPTION, IDCANCEL)
                self.assertTrue(server.requested("Renewa.exe"))
                self.assertEqual(sorted(p.name for p in temp.iterdir()), ["url.txt"])  # nothing partial left
                self.assertFalse((program.work_folder / "Renewa.exe").exists())

            with self.subTest("hand-over from the work folder"):
                updater = (ctx.build_dir / "bin" / "pv_fake_renewa.exe").read_bytes()
                new_program = b"new program " * 5000
                server.set("Renewa.exe", ok(updater))
                server.set("PresenterVela_xp.exe", ok(new_program))
                program.click_update_link()
                self.assertIsNotNone(wait_box(session, caption), "no question box")
                press_button(session, caption, IDYES)
                self.assertEqual(program.process.wait(timeout=60), 0)
                self.assertEqual((temp / "PresenterVela_xp.exe").read_bytes(), new_program)
                self.assertEqual(program.exe.read_bytes(), ctx.exe.read_bytes())  # the running copy untouched
                parameters = temp / "renewa-parameters.bin"
                self.assertTrue(wait_until(parameters.exists, 10), "the updater was not started")
                expected = f'"{WORK_FOLDER_WIN}\\temp\\PresenterVela_xp.exe" "{program.windows_path}"'
                self.assertEqual(parameters.read_bytes().decode("utf-16-le"), expected)
                return
            self.assertEqual(program.quit(), 0)


if __name__ == "__main__":
    harness.main()
