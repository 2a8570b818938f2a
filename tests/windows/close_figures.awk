# Two text files alike but for the last digits of their numbers: every line has the same words,
# and numbers written in full precision agree to a relative TOLERANCE (or absolute, below 1).
#   awk -v tolerance=1e-9 -f close_figures.awk A B
# Prints each line that differs beyond that, and the largest difference seen; exit status 1 when
# a line differs.
function abs(x) { return x < 0 ? -x : x }
function numeric(s) { return s ~ /^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/ }
FNR == NR { a[FNR] = $0; na = FNR; next }
{
  nb = FNR
  if (a[FNR] == $0) next
  n = split(a[FNR], x, /[][ \t,:"{}]+/)
  m = split($0, y, /[][ \t,:"{}]+/)
  bad = n != m
  for (i = 1; i <= n && !bad; i++) {
    if (x[i] == y[i]) continue
    if (!numeric(x[i]) || !numeric(y[i])) { bad = 1; break }
    d = abs(x[i] - y[i]) / (abs(x[i]) > 1 ? abs(x[i]) : 1)
    if (d > largest) largest = d
    if (d > tolerance) bad = 1
  }
  if (bad) { print FILENAME ":" FNR ": " a[FNR] " | " $0; failed = 1 }
}
END {
  if (na != nb) { print "line counts differ: " na " and " nb; failed = 1 }
  printf "largest relative difference %.1e\n", largest
  exit failed
}
