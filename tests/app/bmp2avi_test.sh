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

# Runs the tool with the arguments after MESSAGE: it must fail and say MESSAGE.
fails_saying() {
  message=$1
  shift
  if PATH="$dir/bin" /bin/sh "$tool" "$@" > said.txt 2>&1; then
    echo "FAIL: bmp2avi $* succeeded"; exit 1
  fi
  grep -q "$message" said.txt || { echo "FAIL: bmp2avi $* did not say \"$message\""; cat said.txt; exit 1; }
}

fails_saying "no frames: image000.bmp is missing" -i image -o out -p
cp "$frame" image000.bmp
cp "$frame" image001.bmp
fails_saying "ffmpeg is not installed" -i image -o out -p
grep -q "apt-get install ffmpeg" bmp2avi.log || { echo "FAIL: the log does not say how to get ffmpeg"; exit 1; }
[ ! -e out.avi ] || { echo "FAIL: a video appeared"; exit 1; }
fails_saying "usage: bmp2avi" -x
echo "bmp2avi without ffmpeg: all three cases behave"
