#!/bin/sh
# The movie assembler stand-in on a machine without ffmpeg: it says what is
# missing and how to get it, and fails, as it does when there are no frames.
# Usage: bmp2avi_test.sh PATH/TO/bmp2avi SOME.bmp
set -eu
tool=$1
frame=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin"
for t in tee cat rm; do ln -s "$(command -v "$t")" "$dir/bin/$t"; done
cd "$dir"

if PATH="$dir/bin" /bin/sh "$tool" -i image -o out -p > said.txt 2>&1; then
  echo "FAIL: succeeded without frames"; exit 1
fi
grep -q "no frames: image000.bmp is missing" said.txt || { echo "FAIL: no frames message"; cat said.txt; exit 1; }

cp "$frame" image000.bmp
cp "$frame" image001.bmp
if PATH="$dir/bin" /bin/sh "$tool" -i image -o out -p > said.txt 2>&1; then
  echo "FAIL: succeeded without ffmpeg"; exit 1
fi
grep -q "ffmpeg is not installed" said.txt || { echo "FAIL: no ffmpeg message"; cat said.txt; exit 1; }
grep -q "apt-get install ffmpeg" bmp2avi.log || { echo "FAIL: the log does not say how to get ffmpeg"; exit 1; }
[ ! -e out.avi ] || { echo "FAIL: a video appeared"; exit 1; }

if PATH="$dir/bin" /bin/sh "$tool" -x > said.txt 2>&1; then
  echo "FAIL: accepted an unknown argument"; exit 1
fi
grep -q "usage: bmp2avi" said.txt || { echo "FAIL: no usage"; exit 1; }
echo "bmp2avi without ffmpeg: all three cases behave"
