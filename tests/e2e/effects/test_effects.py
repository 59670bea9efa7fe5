"""The presentation effects as a presenter sees them: the real program under
Wine, driven by the simulated remote, over a backdrop window whose every
pixel is known (pvbackdrop.exe). Pixels are sampled from the composited
screen at the places and in the colours each effect implies."""
import math
import time
import unittest
from pathlib import Path

import harness
from effects_helpers import (EFFECT, LATCH, REG_PREFIX, SCENE, SIZE_UP, TITLE, UM_SHOW_MAIN, Screen, backdrop_title,
                             close_to, darkened, foreground_title, hue_to_color, move_pointer, opacity_for,
                             pattern_at, quit_by_command, receiver_sim, start_backdrop, start_program,
                             taskbar_windows, wait_until)

CENTRE = (960, 540)
BRIGHTNESS = 80
WM_ENDSESSION = 0x0016
COLOUR_INDEX = 100  # a green-cyan laser, far from the default red
ART = Path(__file__).resolve().parents[3] / "resources" / "art" / "settings_en.png"


def ring_points(centre, radius, count=8):
    cx, cy = centre
    return [(round(cx + radius * math.cos(2 * math.pi * k / count)),
             round(cy + radius * math.sin(2 * math.pi * k / count))) for k in range(count)]


def wrong_pixels(grab, points, expected):
    """Points whose colour is not expected(point): [(point, seen, wanted)]."""
    wrong = []
    for point in points:
        seen, wanted = grab.pixel(*point), expected(point)
        if not close_to(seen, wanted):
            wrong.append((point, seen, wanted))
    return wrong


def taskbar_shown(session) -> bool:
    return any(w.visible for w in taskbar_windows(session))


class EffectsSession(unittest.TestCase):
    """One program run over the backdrop; each test case of a subclass is a
    story a presenter goes through."""

    settings: dict = {}
    start_point = CENTRE  # where the presenter first clicks the presentation

    def start(self, name, **session_options):
        ctx = harness.context()
        self.ctx = ctx
        self.session = harness.WineSession(ctx.build_dir, ctx.artifacts, name, **session_options)
        self.session.__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        self.simulator = receiver_sim.Simulator()
        self.addCleanup(self.simulator.close)
        start_backdrop(self.session)
        self.program, self.remote = start_program(self.session, ctx.exe, self.simulator, **self.settings)
        self.addCleanup(self.remote.stop)
        self.screen = Screen(self.session.display)
        self.addCleanup(self.screen.close)
        # The presentation (the backdrop) is in front, as it is when the presenter starts.
        move_pointer(self.session, *self.start_point)
        self.session.xdotool("click", "1")
        self.assertTrue(wait_until(lambda: foreground_title(self.session).startswith("pv backdrop"), 5),
                        "the backdrop did not take the foreground")
        self.clicks_before = backdrop_title(self.session).split("clicks=")[1]

    def wait_dark_at(self, point, timeout=5.0) -> bool:
        return wait_until(lambda: max(self.screen.pixel(*point)) < 120, timeout, 0.005)

    def wait_pattern_at(self, point, timeout=5.0) -> bool:
        return wait_until(lambda: close_to(self.screen.pixel(*point), pattern_at(*point)), timeout, 0.005)

    def shot(self, name):
        self.screen.repaint()
        return self.session.screenshot(name)

    def quit(self):
        self.assertTrue(quit_by_command(self.session))
        self.assertEqual(self.program.wait(timeout=10), 0)


