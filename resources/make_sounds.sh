#!/bin/sh
# Makes the five sound effects in sounds/ with sox. Each has the rate and
# sample size the program's tables name, one channel, and an exact sample
# count; -R seeds the dither so every run gives the same bytes.
set -e
cd "$(dirname "$0")/sounds"
SOX="sox -R -V1"

# fit RATE SAMPLES IN OUT BITS: resample, pad or cut to SAMPLES, normalise.
fit() {
    $SOX "$3" -r "$1" -b "$5" -c 1 -e "$([ "$5" = 8 ] && echo unsigned || echo signed)" "$4" \
        gain -n -3 rate -v "$1" pad 0 10 trim 0 "$2"s
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# CLICK: a short wooden tick, 0.15 s.
$SOX -n -r 44100 -c 1 "$tmp/click.wav" synth 0.03 pluck 1760 synth 0.03 sine fmod 880 \
    fade q 0.001 0.03 0.025 lowpass 5000 pad 0 0.2
fit 22050 3320 "$tmp/click.wav" CLICK.wav 8

# GOOD: a bright rising two-note chime, about 0.95 s.
$SOX -n -r 44100 -c 1 "$tmp/good.wav" synth 0.9 pluck E5 pluck B5 pluck E6 \
    delay 0 0.11 0.22 remix - fade q 0.005 0.96 0.45 reverb 20 50 40 pad 0 0.3
fit 11025 10608 "$tmp/good.wav" GOOD.wav 16

# BAD: a soft low falling "bu-bum", 0.7 s.
$SOX -n -r 44100 -c 1 "$tmp/bad.wav" synth 0.45 triangle 311 triangle 233 \
    delay 0 0.2 remix - lowpass 900 fade q 0.01 0.65 0.25 pad 0 0.2
fit 22050 15360 "$tmp/bad.wav" BAD.wav 16

# AWARDS: a small fanfare, ta-ta-ta-taaa, ta-ta-taaaaa, 6.3 s.
$SOX -n -r 44100 -c 1 "$tmp/fanfare1.wav" synth 0.16 square C5 square E5 square G5 \
    delay 0 0.18 0.36 remix - lowpass 2200 fade q 0.01 0.52 0.05
$SOX -n -r 44100 -c 1 "$tmp/fanfare2.wav" synth 1.9 square C5 square E5 square G5 square C6 \
    remix - tremolo 5 15 lowpass 2000 fade h 0.02 1.9 1.2
$SOX -n -r 44100 -c 1 "$tmp/fanfare3.wav" synth 0.14 square G5 square G5 \
    delay 0 0.2 remix - lowpass 2200 fade q 0.01 0.34 0.05
$SOX -n -r 44100 -c 1 "$tmp/fanfare4.wav" synth 3.5 square C5 square F5 square A5 square C6 \
    remix - tremolo 5 15 lowpass 2000 fade t 0.02 3.5 2.6
$SOX "$tmp/fanfare1.wav" "$tmp/fanfare2.wav" "$tmp/fanfare3.wav" "$tmp/fanfare4.wav" \
    "$tmp/fanfare.wav" pad 0 0.2 reverb 40 50 60
fit 8000 50514 "$tmp/fanfare.wav" AWARDS.wav 8

# BOO: a slow sad trombone, wah wah wah waaaah, 7.3 s.
$SOX -n -r 44100 -c 1 "$tmp/boo1.wav" synth 0.8 sawtooth 233 sawtooth 220 sawtooth 208 \
    delay 0 0.9 1.8 remix - lowpass 700 fade q 0.08 2.6 0.2
$SOX -n -r 44100 -c 1 "$tmp/boo2.wav" synth 4.5 sawtooth 196-185 \
    tremolo 6 35 lowpass 600 fade t 0.08 4.5 3.2
$SOX "$tmp/boo1.wav" "$tmp/boo2.wav" "$tmp/boo.wav" pad 0 0.3 reverb 30 50 50
fit 11025 80800 "$tmp/boo.wav" BOO.wav 8
