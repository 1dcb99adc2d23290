#!/bin/sh
# The strip that scripts/package.sh gives CPack: as Debian's dh_strip does, the .comment and .note
# sections go too (the build id, in .note.gnu.build-id, stays).
exec strip --remove-section=.comment --remove-section=.note "$@"
