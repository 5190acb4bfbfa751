// The most memory this process has held at once.
#ifndef PEAK_MEMORY_H
#define PEAK_MEMORY_H

// Peak resident set size so far, in MiB.
double peakResidentMebibytes();

#endif
