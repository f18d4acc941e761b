#!/usr/bin/env bash
# Enter on the focused New Folder button asks for a name and creates the
# folder; Enter on the tree is OK and chooses the folder selected.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera
write_settings
start_uploader
keys_to "$MAIN" alt+b
chooser=$(find_window "Choose Folder" 50) || fail "the folder chooser did not open"
sleep 0.5
keys_to "$chooser" Tab Return   # from the tree to New Folder, then Enter
name_box=$(find_window "New Folder" 30) || fail "Enter on the focused New Folder button asked for no folder name"
keys_to "$name_box" F r e s h Return
wait_for 100 test -d "$WORK/programs/Fresh" || fail "no folder was created"
chooser=$(find_window "Choose Folder" 50) || fail "the chooser did not reopen after New Folder"
sleep 0.5
keys_to "$chooser" Return
wait_for 100 sh -c "! xdotool search --onlyvisible --name '^Choose Folder\$'" || fail "Enter on the tree did not close the chooser"
wait_for 100 grep -q "^OPFFolder=$WORK/programs/Fresh/" "$INI" || fail "the new folder was not chosen: $(ini_value OPFFolder)"
echo "new folder: created with Enter on the button, chosen with Enter on the tree"
