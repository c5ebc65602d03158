# Shared by the clip benchmarks; sourced, not run.

# Makes DIR/big.mp3, about 220 MB: a tone without an info frame, repeated,
# so its frames join into one long stream. Prints its path.
make_big_mp3() {
  local dir=$1
  sox -q -n -r 44100 -c 2 -b 16 "$dir/tone.wav" synth 60 sine 440
  lame -t --quiet -b 128 "$dir/tone.wav" "$dir/tone.mp3"
  for _ in $(seq 230); do cat "$dir/tone.mp3"; done > "$dir/big.mp3"
  rm "$dir/tone.wav"
  echo "$dir/big.mp3"
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
