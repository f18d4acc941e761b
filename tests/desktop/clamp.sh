#!/usr/bin/env bash
# A saved position near the screen's corner: the whole frame (title bar and
# borders) opens on the screen, and what is saved on closing reopens so.
source "$(dirname "$0")/desktop-lib.sh"
start_display
start_camera
write_settings "AppPosition=1100,900,300,200,1"
start_uploader
expect_frame_on_screen "the main window's frame" "$MAIN"
keys_to "$MAIN" alt+c
wait_uploader_end 100
read -r x y w h _ <<<"$(ini_value AppPosition)"
expect_on_screen "the saved position" "$x $y $w $h"
start_uploader
expect_frame_on_screen "the reopened main window's frame" "$MAIN"
echo "clamp: frame kept on the screen and saved so ($x $y $w $h)"
