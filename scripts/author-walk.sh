#!/usr/bin/env bash
# The author walk: the built editor started on its own virtual X server with a fresh home folder,
# driven from outside by real key and mouse events (xdotool) as a new author drives it:
#   import of a WAV, a FLAC, an Ogg and an MP3 file from the import dialog, a colour chosen for an
#   element, two groups, an exclusion aborted then made, a mixing rule with a second strip dropped
#   on it while open, the Shift+F2 / Shift+F3 tab keys, the Ogg track converted to mono, the
#   project saved, and the distributable file exported with a title and an author typed on the
#   Export page; the container's description must carry them. Then later starts: SIGTERM and
#   SIGINT over the start dialog, SIGTERM over a modal dialog on a modified project (Quit's
#   question, answered No), a project nested 30,000 groups deep refused with its message (groups
#   stored in either order), and a 200-character group name that leaves the group, implication
#   and exclusion dialogs inside 1024x700. Last, renders of a stored mix to WAVE with the mini
#   player's repeat switch on: one ends with the piece played once in a whole file, one of an hour
#   is cancelled, which closes its progress dialog and leaves nothing beside the target.
# A screenshot of the whole screen after each step goes to <screens>/walk_<nn>_<step>.png.
# Every wait is on an event (a window shown or gone, a file written) with a deadline reached only
# when the step went wrong.
#
# usage: author-walk.sh <editor program> <walk_tool> <screens folder> <work folder>
# Exit status: 0 passed, 1 failed, 77 skipped (no xdotool, Xvfb or ImageMagick's import/compare).
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 <editor program> <walk_tool> <screens folder> <work folder>" >&2
  exit 2
fi
# Absolute: the editor's dialogs take typed paths relative to the folder they show.
editor=$(realpath -m "$1")
tool=$(realpath -m "$2")
screens=$(realpath -m "$3")
work=$(realpath -m "$4")
# Generous: reached only when a step went wrong, never on a loaded machine that is merely slow.
deadline=${WALK_DEADLINE:-90}

for program in Xvfb xdotool import compare; do
  if ! command -v "$program" >/dev/null 2>&1; then
    echo "SKIPPED: $program is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/home" "$work/audio" "$work/out" "$screens"
chmod 700 "$work/home"
log=$work/editor.log
step_no=0
current_step=""
passed=()

