"""How long the settings page is frozen by an update server that accepts the
connection and then never answers, with the program's real time-outs (no
test override): prints the seconds from the click to the first message.

    /usr/bin/python3 tests/bench/update_timeout_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out build/windows/artifacts/bench
"""
import time

import bench_cli
import e2e_paths

e2e_paths.use("update")

import harness  # noqa: E402
from figures import series  # noqa: E402
from update_helpers import MESSAGE_CAPTION, Program, read_message, receiver_sim, wait_box  # noqa: E402
from update_server import Answer, UpdateServer  # noqa: E402


def main() -> None:
    args = bench_cli.parser().parse_args()
    ctx = harness.TestContext(args.exe.resolve(), args.build_dir.resolve(), args.out.resolve())
    with harness.WineSession(ctx.build_dir, ctx.artifacts, "update-bench") as session, \
            receiver_sim.Simulator() as simulator, UpdateServer() as server:
        server.set("update.ini", Answer("hang"))
        program = Program(session, ctx, simulator, server.base_url, PRESENTER_VELA_UPDATE_TIMEOUT_MS="")
        program.show_settings_page()
        frozen = []
        for attempt in range(2):
            program.click_update_link()
            started = time.monotonic()
            if wait_box(session, MESSAGE_CAPTION, 60) is None:
                raise RuntimeError(f"attempt {attempt + 1}: no message within 60 s")  # no figure of a wait never seen
            frozen.append(time.monotonic() - started)
            first = read_message(session)
            second = read_message(session)
            print(f"silent server, attempt {attempt + 1}: first message after {frozen[-1]:.1f} s "
                  f"({first!r}, then {second!r})")
        series("page frozen by a silent update server (p99 column: max)", frozen, "s", "<= 12 (10 s time-out)")
        program.quit()


if __name__ == "__main__":
    main()
