"""The sound cues, synthesised sample by sample at 22050 Hz. Every function returns float
samples in -1..1 of exactly the requested length; a fixed seed makes each run identical."""
import math

import numpy as np

RATE = 22050


def _t(n):
    return np.arange(n) / RATE


def _fft_filter(x, gain_of_freq):
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1 / RATE)
    return np.fft.irfft(spectrum * gain_of_freq(f), len(x))


def _room(x, rng, decay=0.18, level=0.12, bright=1800):
    """A short diffuse tail, as a room adds, darker than the direct sound."""
    n = len(x)
    ir_len = int(decay * 7 * RATE)
    ir = rng.standard_normal(ir_len) * np.exp(-_t(ir_len) / decay)
    ir = _fft_filter(ir, lambda f: 1 / (1 + (f / bright) ** 2))
    ir[0:int(0.004 * RATE)] = 0
    ir *= level / np.sqrt(np.sum(ir ** 2))
    wet = np.convolve(x, ir)[:n]
    return x + wet


def _normalise(x, peak):
    return x * (peak / np.max(np.abs(x)))


def _fade_out(x, seconds):
    n = int(seconds * RATE)
    x[-n:] *= np.cos(np.linspace(0, math.pi / 2, n)) ** 2
    return x


def floor_thump(n=15424):
    """The ball on a hard floor: a slap of the leather, the low boom of the air inside with
    its pitch falling as the ball leaves the floor, and the faint ring of the shell."""
    rng = np.random.default_rng(109)
    t = _t(n)
    boom_f = 95 + 70 * np.exp(-t / 0.03)
    boom = np.sin(2 * math.pi * np.cumsum(boom_f) / RATE) * np.exp(-t / 0.075)
    boom *= 1 - np.exp(-t / 0.0015)
    slap = rng.standard_normal(n) * np.exp(-t / 0.0035)
    slap = _fft_filter(slap, lambda f: 1 / (1 + (f / 1800) ** 2))
    ring = (0.22 * np.sin(2 * math.pi * 470 * t) * np.exp(-t / 0.05)
            + 0.10 * np.sin(2 * math.pi * 1130 * t + 1) * np.exp(-t / 0.03))
    x = 1.0 * boom + 0.9 * _normalise(slap, 1) + ring
    x = _room(x, rng, decay=0.09, level=0.15, bright=900)
    return _fade_out(_normalise(x, 0.89), 0.25)


def wall_thump(n=12312):
    """The ball against a wall: a duller, shorter knock with the hollow resonance of the
    panel, little of the ball's own ring."""
    rng = np.random.default_rng(110)
    t = _t(n)
    knock_f = 135 + 40 * np.exp(-t / 0.02)
    knock = np.sin(2 * math.pi * np.cumsum(knock_f) / RATE) * np.exp(-t / 0.05)
    knock *= 1 - np.exp(-t / 0.002)
    panel = (0.45 * np.sin(2 * math.pi * 240 * t + 0.5) * np.exp(-t / 0.045)
             + 0.25 * np.sin(2 * math.pi * 385 * t) * np.exp(-t / 0.03))
    hit = rng.standard_normal(n) * np.exp(-t / 0.006)
    hit = _fft_filter(hit, lambda f: 1 / (1 + (f / 700) ** 4))
    x = knock + panel + 0.8 * _normalise(hit, 1)
    x = _room(x, rng, decay=0.08, level=0.15, bright=900)
    return _fade_out(_normalise(x, 0.85), 0.2)


def rim_clang(n=14272):
    """The ball on the steel rim: a hard strike and the inharmonic ring of a metal hoop,
    close partials beating against each other, the high ones dying first."""
    rng = np.random.default_rng(114)
    t = _t(n)
    partials = [(520, 1.0, 0.42), (527, 0.7, 0.40), (1290, 0.8, 0.28), (1302, 0.5, 0.25),
                (2270, 0.55, 0.17), (3395, 0.4, 0.11), (3420, 0.3, 0.1), (4710, 0.25, 0.07),
                (6120, 0.15, 0.05), (248, 0.35, 0.2)]
    x = np.zeros(n)
    for f, a, tau in partials:
        x += a * np.sin(2 * math.pi * f * t + rng.uniform(0, 2 * math.pi)) * np.exp(-t / tau)
    x *= 1 - np.exp(-t / 0.0008)
    strike = rng.standard_normal(n) * np.exp(-t / 0.004)
    strike = _fft_filter(strike, lambda f: (f / 3000) ** 2 / (1 + (f / 3000) ** 2))
    thud = np.sin(2 * math.pi * 150 * t) * np.exp(-t / 0.03)
    x = x + 1.2 * _normalise(strike, 1) + 0.6 * thud
    x = _room(x, rng, decay=0.2, level=0.2, bright=3000)
    return _fade_out(_normalise(x, 0.85), 0.15)


VOWELS = {  # formant frequencies and bandwidths, Hz
    "a": [(800, 80), (1200, 90), (2500, 120), (3500, 150)],
    "e": [(500, 70), (1900, 100), (2600, 120), (3500, 150)],
    "o": [(500, 70), (850, 80), (2500, 120), (3500, 150)],
    "u": [(350, 60), (700, 80), (2400, 120), (3400, 150)],
    "ae": [(700, 80), (1650, 100), (2550, 120), (3500, 150)],
}