xvfb_pid=""
editor_pid=""
cleanup() {
  # A walk that stopped half-way may leave a question open: the editor is ended without asking.
  [ -n "$editor_pid" ] && kill -KILL "$editor_pid" 2>/dev/null
  [ -n "$editor_pid" ] && wait "$editor_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

fail() {
  echo "FAILED at step \"$current_step\": $*" >&2
  import -window root "$screens/walk_failed.png" 2>/dev/null
  echo "Windows shown:" >&2
  for w in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
    echo "  $w \"$(xdotool getwindowname "$w" 2>/dev/null)\"" >&2
  done
  echo "--- editor output (last 40 lines) ---" >&2
  tail -n 40 "$log" >&2
  echo "Steps passed: ${passed[*]:-none}" >&2
  exit 1
}

# Polls a command until it succeeds; fails the walk at the deadline.
wait_until() {
  local what=$1
  shift
  local end=$((SECONDS + deadline))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || fail "no $what within ${deadline} s"
    if [ -n "$editor_pid" ] && ! kill -0 "$editor_pid" 2>/dev/null; then
      fail "the editor ended while waiting for $what"
    fi
    sleep 0.2
  done
}

# The id of the visible window whose title matches the pattern (whole title), once shown.
window_id() {
  local pattern=$1
  local found=""
  find_window() {
    found=$(xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null | tail -n 1)
    [ -n "$found" ]
  }
  wait_until "window \"$pattern\"" find_window
  echo "$found"
}

# True while no visible window has the title.
window_gone() {
  ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

start_step() {
  current_step=$1
  echo "== $1"
}

end_step() {
  step_no=$((step_no + 1))
  local name
  name=$(printf 'walk_%02d_%s.png' "$step_no" "$1")
  # The screen is taken once the editor has finished drawing what the step made: two grabs in a
  # row differ by no more than a text cursor's blink. A screen still changing after a while is
  # taken as it is (the picture only illustrates; the checks are made on windows and files).
  # A step whose screen keeps moving while work runs (a progress bar) is taken at once: "moving"
  # as second argument.
  local previous=$work/previous.png end=$((SECONDS + 20)) changed
  [ "${2:-}" = moving ] && end=$SECONDS
  import -window root "$previous" || fail "no screenshot"
  while :; do
    import -window root "$screens/$name" || fail "no screenshot"
    # The count of differing pixels, which ImageMagick may print as "1.2e+06".
    changed=$(compare -metric AE "$previous" "$screens/$name" null: 2>&1 | awk '{ printf "%d", $1 }')
    [ "${changed:-999999}" -le 400 ] && break
    [ "$SECONDS" -lt "$end" ] || break
    cp "$screens/$name" "$previous"
  done
  passed+=("$1")
  echo "   passed, screenshot $name"
}

# Window geometry: sets wx, wy, ww, wh.
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1" | sed -e 's/^X=/wx=/' -e 's/^Y=/wy=/' \
    -e 's/^WIDTH=/ww=/' -e 's/^HEIGHT=/wh=/' -e '/^SCREEN=/d' -e '/^WINDOW=/d')"
}

focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

# A click at a point given relative to a window's top left corner.
click_in() {
  local id=$1 x=$2 y=$3 button=${4:-1}
  geometry "$id"
  xdotool mousemove --sync $((wx + x)) $((wy + y)) click "$button"
}

keys() {
  xdotool key --delay 60 "$@"
}

type_text() {
  xdotool type --delay 40 -- "$1"
}

# A drag with the left button, moving in small steps as a hand does.
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4
  xdotool mousemove --sync "$x0" "$y0" mousedown 1
  local i
  for i in 1 2 3 4 5 6 7 8 9 10 11 12; do
    xdotool mousemove --sync $((x0 + (x1 - x0) * i / 12)) $((y0 + (y1 - y0) * i / 12))
    sleep 0.05
  done
  xdotool mousemove --sync "$x1" "$y1" mouseup 1
}

# Description of a container file, through the walk's helper.
description() {
  "$tool" description "$1"
}

# ---------------------------------------------------------------------------------------------
# The virtual screen and the editor.
# ---------------------------------------------------------------------------------------------
start_step "start"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1400x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
have_display() { [ -s "$work/display" ]; }
wait_until "virtual X server" have_display
export DISPLAY=":$(head -n 1 "$work/display")"
echo "   display $DISPLAY"

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$HOME/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Update checks are asked for by the author only: the walk never goes to the network.
mkdir -p "$XDG_CONFIG_HOME/Tovra Media"
printf '[SonaricParams]\nUpdateSearch=3\n' >"$XDG_CONFIG_HOME/Tovra Media/Tovra Sonaric Pro.conf"

# Four sources of four formats; the Ogg one in stereo, to be made mono on import.
for source in kick.wav:1:1 bass.flac:1:2 pads.ogg:2:3 voice.mp3:1:4; do
  IFS=: read -r file channels n <<<"$source"
  "$tool" sine "$work/audio/$file" 3 "$channels" $((220 * n)) || fail "cannot write $file"
done

"$editor" >"$log" 2>&1 &
editor_pid=$!

# The start dialog shares the main window's title; once both are shown, it is the smaller.
start_dialog=""
find_start_dialog() {
  local w ids smallest=""
  ids=$(xdotool search --onlyvisible --name '^Tovra Sonaric Free$' 2>/dev/null)
  [ "$(wc -w <<<"$ids")" -ge 2 ] || return 1
  for w in $ids; do
    geometry "$w"
    if [ -z "$smallest" ] || [ "$ww" -lt "$smallest" ]; then
      smallest=$ww
      start_dialog=$w
    fi
  done
  [ "$smallest" -lt 1000 ]
}
wait_until "start dialog" find_start_dialog
end_step start_dialog

# ---------------------------------------------------------------------------------------------
# A new project from the start dialog; sets main.
new_project_from_start_dialog() {
  click_in "$start_dialog" 360 131
  main=$(window_id '\[Untitled\] - Tovra Sonaric Free') || exit 1
}
start_step "new project from the start dialog"
new_project_from_start_dialog
geometry "$main"
[ "$ww" -ge 1300 ] && [ "$wh" -ge 900 ] || fail "main window is ${ww}x${wh}, the walk expects the whole 1400x1000 screen"
end_step new_project

