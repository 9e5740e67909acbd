#!/usr/bin/env bash
# Synthesises the ten sound cues into assets/graphics/ with sox: short, soft and distinct.
# Run it again only to change the cues; the resulting WAV files are committed.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/assets/graphics"
mkdir -p "$out"
rate=22050
tone() { # tone FILE "sox synth args" [effects...]
    local file=$1 synth=$2
    shift 2
    sox -q -n -r $rate -b 16 -c 1 "$out/$file" synth $synth "$@" fade q 0.01 -0 0.06 gain -n -6
}
chime() { # chime FILE NOTE... : notes played one after the other, each 0.12 s
    local file=$1
    shift
    local parts=()
    for note in "$@"; do
        parts+=("$(mktemp --suffix=.wav)")
        sox -q -n -r $rate -b 16 -c 1 "${parts[-1]}" synth 0.14 pluck "$note" fade q 0.005 0.14 0.08
    done
    sox -q "${parts[@]}" "$out/$file" reverb 20 gain -n -6
    rm -f "${parts[@]}"
}
chime s_hi!.wav C5 E5 G5 C6                  # greeting: rising major arpeggio
chime s_passwordconfirm.wav E5 A5            # accepted: bright rising fourth
chime s_nopassword.wav A4 F4                 # refused: falling sixth
chime s_saveddata.wav G5 C6                  # saved: short rising fourth
chime s_openfile.wav C5 G5                   # opened: rising fifth
tone s_searchin.wav "0.25 sine 600-1200"     # search: soft upward sweep
chime s_nofinderror.wav D5 D5                # nothing found: repeated note
tone s_error.wav "0.3 square 220" gain -12 lowpass 900 # file error: low muted buzz
chime s_question.wav G4 D5                    # quit question: open interval
chime s_bilbo.wav C5 E5 G5 B5 D6             # hidden card: long playful run
