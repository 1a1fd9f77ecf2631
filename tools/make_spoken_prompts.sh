#!/usr/bin/env bash
# Speaks the program's prompts into data/sounds/ (the tool-tip prompts, the
# thirty colour names and the page numbers 1 to 99), the sample book's
# narrations into data/books/sample/ and the colouring instructions' into
# data/books/instructions/. Flite's kal16 voice, slowed a little,
# was the clearest of the Debian voices we tried (a speech recogniser
# understood it best); sox trims the silence, normalises and writes 16-bit
# mono WAVE files at 16000 samples a second, without dither, so every run
# writes the same bytes.
#
# Needs the Debian packages flite and sox, here only: the program plays the
# committed files. `./dev sounds` installs them and runs this script.
#
#   tools/make_spoken_prompts.sh [CHECKOUT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
sounds="$root/data/sounds"
book="$root/data/books/sample"
instructions="$root/data/books/instructions"
voice=kal16
stretch=1.2

for tool in flite sox; do
    command -v "$tool" >/dev/null || { echo "$0: needs $tool (apt-get install $tool)" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# speak FILE TEXT
speak() {
    flite -voice "$voice" --setf duration_stretch="$stretch" -t "$2" -o "$tmp/raw.wav"
    sox -D "$tmp/raw.wav" -r 16000 -b 16 -c 1 "$1" \
        silence 1 0.01 0.3% reverse silence 1 0.01 0.3% reverse pad 0.03 0.06 norm -1
}

# The English words for 1 to 99.
number_words() {
    local n=$1
    local ones=(zero one two three four five six seven eight nine ten eleven twelve thirteen
        fourteen fifteen sixteen seventeen eighteen nineteen)
    local tens=("" "" twenty thirty forty fifty sixty seventy eighty ninety)
    if [ "$n" -lt 20 ]; then
        echo "${ones[$n]}"
    elif [ $((n % 10)) -eq 0 ]; then
        echo "${tens[$((n / 10))]}"
    else
        echo "${tens[$((n / 10))]} ${ones[$((n % 10))]}"
    fi
}

mkdir -p "$sounds"

# The second line of each prompt string, and what it says.
while IFS='|' read -r file text; do
    speak "$sounds/$file" "$text"
done <<'PROMPTS'
PAGENUM.WAV|Page number
PLAYSND.WAV|Play or stop the sound
PREVIOUS.WAV|Go to the previous page
NEXT.WAV|Go to the next page
DOPAINT.WAV|Color this page
UPDATE.WAV|Show your colored picture
RESTORE.WAV|Restore the original coloring picture
SLIDSHOW.WAV|Run a slide show
PRINT.WAV|Print
EXIT.WAV|Goodbye
INSTRUCT.WAV|Coloring instructions
FILL.WAV|Fill tool
BRUSH.WAV|Paint brush
LINE.WAV|Straight line
BRSHSML.WAV|Small brush
BRSHMED.WAV|Medium brush
BRSHLRG.WAV|Large brush
UNDO.WAV|Undo
DONE.WAV|All done
WHITE.WAV|White
BLACK.WAV|Black
GRAY.WAV|Gray
DKGRAY.WAV|Dark gray
RED.WAV|Red
DKRED.WAV|Dark red
YELLOW.WAV|Yellow
OLIVE.WAV|Olive
GREEN.WAV|Green
FRSTGREN.WAV|Forest green
CYAN.WAV|Cyan
OCEANBL.WAV|Ocean blue
BLUE.WAV|Blue
DPNAVYBL.WAV|Deep navy blue
MAGENTA.WAV|Magenta
PURPLE.WAV|Purple
PALEYLLW.WAV|Pale yellow
OLIVDRAB.WAV|Olive drab
MINTGREN.WAV|Mint green
DKGREEN.WAV|Dark green
ICEBLUE.WAV|Ice blue
BABYBLUE.WAV|Baby blue
PASTBLUE.WAV|Pastel blue
NAVYBLUE.WAV|Navy blue
HOTPINK.WAV|Hot pink
DEEPBLUE.WAV|Deep blue
ORANGE.WAV|Orange
BROWN.WAV|Brown
TAN.WAV|Tan
BEIGE.WAV|Beige
PROMPTS

for n in $(seq 1 99); do
    speak "$sounds/$n.wav" "$(number_words "$n")"
done

# The sample book's narrations (its sun page has a tune instead, SUN.MID).
while IFS='|' read -r file text; do
    speak "$book/$file" "$text"
done <<'NARRATIONS'
CAT.WAV|This is a cat. The cat says meow.
DOG.WAV|This is a dog. The dog says woof.
FISH.WAV|This is a fish. The fish swims in the water.
HOUSE.WAV|This is a house. Who lives in the house?
TREE.WAV|This is a tree. Birds sit in the tree.
NARRATIONS

# The colouring instructions, one narration a page (STEP1.BMP goes with
# STEP1.WAV), short enough for a four-year-old; the tools are called by
# their tool-tip names (paint brush, straight line).
mkdir -p "$instructions"
while IFS='|' read -r file text; do
    speak "$instructions/$file" "$text"
done <<'NARRATIONS'
STEP1.WAV|Press the button with the house and the brush to color the page.
STEP2.WAV|Press a color box to pick a color.
STEP3.WAV|Press inside a shape. It fills up with your color.
STEP4.WAV|Pick the paint brush. Hold the mouse button down and move to paint.
STEP5.WAV|Pick the straight line. Hold the mouse button down, move, and let go.
STEP6.WAV|Oops? Press the arrow to take it back.
STEP7.WAV|All done? Press the check mark to keep your picture.
NARRATIONS