# Keys go to the main window (without a window manager nothing gives it the focus back after a
# dialog or popup closes).
main_keys() {
  focus "$main"
  keys "$@"
}

# ---------------------------------------------------------------------------------------------
# Opens the import dialog and types the names of files of the audio folder, not yet confirmed.
type_import() {
  # Project menu, reached from the menu bar by the keyboard: its first command is the import.
  click_in "$main" 22 11
  keys Right Return
  chooser=$(window_id 'Import stem tracks') || exit 1
  focus "$chooser"
  type_text "$work/audio/"
  keys Return
  type_text "$1"
}
start_step "import of WAV, FLAC, Ogg and MP3 from the import dialog"
type_import '"kick.wav" "bass.flac" "pads.ogg" "voice.mp3"'
end_step import_dialog
keys Return
# The stereo Ogg file is the only one asked about.
question=$(window_id 'Stereo -> Mono conversion') || exit 1
end_step stereo_question
passed+=(import)

# ---------------------------------------------------------------------------------------------
start_step "mono conversion of the Ogg track"
focus "$question"
keys Tab space # "Convert"
method=""
find_method() {
  method=$(xdotool search --onlyvisible --name '^Stereo -> Mono conversion$' 2>/dev/null | grep -vx "$question" | tail -n 1)
  [ -n "$method" ]
}
wait_until "conversion method dialog" find_method
end_step mono_method
focus "$method"
keys Tab space # "Ok": a new file with the suffix
wait_until "the conversion to end" window_gone 'Stereo -> Mono conversion'
mono_written() { [ -s "$work/audio/pads_mono.ogg" ]; }
wait_until "pads_mono.ogg" mono_written
[ "$("$tool" channels "$work/audio/pads_mono.ogg")" = 1 ] || fail "pads_mono.ogg is not mono"
end_step imported

# ---------------------------------------------------------------------------------------------
# The library lists the tracks by name: bass, kick, pads, voice.
library_row() { echo $((122 + 20 * $1)); }
make_group() {
  local name=$1 first=$2 second=$3
  click_in "$main" 76 "$(library_row "$first")"
  xdotool keydown ctrl
  click_in "$main" 76 "$(library_row "$second")"
  xdotool keyup ctrl
  click_in "$main" 76 "$(library_row "$second")" 3
  keys Down Return # "Create group", first in the row's menu
  local dialog
  dialog=$(window_id 'Create/Modify group') || exit 1
  focus "$dialog"
  type_text "$name"
  end_step "group_dialog_$name"
  geometry "$dialog"
  click_in "$dialog" $((ww - 138)) $((wh - 25)) # "Save"
  wait_until "group dialog to close" window_gone 'Create/Modify group'
}
start_step "groups Beat (bass, kick) and Top (pads, voice)"
make_group Beat 1 0
make_group Top 3 2
end_step groups

# ---------------------------------------------------------------------------------------------
start_step "a colour chosen for the group Beat"
colour_box=""
find_colour_box() {
  local w
  # A popup has no title to search by: the box is the shown window of its size.
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    geometry "$w"
    if [ "$ww" -eq 300 ] && [ "$wh" -eq 30 ]; then
      colour_box=$w
      return 0
    fi
  done
  return 1
}
colour_box_gone() { ! find_colour_box; }
click_in "$main" 409 141 # Beat's colour square in the structure
wait_until "colour box" find_colour_box
end_step colour_box
click_in "$colour_box" 140 15
wait_until "colour box to close" colour_box_gone
end_step colour_chosen

# ---------------------------------------------------------------------------------------------
start_step "Shift+F2 and an implication kick -> voice"
main_keys shift+F2
# The page's commands exist only on the constraints page: the dialog shows the key worked.
click_in "$main" 86 101 # "Create an implication"
dialog=$(window_id 'Create implication') || exit 1
focus "$dialog"
type_text kick
keys Tab
type_text voice
keys Tab
type_text "needs the voice"
end_step implication_dialog
geometry "$dialog"
click_in "$dialog" $((ww - 52)) $((wh - 23)) # "Ok"
wait_until "implication dialog to close" window_gone 'Create implication'
end_step implication

