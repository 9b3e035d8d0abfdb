#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_kitcore into fuzz_seeds/.

An input is a list of (operation, argument) byte pairs: operations 0-4 send
the argument to the kit as one value, 5 lets argument x 4 ms pass, 6 lets
argument seconds pass, 7 changes a sensor or presses a wait button.
Run it again after changing a seed; the files are committed.
"""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fuzz_seeds")


def send(*values):
    return [b for v in values for b in (0, v)]


def wait_ms(ms):
    return [5, min(255, ms // 4)]


def wait_s(s):
    return [6, s]


# A whole program frame (start, a 3-second timer, end), then its run.
program = [230, 2, 160, 3, 5, 231]
run = send(240, *program, 250) + wait_ms(400) + send(241) + wait_s(5) + send(245)

# A melody frame: 13 LED colour codes, link on, speed, 0, notes, end; then play.
melody_payload = list(range(1, 14)) + [160, 2, 0, 40, 42, 44, 149, 46]
melody = send(242, *melody_payload, 250) + wait_ms(400) + send(243) + wait_s(10)

# A memory request on its own, and the measurement requests.
memory = send(245)
measure = [7, 2 | (25 << 3), 7, 3 | (55 << 2)] + send(244, 247, 248, 249)

# A transfer cut off half-way, at once followed by a whole one.
cut_off = send(240, 230, 2, 160) + send(240, *program, 250) + wait_ms(400) + send(245)

SEEDS = {
    "program_and_run": run,
    "melody_and_play": melody,
    "memory_request": memory,
    "measurement": measure,
    "cut_off_transfer": cut_off,
}

for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(bytes(data))