def _voice(n, rng, start, length, f0, glide, vowel, loud):
    """One shouting voice: a glottal pulse train (additive, band-limited) shaped by the
    formants of a vowel, with jitter, vibrato and a rise and fall of loudness."""
    out = np.zeros(n)
    a, b = int(start * RATE), min(n, int((start + length) * RATE))
    if b - a < 200:
        return out
    m = b - a
    t = _t(m)
    u = t / (m / RATE)
    pitch = f0 * (1 + glide * np.sin(math.pi * np.clip(u * 1.2, 0, 1)) ** 1.5)
    pitch *= 1 + 0.012 * np.sin(2 * math.pi * rng.uniform(4.5, 6.5) * t + rng.uniform(0, 6))
    drift = np.cumsum(rng.standard_normal(m)) * 0.00002
    pitch *= 1 + drift
    phase = 2 * math.pi * np.cumsum(pitch) / RATE
    size = rng.uniform(0.85, 1.2)                      # every throat is a little different
    formants = [(fc * size * rng.uniform(0.95, 1.05), bw) for fc, bw in VOWELS[vowel]]
    sig = np.zeros(m)
    fmean = float(np.mean(pitch))
    for h in range(1, int(4500 / fmean)):
        fh = h * pitch
        amp = np.zeros(m)
        for (fc, bw), weight in zip(formants, (1.0, 0.7, 0.3, 0.15)):
            amp += weight / (1 + ((fh - fc) / bw) ** 2)
        amp *= h ** -0.6
        sig += amp * np.sin(h * phase)
    env = np.sin(math.pi * np.clip(u, 0, 1)) ** 0.6
    env *= 1 - np.exp(-t / 0.04)
    out[a:b] = loud * sig * env
    return out


def _applause(n, rng, clappers, rate_hz, start, swell):
    """Hand claps: each a short burst of band-passed noise, every clapper at their own pace."""
    out = np.zeros(n)
    clap_len = int(0.03 * RATE)
    ct = _t(clap_len)
    for _ in range(clappers):
        pace = rng.uniform(rate_hz * 0.75, rate_hz * 1.3)
        tone = rng.uniform(0.7, 1.4)
        time = start + rng.uniform(0, swell)
        while time < n / RATE - 0.03:
            i = int(time * RATE)
            burst = rng.standard_normal(clap_len) * np.exp(-ct / (0.006 * tone))
            out[i:i + clap_len] += burst * rng.uniform(0.5, 1.0)
            time += 1 / pace * rng.uniform(0.85, 1.15)
    out = _fft_filter(out, lambda f: np.exp(-((np.log(np.maximum(f, 1) / 1600)) ** 2) / 0.9))
    return out


def _babble(n, rng):
    """The crowd's general roar under the voices."""
    x = rng.standard_normal(n)
    return _fft_filter(x, lambda f: np.exp(-((np.log(np.maximum(f, 1) / 700)) ** 2) / 0.7))


def _crowd(n, seed, voices, shout_at, clappers, whistles, pitch_range):
    rng = np.random.default_rng(seed)
    t = _t(n)
    dur = n / RATE
    x = np.zeros(n)
    for _ in range(voices):
        start = shout_at + rng.exponential(0.18)
        length = rng.uniform(0.8, 2.4)
        f0 = rng.uniform(*pitch_range)
        vowel = ["a", "e", "o", "u", "ae"][rng.integers(0, 5)]
        x += _voice(n, rng, start, length, f0, rng.uniform(0.05, 0.35), vowel,
                    rng.uniform(0.4, 1.0))
        if rng.random() < 0.35:                        # a second shout, later
            x += _voice(n, rng, start + length + rng.uniform(0, 0.3), rng.uniform(0.5, 1.2),
                        f0 * rng.uniform(0.95, 1.15), rng.uniform(0.1, 0.4), vowel,
                        rng.uniform(0.3, 0.7))
    x = _normalise(x, 1)
    env = np.clip((t - shout_at + 0.05) / 0.25, 0, 1) * np.clip((dur - t) / 1.2, 0, 1) ** 1.3
    roar = _normalise(_babble(n, rng), 1) * env * 0.35
    claps = _normalise(_applause(n, rng, clappers, 4.2, shout_at + 0.15, 0.7), 1)
    claps *= np.clip((dur - t) / 0.9, 0, 1) ** 1.5
    y = x * env + roar + 0.55 * claps
    for _ in range(whistles):                          # two-finger whistles
        a = shout_at + rng.uniform(0.1, 1.4)
        length = rng.uniform(0.4, 0.9)
        m = int(length * RATE)
        i = int(a * RATE)
        m = min(m, n - i)
        tt = _t(m)
        f = rng.uniform(2300, 3100) * (1 + 0.08 * np.sin(math.pi * tt / length)) \
            * (1 + 0.004 * np.sin(2 * math.pi * 7 * tt))
        w = np.sin(2 * math.pi * np.cumsum(f) / RATE) * np.sin(math.pi * tt / length) ** 0.5
        y[i:i + m] += 0.25 * w
    y = _room(y, rng, decay=0.35, level=0.35)
    y[: int(0.003 * RATE)] *= np.linspace(0, 1, int(0.003 * RATE))
    return _fade_out(_normalise(y, 0.8), 0.4)


def cheer(n=70049):
    """A basket: the crowd shouts and claps."""
    return _crowd(n, 112, voices=36, shout_at=0.05, clappers=40, whistles=0,
                  pitch_range=(170, 360))


def big_cheer(n=72064):
    """A bigger moment: more voices, higher and longer shouts, whistles over the applause."""
    return _crowd(n, 113, voices=70, shout_at=0.02, clappers=70, whistles=3,
                  pitch_range=(200, 480))