# ---------------------------------------------------------------------------------------------
start_step "an exclusion kick / voice aborted, then kick / pads made"
geometry "$main"
click_in "$main" $((ww / 2 + 106)) 101 # "Create an exclusion"
dialog=$(window_id 'Create exclusion') || exit 1
focus "$dialog"
type_text kick
keys Tab
type_text voice
keys Tab
type_text "never together"
geometry "$dialog"
click_in "$dialog" $((ww - 52)) $((wh - 23)) # "Ok"
# kick needs voice: excluding them silences kick, which the editor asks about.
warning=$(window_id 'Exclusion creation') || exit 1
end_step exclusion_warning
focus "$warning"
keys Return # "Abort", the default
wait_until "warning to close" window_gone 'Exclusion creation'
window_gone 'Create exclusion' && fail "the aborted exclusion closed its dialog"
end_step exclusion_aborted
geometry "$dialog"
shown_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
before=$(shown_windows)
click_in "$dialog" $((ww - 95)) 26 # the second element's list
# The list pops up; its first letters choose the element.
list_shown() { [ "$(shown_windows)" -gt "$before" ]; }
wait_until "element list" list_shown
type_text pads
keys Return
end_step exclusion_pads
geometry "$dialog"
click_in "$dialog" $((ww - 52)) $((wh - 23)) # "Ok"
wait_until "exclusion dialog to close" window_gone 'Create exclusion'
window_gone 'Exclusion creation' || fail "kick / pads was refused"
end_step exclusion

# ---------------------------------------------------------------------------------------------
start_step "Shift+F3, a mixing rule, a second strip dropped on it while open"
main_keys shift+F3
click_in "$main" 84 110 # "Create a mixing rule", only on the mixing-rules page
dialog=$(window_id 'New rule') || exit 1
focus "$dialog"
type_text Calm
keys Return
wait_until "rule name dialog to close" window_gone 'New rule'
end_step mixing_rule
# From the console's element tree (Beat open: bass, kick) onto the console.
drag 160 673 650 812
end_step first_strip
drag 159 687 800 812
end_step second_strip
click_in "$main" 319 110 # "Save rule"
end_step rule_saved

# ---------------------------------------------------------------------------------------------
start_step "project saved"
main_keys ctrl+s
dialog=$(window_id 'Save a project') || exit 1
focus "$dialog"
type_text "$work/out/song.tvprj"
keys Return
saved_title() { xdotool search --onlyvisible --name '^song - Tovra Sonaric Free$' >/dev/null 2>&1; }
wait_until "saved project" saved_title
project=$(description "$work/out/song.tvprj") || fail "the saved project holds no description"
rule=$(grep -o '<CNST><NAME>__UnusefullGrp__Calm</NAME>\(<SUB_ELT>[^<]*</SUB_ELT>\)*' <<<"$project")
[ "$rule" = '<CNST><NAME>__UnusefullGrp__Calm</NAME><SUB_ELT>bass</SUB_ELT><SUB_ELT>kick</SUB_ELT>' ] ||
  fail "the mixing rule Calm does not hold bass and kick: ${rule:-missing}"
end_step project_saved

# ---------------------------------------------------------------------------------------------
start_step "export with a title and an author typed on the Export page"
main_keys shift+F5
click_in "$main" 288 510 # Title
type_text "Night drive"
click_in "$main" 288 542 # Author
type_text "Ana Author"
click_in "$main" 553 186 # the file button
dialog=$(window_id 'Export to Tovra') || exit 1
focus "$dialog"
type_text "$work/out/song.tovra"
keys Return
wait_until "file chooser to close" window_gone 'Export to Tovra'
end_step export_page
click_in "$main" 538 398 # "Export"
exported() { [ -s "$work/out/song.tovra" ] && description "$work/out/song.tovra" >/dev/null 2>&1; }
wait_until "exported file" exported
progress=$(window_id 'Export to Tovra') || exit 1
end_step export_done
geometry "$progress"
click_in "$progress" $((ww - 45)) $((wh - 19)) # "Ok"
wait_until "progress dialog to close" window_gone 'Export to Tovra'
# What the page stored is the project's now: the title says it is modified.
modified_title() { xdotool search --onlyvisible --name '^song\* - Tovra Sonaric Free$' >/dev/null 2>&1; }
wait_until "project marked modified by the export" modified_title

