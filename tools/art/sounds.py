"""The anti-lost alarms: an attention chime, then a spoken warning, made with
espeak-ng and sox; 16-bit mono PCM, peak normalised just below full scale."""

import os
import subprocess
import tempfile

ALARMS = {
    "alarm_zh.wav": {"voice": "cmn", "rate": 16000, "seconds": 4.8, "speed": 175,
                     "text": "注意，遥控器超出范围。"},
    "alarm_en.wav": {"voice": "en-us", "rate": 22050, "seconds": 5.2, "speed": 165,
                     "text": "Warning! Your presenter remote is out of range."},
}


def _run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def _chime(path, rate):
    """Two rising two-note chimes, about 1.1 s."""
    notes = []
    for i, (freq, length) in enumerate(((880, 0.14), (1318.5, 0.22), (880, 0.14), (1318.5, 0.30))):
        note = f"{path}.{i}.wav"
        _run(["sox", "-D", "-n", "-r", str(rate), "-c", "1", "-b", "16", note,
              "synth", str(length), "sine", str(freq), "sine", str(freq * 2),
              "remix", "1", "fade", "q", "0.01", str(length), "0.08", "vol", "0.5"])
        notes.append(note)
        gap = f"{path}.gap{i}.wav"
        _run(["sox", "-D", "-n", "-r", str(rate), "-c", "1", "-b", "16", gap, "trim", "0", "0.04" if i % 2 == 0 else "0.12"])
        notes.append(gap)
    _run(["sox", "-D"] + notes + [path])


def make_alarm(path, spec):
    rate = spec["rate"]
    with tempfile.TemporaryDirectory() as tmp:
        speech = os.path.join(tmp, "speech.wav")
        _run(["espeak-ng", "-v", spec["voice"], "-s", str(spec["speed"]), "-a", "180", "-w", speech, spec["text"]])
        speech_rated = os.path.join(tmp, "speech_rated.wav")
        _run(["sox", "-D", speech, "-r", str(rate), "-c", "1", "-b", "16", speech_rated, "silence", "1", "0.01", "0.5%"])
        chime = os.path.join(tmp, "chime.wav")
        _chime(chime, rate)
        mixed = os.path.join(tmp, "mixed.wav")
        _run(["sox", "-D", chime, speech_rated, "-b", "16", mixed])
        length = _seconds(mixed)
        effects = []
        if length > spec["seconds"] - 0.1:
            effects += ["tempo", "-s", f"{length / (spec['seconds'] - 0.1):.4f}"]
        effects += ["pad", "0", str(spec["seconds"]), "trim", "0", str(spec["seconds"]), "norm", "-1"]
        _run(["sox", "-D", mixed, "-r", str(rate), "-c", "1", "-b", "16", "-e", "signed-integer", path] + effects)


def _seconds(path):
    out = subprocess.run(["soxi", "-D", path], check=True, capture_output=True, text=True).stdout
    return float(out.strip())


def write_all(folder):
    for name, spec in ALARMS.items():
        make_alarm(os.path.join(folder, name), spec)
    return list(ALARMS)
