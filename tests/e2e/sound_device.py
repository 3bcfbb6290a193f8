"""The sound device of a scenario, and what reaches it: ALSA's default
device of the scenario's own home writes every sample played into a file."""

import math
import os
import struct
import wave


def file_sink(s):
    """Points the default ALSA device of `s` (a Scenario with its own home)
    at a file; returns its path. Each sound played opens the device anew
    and, the file being there already, goes to the next of PATH.0001,
    PATH.0002 and so on."""
    played = os.path.join(s.workdir, "played.raw")
    with open(os.path.join(s.home, ".asoundrc"), "w") as f:
        f.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw"; truncate false }\n' % played)
    return played


def sine_wav(path, seconds=0.5, rate=22050):
    """A 16-bit mono WAV file; returns its sample bytes: a tone with a
    small saw-tooth added, so that what arrives can only be these samples."""
    frames = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / rate)) + i % 97)
                      for i in range(int(seconds * rate)))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)
    return frames


def size(path):
    """The bytes that reached the device: the file and its numbered followers."""
    folder, name = os.path.split(path)
    if not os.path.isdir(folder):
        return 0
    return sum(os.path.getsize(os.path.join(folder, f)) for f in os.listdir(folder)
               if f == name or (f.startswith(name + ".") and f[len(name) + 1:].isdigit()))
