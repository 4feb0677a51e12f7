#pragma once

#include "bench/download/BenchSetup.h"

// N files of 20 KiB through one engine run against one curl process fetching the same
// addresses, rounds alternating; prints the figures and ends with "time ratio R".
int runManyFiles(const BenchOptions& options);