class SpotlightLensAndLaser(EffectsSession):
    # The show-pointer option off: the mask lies under every effect.
    settings = {"Brightness": BRIGHTNESS, "Default": 0, "CircleColor": COLOUR_INDEX, "LastScene": 0}

    def test_spotlight_lens_and_laser_at_the_pointer(self):
        self.start("effects-scenes")
        session, screen, remote = self.session, self.screen, self.remote
        dim = lambda p: darkened(pattern_at(*p), opacity_for(BRIGHTNESS))  # noqa: E731

        # --- Spotlight: dark at the stored brightness, the screen unchanged in a 500-pixel hole.
        remote.keys(EFFECT)
        self.assertTrue(self.wait_dark_at((300, 300)), "the effect key showed no spotlight")
        self.shot("spotlight")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        inside = [CENTRE] + ring_points(CENTRE, 120) + ring_points(CENTRE, 240)
        outside = ring_points(CENTRE, 262) + [(300, 900), (1800, 120), (1900, 1060), (200, 540)]
        self.assertEqual(wrong_pixels(grab, inside, lambda p: pattern_at(*p)), [], "hole not clear")
        self.assertEqual(wrong_pixels(grab, outside, dim), [], "not darkened at brightness 80")
        print("spotlight: dark", grab.pixel(300, 300), "over", pattern_at(300, 300))

        # The presentation keeps the keyboard: typed keys reach it and the spotlight stays.
        self.assertTrue(foreground_title(session).startswith("pv backdrop"), foreground_title(session))
        session.xdotool("type", "--delay", "40", "vela")
        self.assertTrue(wait_until(lambda: "keys=vela" in backdrop_title(session), 5), backdrop_title(session))
        self.assertTrue(foreground_title(session).startswith("pv backdrop"))
        self.assertTrue(max(screen.pixel(300, 300)) < 120, "typing ended the spotlight")

        # A click inside the hole lands on the mask: it does not reach the presentation.
        session.xdotool("click", "1")
        time.sleep(0.5)
        self.assertIn("clicks=" + self.clicks_before, backdrop_title(session))
        self.assertTrue(foreground_title(session).startswith("pv backdrop"))

        # --- A size-up step: 520 pixels, stored, the hole grown past 252 pixels from the pointer.
        edge = ring_points(CENTRE, 254)
        self.assertEqual(wrong_pixels(screen.settled_grab(0, 0, 1920, 1080), edge, dim), [])
        remote.tap(SIZE_UP, held=EFFECT)
        self.assertTrue(wait_until(lambda: session.reg_dword(REG_PREFIX + "SpotlightSize") == 520, 5),
                        "SpotlightSize was not stored")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        self.shot("spotlight-520")
        self.assertEqual(wrong_pixels(grab, edge, lambda p: pattern_at(*p)), [], "the hole did not grow")
        self.assertEqual(wrong_pixels(grab, ring_points(CENTRE, 270), dim), [])

        # Releasing the key gives the screen back.
        remote.keys(0)
        self.assertTrue(self.wait_pattern_at((300, 300)), "the spotlight stayed after the release")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        self.assertEqual(wrong_pixels(grab, outside + inside, lambda p: pattern_at(*p)), [])

        # --- Latch: the spotlight stays without the effect key, and the receiver is told;
        # a key pressed on the presentation ends it (and still reaches the presentation).
        remote.keys(EFFECT)
        self.assertTrue(self.wait_dark_at((300, 300)))
        remote.keys(LATCH)
        time.sleep(0.8)
        self.assertTrue(max(screen.pixel(300, 300)) < 120, "the latched spotlight went")
        answer = remote.state()
        self.assertTrue(answer.valid and answer.latched, answer)
        session.xdotool("type", "x")
        self.assertTrue(self.wait_pattern_at((300, 300)), "a key press did not end the latched spotlight")
        self.assertTrue(wait_until(lambda: "keys=velax" in backdrop_title(session), 5), backdrop_title(session))
        self.assertTrue(wait_until(lambda: not remote.state().latched, 3), "the receiver still hears latched")
        remote.keys(0)

        # --- Scene key: the magnifier, 2x around the pointer, inside its two rings.
        remote.tap(SCENE)
        self.assertTrue(wait_until(lambda: session.reg_dword(REG_PREFIX + "LastScene") == 1, 5))
        remote.keys(EFFECT)
        cx, cy = CENTRE
        # Points whose source lies in the middle of a 32-pixel band, on both sides.
        lens_points = [(x, y) for x in range(736, 1190, 64) for y in range(324, 760, 64)
                       if math.dist((x, y), CENTRE) < 215]
        magnified = lambda p: pattern_at(cx + (p[0] - cx) // 2, cy + (p[1] - cy) // 2)  # noqa: E731
        self.assertTrue(wait_until(lambda: not wrong_pixels(screen.grab(0, 0, 1920, 1080), lens_points,
                                                            magnified), 5), "no 2x lens at the pointer")
        self.shot("magnifier")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        self.assertEqual(wrong_pixels(grab, lens_points, magnified), [])
        self.assertTrue(any(not close_to(magnified(p), pattern_at(*p)) for p in lens_points))
        for name, line in {"left": [(x, cy) for x in range(cx - 252, cx - 238)],
                           "right": [(x, cy) for x in range(cx + 238, cx + 252)],
                           "top": [(cx, y) for y in range(cy - 252, cy - 238)],
                           "bottom": [(cx, y) for y in range(cy + 238, cy + 252)]}.items():
            colours = [grab.pixel(*p) for p in line]
            self.assertTrue(any(max(c) < 40 for c in colours), f"no dark ring on the {name}: {colours}")
            self.assertTrue(any(min(c) > 235 for c in colours), f"no light ring on the {name}: {colours}")
        # Round: the corners of the lens's square show the screen itself; so does the rest.
        corners = [(cx - 240, cy - 240), (cx + 240, cy + 240), (300, 300), (1700, 900)]
        self.assertEqual(wrong_pixels(grab, corners, lambda p: pattern_at(*p)), [])
        remote.keys(0)
        self.assertTrue(wait_until(lambda: not wrong_pixels(screen.grab(0, 0, 1920, 1080), lens_points,
                                                            lambda p: pattern_at(*p)), 5))

        # --- Scene key again: the laser, a disc of CircleColor, 150 // 2 - 20 = 55 pixels across.
        remote.tap(SCENE)
        remote.keys(EFFECT)
        colour = hue_to_color(COLOUR_INDEX)
        self.assertTrue(wait_until(lambda: close_to(screen.pixel(*CENTRE), colour), 5), "no laser disc")
        self.shot("laser")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        disc = [CENTRE] + ring_points(CENTRE, 12) + ring_points(CENTRE, 24)
        self.assertEqual(wrong_pixels(grab, disc, lambda p: colour), [], f"laser colour {colour}")
        around = ring_points(CENTRE, 31) + ring_points(CENTRE, 40) + [(300, 300)]
        self.assertEqual(wrong_pixels(grab, around, lambda p: pattern_at(*p)), [], "disc too large")
        # Clicks over the laser or the mask stay with the program.
        session.xdotool("click", "1")
        move_pointer(session, 400, 700)
        session.xdotool("click", "1")
        time.sleep(0.5)
        self.assertIn("clicks=" + self.clicks_before, backdrop_title(session))
        self.assertTrue(foreground_title(session).startswith("pv backdrop"))
        # The disc followed the pointer.
        self.assertTrue(wait_until(lambda: close_to(screen.pixel(400, 700), colour), 3), "laser did not follow")
        remote.keys(0)
        self.assertTrue(self.wait_pattern_at((400, 700)), "the laser stayed after the release")

        # The receiver unplugged while an effect shows: the effect ends with it.
        remote.keys(EFFECT)
        self.assertTrue(wait_until(lambda: close_to(screen.pixel(400, 700), colour), 5))
        remote.stop()
        self.assertTrue(self.wait_pattern_at((400, 700), 10), "the laser stayed after the receiver went")
        self.assertFalse(session.window_visible(TITLE))
        self.quit()


class BlackScreenAndMainWindow(EffectsSession):
    settings = {"Brightness": BRIGHTNESS, "Default": 0}

    def test_black_screen_preview_escape_and_quit(self):
        self.start("effects-black")
        session, screen, remote = self.session, self.screen, self.remote
        points = [(5, 5), (80, 20), (960, 540), (1915, 5), (5, 1075), (1915, 1075), (400, 800)]
        self.assertTrue(taskbar_shown(session), "the taskbar is not shown at start")

        # The remote's black-screen key: everything black, the taskbar hidden.
        remote.black_screen()
        self.assertTrue(self.wait_dark_at((960, 540)), "no black screen")
        self.shot("black-screen")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        self.assertEqual(wrong_pixels(grab, points, lambda p: (0, 0, 0)), [])
        self.assertFalse(taskbar_shown(session), "the taskbar stayed during the black screen")
        self.assertFalse(screen.pointer_visible(), "the pointer shows over the black screen")
        # Any key released anywhere brings the screen back, and the taskbar.
        session.xdotool("key", "shift")
        self.assertTrue(self.wait_pattern_at((960, 540)), "a key release did not end the black screen")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        self.assertEqual(wrong_pixels(grab, points[2:], lambda p: pattern_at(*p)), [])
        self.assertTrue(wait_until(lambda: taskbar_shown(session), 3), "the taskbar did not come back")
        self.assertTrue(wait_until(screen.pointer_visible, 3), "the pointer did not come back")
        # The key toggles: pressed twice, the screen comes back too.
        remote.black_screen()
        self.assertTrue(self.wait_dark_at((960, 540)))
        remote.black_screen()
        self.assertTrue(self.wait_pattern_at((960, 540)), "the second black-screen key did not end it")

        # The main window shows the settings page with the spotlight preview over its sample picture.
        self.assertTrue(session.probe("post", TITLE, str(UM_SHOW_MAIN)).returncode == 0)
        self.assertTrue(wait_until(lambda: session.window_visible(TITLE), 5), "the main window did not show")
        time.sleep(0.5)
        left, top, _, _ = session.window_rect(TITLE)
        # The preview: a 290 x 148 window of the program over the sample picture at client (15, 103),
        # darkening it as the spotlight would, with a hole of 500 * 148 / 1080 = 68 pixels in its middle.
        main = next(w for w in session.top_level_windows() if w.text == TITLE)
        previews = [w for w in session.top_level_windows()
                    if w.pid == main.pid and w.visible and w.size == (290, 148)]
        self.assertEqual([w.rect for w in previews], [(left + 15, top + 103, left + 305, top + 251)])
        # On the page's first showing Wine stacks the activated page's X window above its owned
        # preview once the activation is through (the window order says the opposite); the page
        # shown again, already active, has it on top. The pixels are read then.
        session.probe("post", TITLE, str(UM_SHOW_MAIN))
        time.sleep(0.8)
        self.shot("main-window-preview")
        grab = screen.settled_grab(0, 0, 1920, 1080)
        dim = opacity_for(BRIGHTNESS)
        for (x, y), in_hole in [((35, 123), False), ((285, 231), False), ((160, 111), False), ((75, 177), False),
                                ((160, 177), True), ((185, 177), True), ((160, 152), True)]:
            art = session.pixel(ART, x, y)
            wanted = art if in_hole else darkened(art, dim)
            self.assertTrue(close_to(grab.pixel(left + x, top + y), wanted, 10),
                            f"preview at {x},{y}: {grab.pixel(left + x, top + y)}, page {art}, hole {in_hole}")

        main_x = int(session.xdotool("search", "--name", "^" + TITLE + "$").split()[0])
        self.assertTrue(screen.mapped(main_x))

        def hide_after(keys):
            session.xdotool("mousemove", "300", "900")
            began = time.perf_counter()
            session.xdotool("click", "1", *keys)
            gone = wait_until(lambda: not screen.mapped(main_x), 5, 0.003)
            return gone, time.perf_counter() - began

        gone, escape_s = hide_after(["key", "Escape"])
        self.assertTrue(gone, "Escape in another window did not hide the main window")
        self.assertFalse(session.window_visible(TITLE))
        session.probe("post", TITLE, str(UM_SHOW_MAIN))
        self.assertTrue(wait_until(lambda: screen.mapped(main_x), 5))
        time.sleep(0.5)
        gone, other_s = hide_after(["key", "a"])
        self.assertTrue(gone)
        print(f"main window hidden {escape_s * 1000:.0f} ms after Escape in another window, "
              f"{other_s * 1000:.0f} ms after leaving it with another key")
        self.assertLess(escape_s, other_s)

        # The session ending while the black screen shows: the taskbar and the pointer come back,
        # and the program ends as Quit does. (Quit while the black screen shows is a row of the
        # exit table.)
        remote.black_screen()
        self.assertTrue(self.wait_dark_at((960, 540)))
        self.assertFalse(taskbar_shown(session))
        self.assertEqual(session.probe("post", TITLE, str(WM_ENDSESSION), "1").returncode, 0)
        self.assertEqual(self.program.wait(timeout=10), 0, "the program did not end with the session")
        self.assertTrue(wait_until(lambda: taskbar_shown(session), 3), "the taskbar stayed hidden at session end")
        self.assertTrue(self.wait_pattern_at((960, 540)), "the black screen stayed at session end")
        self.assertTrue(wait_until(screen.pointer_visible, 3),
                        "the pointer stayed hidden at session end")
        self.shot("after-session-end")


if __name__ == "__main__":
    harness.main()
