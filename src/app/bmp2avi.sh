#!/bin/sh
# bmp2avi: assembles the movie frames image000.bmp, image001.bmp, ... of the
# current folder into a video, as "bmp2avi -i image -o out -p" asks:
#   -i PREFIX  frames PREFIX000.bmp, PREFIX001.bmp, ... (default image)
#   -o NAME    the video NAME.avi (default out)
#   -p         accepted; the video is not played afterwards
# Uses ffmpeg when it is installed. What it did, or what it would need, is
# printed and also written to bmp2avi.log, since the program starts it
# without a terminal.
prefix=image
out=out
while [ $# -gt 0 ]; do
  case "$1" in
    -i) prefix=${2:-image}; shift 2 ;;
    -o) out=${2:-out}; shift 2 ;;
    -p) shift ;;
    *) echo "bmp2avi: unknown argument \"$1\" (usage: bmp2avi -i PREFIX -o NAME [-p])" | tee bmp2avi.log >&2; exit 2 ;;
  esac
done

if [ ! -f "${prefix}000.bmp" ]; then
  echo "bmp2avi: no frames: ${prefix}000.bmp is missing in $(pwd)" | tee bmp2avi.log >&2
  exit 1
fi

if ! command -v ffmpeg >/dev/null 2>&1; then
  echo "bmp2avi: ffmpeg is not installed, so ${prefix}NNN.bmp were not assembled into ${out}.avi." \
       "Install it (Debian: apt-get install ffmpeg) and run: bmp2avi -i ${prefix} -o ${out}" | tee bmp2avi.log >&2
  exit 1
fi

if ffmpeg -hide_banner -loglevel error -y -framerate 25 -start_number 0 -i "${prefix}%03d.bmp" \
     -c:v mjpeg -q:v 3 -pix_fmt yuvj420p "${out}.avi" 2>bmp2avi.err; then
  echo "bmp2avi: wrote ${out}.avi from the ${prefix}NNN.bmp frames" | tee bmp2avi.log
  rm -f bmp2avi.err
else
  { echo "bmp2avi: ffmpeg could not assemble ${out}.avi:"; cat bmp2avi.err; } | tee bmp2avi.log >&2
  rm -f bmp2avi.err
  exit 1
fi