container=$(description "$work/out/song.tovra")
expect() {
  grep -qF -- "$1" <<<"$container" || fail "the container's description lacks $1"
}
expect '<SONG><TITLE>Night drive</TITLE><AUTHOR>Ana Author</AUTHOR>'
expect '<CNST><NAME>Beat</NAME><SUB_ELT>bass</SUB_ELT><SUB_ELT>kick</SUB_ELT>'
expect '<CNST><NAME>Top</NAME><SUB_ELT>pads</SUB_ELT><SUB_ELT>voice</SUB_ELT>'
expect '<COMMENT>needs the voice</COMMENT><SUB_ELT>voice</SUB_ELT><S_CONST>IMPL</S_CONST><S_IMPLY>kick</S_IMPLY>'
expect '<COMMENT>never together</COMMENT><SUB_ELT>kick</SUB_ELT><SUB_ELT>pads</SUB_ELT><S_CONST>GRP </S_CONST><S_MIN>0</S_MIN><S_MAX>1</S_MAX>'
# The colour chosen for Beat, on the group and on both of its tracks; Top kept white (-1).
colour_of() { grep -o "<NAME>$1</NAME>.*" <<<"$container" | grep -o '<COLOR>[^<]*</COLOR>' | head -n 1; }
beat=$(colour_of Beat)
[ -n "$beat" ] && [ "$beat" != '<COLOR>-1</COLOR>' ] || fail "Beat has no chosen colour ($beat)"
[ "$(colour_of kick)" = "$beat" ] && [ "$(colour_of bass)" = "$beat" ] || fail "Beat's tracks lack its colour"
[ "$(colour_of Top)" = '<COLOR>-1</COLOR>' ] || fail "Top changed colour"
end_step container_checked

# ---------------------------------------------------------------------------------------------
start_step "quit, saving the modified project"
main_keys ctrl+q
question=$(window_id 'Exit') || exit 1
end_step quit_question
focus "$question"
keys Return # "Yes", the default
editor_ended() { ! kill -0 "$editor_pid" 2>/dev/null; }
end=$((SECONDS + deadline))
until editor_ended; do
  [ "$SECONDS" -lt "$end" ] || fail "the editor did not end after Quit"
  sleep 0.2
done
wait "$editor_pid"
status=$?
editor_pid=""
[ "$status" -eq 0 ] || fail "the editor ended with status $status"
grep -q '<TITLE>Night drive</TITLE>' <<<"$(description "$work/out/song.tvprj")" ||
  fail "the project saved on quit lacks the exported title"
passed+=(quit)

# ---------------------------------------------------------------------------------------------
# Later starts of the editor: signals from wherever the author is, a project nested too deep,
# long names in dialogs.
# ---------------------------------------------------------------------------------------------
start_editor() {
  "$editor" "$@" >>"$log" 2>&1 &
  editor_pid=$!
}

# Waits for the editor to end as Quit ends it (status 0).
editor_ends() {
  local why=$1 end=$((SECONDS + deadline)) status
  until ! kill -0 "$editor_pid" 2>/dev/null; do
    [ "$SECONDS" -lt "$end" ] || fail "the editor did not end $why"
    sleep 0.2
  done
  wait "$editor_pid"
  status=$?
  editor_pid=""
  [ "$status" -eq 0 ] || fail "the editor ended with status $status $why"
}

# A new project from the start dialog with kick and bass imported (no question asked for them):
# the project is modified. Sets main.
new_project_with_two_tracks() {
  start_editor
  wait_until "start dialog" find_start_dialog
  new_project_from_start_dialog
  type_import '"kick.wav" "bass.flac"'
  keys Return
  # The import marks the project modified while its progress dialog is up; the tracks are in the
  # library once that dialog has gone.
  main=$(window_id '\[Untitled\]\* - Tovra Sonaric Free') || exit 1
  wait_until "the import to end" window_gone 'Import stem tracks'
}

