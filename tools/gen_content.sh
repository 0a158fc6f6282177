#!/bin/sh
# Regenerates the game's textures, models, sounds and levels under data/.
# Deterministic: running it again gives the same files.
# Needs python3 and lame.
set -e
here=$(cd "$(dirname "$0")" && pwd)
data="$here/../data"
python3 "$here/gen_textures.py" "$data/textures"
python3 "$here/gen_models.py" "$data/models"
python3 "$here/gen_sounds.py" "$data/sounds"
python3 "$here/gen_levels.py" "$data/maps"
