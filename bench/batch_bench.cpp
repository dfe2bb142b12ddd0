// SPDX-License-Identifier: Apache-2.0
// The batch tool on a plant-sized file: velkarin-batch run as a process on N
// generated heats (default 1,000,000, about 80 MB), output to /dev/null.
// Prints the rows per second and the peak resident memory of the process.
//
//   velkarin-batch-bench [ROWS]
//
// Targets: at least 100,000 rows/s and at most 50 MB peak, whatever ROWS.
// Then velkarin-batch --fit on the same file (time and peak memory, the
// same 50 MB), and the fit of the ΔG° line itself to 1,000,000 heats in
// memory (target under 0.2 s).
// The heats vary temperature, carbon, chromium and CO pressure over a real
// blow (1550–1750 °C, 0.01–1.5 %C, 12–25 %Cr, 2000–101325 Pa), both reactions,
// so hits, step-overs and the continuous root all occur.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "calc/line_fit.h"

#ifndef VELKARIN_BATCH_PROGRAM
#error "VELKARIN_BATCH_PROGRAM names the velkarin-batch program"
#endif

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::atol(argv[1]) : 1'000'000;
  char path[] = "/tmp/velkarin-batch-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 2;
  close(fd);
  {
    std::ofstream file(path, std::ios::binary);
    file << "heat,reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO\n";
    for (long i = 0; i < rows; ++i) {
      file << 'H' << i << (i % 2 ? ",Cr3O4,,," : ",Cr2O3,,,") << 1550 + i % 201 << ',' << 0.01 + (i % 150) * 0.01 << ','
           << 12 + i % 14 << ",9,0.3,1.2," << 2000 + (i * 7919) % 99326 << '\n';
    }
  }
  struct Run {
    double seconds;
    double peakMegabytes;
  };
  const auto run = [&](const char* option) -> std::optional<Run> {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      const int in = open(path, O_RDONLY);
      const int out = open("/dev/null", O_WRONLY);
      dup2(in, STDIN_FILENO);
      dup2(out, STDOUT_FILENO);
      execl(VELKARIN_BATCH_PROGRAM, VELKARIN_BATCH_PROGRAM, option, static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
      std::fprintf(stderr, "velkarin-batch %s failed (status %d)\n", option ? option : "", status);
      return std::nullopt;
    }
    return Run{seconds, static_cast<double>(usage.ru_maxrss) / 1024};  // ru_maxrss is in KiB
  };
  const std::optional<Run> rowsRun = run(nullptr);
  const std::optional<Run> fitRun = run("--fit");
  std::remove(path);
  if (!rowsRun || !fitRun) return 2;
  const double rowsPerSecond = static_cast<double>(rows) / rowsRun->seconds;
  std::printf("rows              %ld\n", rows);
  std::printf("time              %.2f s\n", rowsRun->seconds);
  std::printf("rows per second   %.0f   (target at least 100000)\n", rowsPerSecond);
  std::printf("peak memory       %.1f MB (target at most 50)\n", rowsRun->peakMegabytes);
  std::printf("--fit             %.2f s, %.1f MB peak (target at most 50 MB)\n", fitRun->seconds,
              fitRun->peakMegabytes);

  // The fit itself, on a million heats already read.
  std::vector<velkarin::MeltState> heats;
  heats.reserve(1'000'000);
  for (long i = 0; i < 1'000'000; ++i) {
    heats.push_back({1823.0 + i % 201, 0.01 + (i % 150) * 0.01, 12.0 + i % 14, 9, 0.3, 1.2,
                     2000.0 + static_cast<double>((i * 7919) % 99326)});
  }
  const auto fitStart = std::chrono::steady_clock::now();
  velkarin::LineFit fit(velkarin::Reaction::Cr2O3);
  for (const velkarin::MeltState& heat : heats) fit.add(heat);
  const velkarin::LineFitResult line = fit.result();
  const double fitSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - fitStart).count();
  std::printf("fit of 1000000    %.3f s (target under 0.2; A = %.0f J/mol, B = %.3f)\n", fitSeconds, line.a, line.b);
  return rowsPerSecond >= 100000 && rowsRun->peakMegabytes <= 50 && fitRun->peakMegabytes <= 50 && fitSeconds < 0.2 ? 0
                                                                                                                    : 1;
}
