// Opens a workbook of 1,000,000 cells (100,000 rows of 10 numbers), writes
// 10 named cells through the automation interface
// (Application.Range(name).Value = x) and saves; against the floor (open the
// package, parse the sheet and workbook parts, write them back, save). Each
// side runs in a process of its own, which reports its time and its peak
// resident memory; prints both and the ratios.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/excel_bench_support.h"
#include "office/package/archive.h"

namespace ovc::excel::bench {
namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 10;
constexpr int kNames = 10;

std::string NameOf(int i) { return "Input_" + std::to_string(i); }

// Names Input_0..Input_9 on Sheet1!$C$1, $C$10001, ...; every cell a number.
bool WriteWorkbook(const std::string& path) {
  std::string names, rows;
  for (int i = 0; i < kNames; ++i) {
    names += "<definedName name=\"" + NameOf(i) + "\">Sheet1!$C$" +
             std::to_string(i * (kRows / kNames) + 1) + "</definedName>";
  }
  rows.reserve(size_t{kRows} * kColumns * 28);
  for (int row = 1; row <= kRows; ++row) {
    const std::string number = std::to_string(row);
    rows += "<row r=\"" + number + "\">";
    for (int column = 0; column < kColumns; ++column) {
      rows += "<c r=\"";
      rows += static_cast<char>('A' + column);
      rows += number + "\"><v>" + std::to_string((row * kColumns + column) % 9973) + "</v></c>";
    }
    rows += "</row>";
  }
  return WriteOneSheetWorkbook(path, names, rows);
}

// The peak resident memory of this process in KiB (VmHWM), or -1.
long PeakResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// In a child process: runs one side on `path` and prints "<seconds> <KiB>".
int RunSide(const std::string& side, const std::string& path) {
  std::vector<std::string> names;
  for (int i = 0; i < kNames; ++i) names.push_back(NameOf(i));
  const double seconds = Seconds([&] {
    return side == "floor" ? RewriteSheetAndWorkbook(path)
                           : WriteNamedCells(path, names, [](size_t i) { return i + 0.25; });
  });
  std::printf("%f %ld\n", seconds, PeakResidentKib());
  return seconds < 0 ? 1 : 0;
}

struct Measure {
  double seconds = -1;
  long peak_kib = -1;
};

// Runs this program again as `side` on `path`, so that each side's peak
// memory is its own.
Measure Spawn(const char* side, const std::string& path) {
  int pipe_fds[2];
  Measure measure;
  if (pipe(pipe_fds) != 0) return measure;
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    execl("/proc/self/exe", "excel_cells_bench", side, path.c_str(), nullptr);
    _exit(127);
  }
  close(pipe_fds[1]);
  std::string output;
  char buffer[256];
  for (ssize_t count; (count = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
    output.append(buffer, static_cast<size_t>(count));
  }
  close(pipe_fds[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0 ||
      std::sscanf(output.c_str(), "%lf %ld", &measure.seconds, &measure.peak_kib) != 2) {
    return Measure{};
  }
  return measure;
}

}  // namespace
}  // namespace ovc::excel::bench

int main(int argc, char** argv) {
  using namespace ovc::excel::bench;
  if (argc == 3) return RunSide(argv[1], argv[2]);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("excel-cells-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "Cells.xlsx").string();
  const bool written = WriteWorkbook(book);
  const Measure floor = written ? Spawn("floor", book) : Measure{};
  const Measure engine = written && WriteWorkbook(book) ? Spawn("engine", book) : Measure{};
  std::filesystem::remove_all(folder);
  if (floor.seconds < 0 || engine.seconds < 0) {
    std::printf("a side failed\n");
    return 1;
  }
  std::printf(
      "1,000,000 cells, 10 named cells written and saved (rewritten parts deflated at zlib "
      "level %d):\n  engine %.3f s, peak %ld KiB\n  floor  %.3f s, peak %ld KiB\n",
      ovc::office::kDeflateLevel, engine.seconds, engine.peak_kib, floor.seconds, floor.peak_kib);
  std::printf("ratios: engine / floor time = %.2f (goal <= 2), memory = %.2f (goal < 3)\n",
              engine.seconds / floor.seconds,
              static_cast<double>(engine.peak_kib) / static_cast<double>(floor.peak_kib));
  return 0;
}
