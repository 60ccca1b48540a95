# Speech level of one recording, read as the text output of `sox FILE -t dat -` (a time and one
# sample value in -1..1 per line). Prints three numbers: the speech level in dBFS, the peak in
# dBFS, and the number of voiced frames.
#
# The speech level is the RMS of the voiced part: the samples are cut into 20 ms frames; a frame
# counts as voiced when its mean square lies above -70 dBFS and no more than 20 dB below the mean
# square of all frames above -70 dBFS. Pauses and breath therefore do not pull a long sentence
# down, and a short word is measured on its sound alone. tests/assets_test.cpp measures the same way.
/^;/ { if ($2 == "Sample" && $3 == "Rate") frame = int($4 / 50); next }
{
  x = $2
  energy += x * x
  if (x < 0) x = -x
  if (x > peak) peak = x
  if (++n == frame) { square[frames++] = energy / frame; n = 0; energy = 0 }
}
END {
  floor = 1e-7
  sum = 0; count = 0
  for (i = 0; i < frames; i++) if (square[i] > floor) { sum += square[i]; count++ }
  if (count == 0 || peak == 0) { print "-999 -999 0"; exit }
  gate = sum / count / 100
  sum = 0; count = 0
  for (i = 0; i < frames; i++) if (square[i] > floor && square[i] > gate) { sum += square[i]; count++ }
  printf "%.3f %.3f %d\n", 10 * log(sum / count) / log(10), 20 * log(peak) / log(10), count
}