for signal in TERM INT; do
  start_step "SIG$signal with the start dialog up"
  start_editor
  wait_until "start dialog" find_start_dialog
  kill -"$signal" "$editor_pid"
  editor_ends "after SIG$signal over the start dialog"
  end_step "sig$(tr 'A-Z' 'a-z' <<<"$signal")_start_dialog"
done

# ---------------------------------------------------------------------------------------------
start_step "SIGTERM with a modal dialog over a modified project"
new_project_with_two_tracks
main_keys shift+F3
# "Create a mixing rule" with no track in the structure yet: its modal message says so.
click_in "$main" 84 110
window_id 'Create a mixing rule' >/dev/null || exit 1
end_step modal_over_modified_project
kill -TERM "$editor_pid"
# The message closes; the project is modified, so Quit's question comes.
wait_until "the message to close" window_gone 'Create a mixing rule'
question=$(window_id 'Exit') || exit 1
end_step sigterm_quit_question
focus "$question"
keys alt+n # "No": quit without saving
editor_ends "after SIGTERM and No to the save question"

# ---------------------------------------------------------------------------------------------
start_step "a project nested 30,000 groups deep is refused with its message"
for order in outermost innermost; do
  "$tool" deep "$work/out/deep.tvprj" 30000 "$order" "$work/audio/kick.wav" ||
    fail "cannot write the deep project"
  start_editor "$work/out/deep.tvprj"
  box=$(window_id 'Error') || exit 1
  end_step "deep_project_refused_$order"
  # The editor is alive with its message up; a signal ends it from there.
  kill -0 "$editor_pid" 2>/dev/null || fail "the editor ended on the deep project"
  kill -TERM "$editor_pid"
  editor_ends "after the deep project's refusal"
done
rm -f "$work/out/deep.tvprj"

# ---------------------------------------------------------------------------------------------
start_step "a 200-character group name leaves every dialog inside 1024x700"
long=$(printf 'LongGroupName%.0s' $(seq 1 16) | cut -c1-200)
fits() {
  geometry "$1"
  [ "$ww" -le 1024 ] && [ "$wh" -le 700 ] || fail "$2 is ${ww}x${wh}, larger than 1024x700"
}
new_project_with_two_tracks
click_in "$main" 76 "$(library_row 0)"
xdotool keydown ctrl
click_in "$main" 76 "$(library_row 1)"
xdotool keyup ctrl
click_in "$main" 76 "$(library_row 1)" 3
keys Down Return # "Create group"
dialog=$(window_id 'Create/Modify group') || exit 1
focus "$dialog"
type_text "$long"
end_step long_name_group_dialog
fits "$dialog" "the group dialog"
geometry "$dialog"
click_in "$dialog" $((ww - 138)) $((wh - 25)) # "Save"
wait_until "group dialog to close" window_gone 'Create/Modify group'
main_keys shift+F2
click_in "$main" 86 101 # "Create an implication"
dialog=$(window_id 'Create implication') || exit 1
end_step long_name_implication_dialog
fits "$dialog" "the implication dialog"
focus "$dialog"
keys Escape
wait_until "implication dialog to close" window_gone 'Create implication'
geometry "$main"
click_in "$main" $((ww / 2 + 106)) 101 # "Create an exclusion"
dialog=$(window_id 'Create exclusion') || exit 1
end_step long_name_exclusion_dialog
fits "$dialog" "the exclusion dialog"
focus "$dialog"
keys Escape
wait_until "exclusion dialog to close" window_gone 'Create exclusion'
kill -TERM "$editor_pid"
question=$(window_id 'Exit') || exit 1
focus "$question"
keys alt+n
editor_ends "after the long-name dialogs"

