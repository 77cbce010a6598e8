// Measures how long a program takes from process creation until its window is visible and
// answers: for Sondrel, until its report box hands back the complete report; for the floor,
// until its window hands back its caption. Both answers need the program's own thread, so both
// runs end the same way. Runs Sondrel and the floor program alternately and prints each run's
// time, the medians and their ratio.
//   startup_timer RUNS SONDREL.EXE FLOOR.EXE
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/scoped_win.h"

namespace {

// The last line the report pass writes.
constexpr char kLastLabel[] = "Kerio Personal Firewall = ";
constexpr DWORD kGiveUpMilliseconds = 60000;

struct Search {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->process || !IsWindowVisible(hwnd)) return TRUE;
  search->window = hwnd;
  return FALSE;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

bool ReportComplete(HWND window) {
  HWND edit = FindWindowExA(window, nullptr, "EDIT", nullptr);
  if (edit == nullptr) return false;
  const std::string text = WindowText(edit);
  const size_t last = text.rfind(kLastLabel);
  return last != std::string::npos && text.size() >= 2 &&
         text.compare(text.size() - 2, 2, "\r\n") == 0;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// The start-up time of one run in milliseconds, or a negative number when it never got there.
double TimeOneRun(const std::string& program, bool wait_for_report) {
  std::string command = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  LARGE_INTEGER begin;
  QueryPerformanceCounter(&begin);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return -1;
  }
  const win32::AutoCloseHandle process(started.hProcess);
  const win32::AutoCloseHandle thread(started.hThread);
  double elapsed = -1;
  for (;;) {
    Search search{started.dwProcessId, nullptr};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (search.window != nullptr &&
        (wait_for_report ? ReportComplete(search.window) : WindowText(search.window) == "Floor")) {
      elapsed = Milliseconds(begin, now);
      break;
    }
    if (Milliseconds(begin, now) > kGiveUpMilliseconds) break;
    Sleep(1);
  }
  // Only the start-up is measured. Closing the window would cost Wine about two seconds per
  // run waiting for a window manager, so the program is ended instead.
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 15000);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_timer RUNS SONDREL.EXE FLOOR.EXE\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<double> sondrel, floor, ratios;
  // One unmeasured round first, so both programs start from a warm file cache.
  TimeOneRun(argv[2], true);
  TimeOneRun(argv[3], false);
  for (int run = 1; run <= runs; ++run) {
    // The two take turns at going first, so neither gains from what the other left warm.
    double s = 0, f = 0;
    if (run % 2 != 0) {
      s = TimeOneRun(argv[2], true);
      f = TimeOneRun(argv[3], false);
    } else {
      f = TimeOneRun(argv[3], false);
      s = TimeOneRun(argv[2], true);
    }
    if (s < 0 || f < 0) {
      std::fprintf(stderr, "run %d: a program did not come up\n", run);
      return 1;
    }
    sondrel.push_back(s);
    floor.push_back(f);
    ratios.push_back(s / f);
    std::printf("run %2d  Sondrel %8.1f ms  floor %8.1f ms\n", run, s, f);
  }
  const double sondrel_median = Median(sondrel), floor_median = Median(floor);
  std::printf("median  Sondrel %8.1f ms  floor %8.1f ms  ratio %.3f\n", sondrel_median,
              floor_median, sondrel_median / floor_median);
  // Each pair ran moments apart, so the median of their ratios is the steadier figure when
  // the machine's speed drifts during the runs.
  std::printf("median of the %d pairs' ratios %.3f\n", runs, Median(ratios));
  return 0;
}