# ---------------------------------------------------------------------------------------------
# Renders of a stored mix to WAVE with the player's repeat switch on: one runs to its end, one is
# cancelled.
# ---------------------------------------------------------------------------------------------
# Opens the project (one track, one stored mix), turns the mini player's repeat switch on on the
# mixing-rules page and starts the render of the mix to the WAVE file from the Export page's
# second tab. Sets main and progress.
render_mix_with_repeat_on() {
  local project=$1 target=$2 shot=$3
  start_editor "$project"
  main=$(window_id "$(basename "$project" .tvprj) - Tovra Sonaric Free") || exit 1
  main_keys shift+F3
  # The player answers while a rule has a strip on the console: a rule with the track's strip.
  click_in "$main" 84 110 # "Create a mixing rule"
  local dialog
  dialog=$(window_id 'New rule') || exit 1
  focus "$dialog"
  type_text Solo
  keys Return
  wait_until "rule name dialog to close" window_gone 'New rule'
  drag 160 673 650 812 # the track, under its group in the console's element tree
  # The repeat switch on, the piece played and stopped: the engine's player is left looping.
  click_in "$main" 776 611 # the mini player's repeat switch
  click_in "$main" 674 611 # "Play"
  click_in "$main" 742 611 # "Stop"
  xdotool mousemove 700 300 # off the buttons: the picture shows the switch on, not hovered
  end_step "${shot}_repeat_on"
  click_in "$main" 319 110 # "Save rule"
  main_keys shift+F5
  click_in "$main" 250 131 # "Export to MP3, WAVE, AIFF, ..."
  click_in "$main" 330 315 # the format list
  type_text WAVE
  keys Return
  click_in "$main" 540 216 # the file button
  local chooser
  chooser=$(window_id 'Export to Tovra') || exit 1
  focus "$chooser"
  type_text "$target"
  keys Return
  wait_until "file chooser to close" window_gone 'Export to Tovra'
  end_step "${shot}_export_page"
  click_in "$main" 524 400 # "Export"
  progress=$(window_id 'Export your Tovix') || exit 1
}

start_step "a mix rendered to WAVE with the repeat switch on ends, its file whole"
"$tool" mixed "$work/out/looped.tvprj" "$work/audio/kick.wav" Once || fail "cannot write the project"
render_mix_with_repeat_on "$work/out/looped.tvprj" "$work/out/looped.wav" looped
rendered() { [ -s "$work/out/looped.wav" ]; }
wait_until "the rendered file" rendered
end_step looped_render_done
read -r frames rate <<<"$("$tool" frames "$work/out/looped.wav")" || fail "looped.wav is not a readable WAVE file"
echo "   looped.wav: $frames frames at $rate Hz"
[ "$rate" = 44100 ] || fail "looped.wav is at $rate Hz"
# The 3 s track once, not repeated.
[ "$frames" -ge 132300 ] && [ "$frames" -lt 176400 ] || fail "looped.wav has $frames frames, not the 3 s track once"
ls "$work/out" | grep -q 'tmp-' && fail "a temporary file stayed beside looped.wav: $(ls "$work/out")"
geometry "$progress"
click_in "$progress" $((ww - 45)) $((wh - 19)) # "Ok"
wait_until "progress dialog to close" window_gone 'Export your Tovix'
# The rule made the project modified: SIGTERM asks Quit's question, answered No.
kill -TERM "$editor_pid"
question=$(window_id 'Exit') || exit 1
focus "$question"
keys alt+n
editor_ends "after the render"

# ---------------------------------------------------------------------------------------------
start_step "a long render with the repeat switch on, cancelled, closes its dialog and leaves nothing"
# An hour of sound: the render runs long after the Cancel click, on any machine.
"$tool" sine "$work/audio/long.flac" 3600 1 330 || fail "cannot write long.flac"
"$tool" mixed "$work/out/long.tvprj" "$work/audio/long.flac" Long || fail "cannot write the project"
render_mix_with_repeat_on "$work/out/long.tvprj" "$work/out/long.wav" long
# The render is under way once its temporary file is there.
started() { compgen -G "$work/out/long.wav.tmp-*" >/dev/null; }
wait_until "the render to start" started
end_step long_render_running moving
geometry "$progress"
click_in "$progress" $((ww - 45)) $((wh - 19)) # "Cancel"
# The deadline is the walk's own: it is reached only when Cancel does not end the render.
wait_until "progress dialog to close after Cancel" window_gone 'Export your Tovix'
end_step long_render_cancelled
left=$(ls -A "$work/out" | grep '^long\.wav')
[ -z "$left" ] || fail "the cancelled render left $left"
kill -TERM "$editor_pid"
question=$(window_id 'Exit') || exit 1
focus "$question"
keys alt+n
editor_ends "after the cancelled render"
rm -f "$work/audio/long.flac"

echo "All steps passed: ${passed[*]}"
echo "Screenshots: $screens/walk_*.png"
exit 0
