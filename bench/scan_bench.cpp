// Scans one tree recursively and reports time and memory per entry.
//
//   scan_bench [--runs K] [--tsv] DIR
//
// One process per tree, so that the peak resident size it reports belongs to that tree:
//   1. first scan, untimed: warms the page cache and the dentry/inode caches; the growth of
//      the peak resident size (VmHWM) across it, divided by the entries, is "peak bytes per
//      entry" (tree + the scanner's scratch for the largest directory + allocator overhead).
//      The heap still in use after it, once the scanner is gone (mallinfo2), is "tree bytes
//      per entry": the nodes and their names.
//   2. K fresh scans: a new tree with its own factory each time, so every node is allocated
//      (from the heap the first scan gave back); median, min and max wall time, and median
//      CPU time (user + system), which other jobs on a shared machine do not inflate.
//   3. K rescans: RebuildTree on the same tree, so the old tree's nodes are recycled into
//      the new one (the time includes recycling the old tree).
// --tsv prints one tab-separated line for run_scan_bench.sh instead of the readable report.

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/ItemTree.h"
#include "model/KWLOption.h"
#include "scan/DirectoryScanner.h"

namespace {

// A field of /proc/self/status in bytes ("VmHWM", "VmRSS"); 0 when unavailable.
std::uint64_t StatusBytes(std::string_view strField) {
    std::ifstream in("/proc/self/status");
    std::string strLine;
    while (std::getline(in, strLine)) {
        if (strLine.size() > strField.size() &&
            strLine.compare(0, strField.size(), strField) == 0 && strLine[strField.size()] == ':')
            return std::strtoull(strLine.c_str() + strField.size() + 1, nullptr, 10) * 1024;
    }
    return 0;
}

std::uint64_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

struct STreeShape {
    std::uint64_t nFiles = 0;
    std::uint64_t nDirs = 0;
    std::uint64_t nLargestDir = 0;
};

// Counts what the scan built, as a check that it read the whole tree.
STreeShape Shape(const CDirInformation* pRoot) {
    STreeShape shape;
    std::vector<const CDirInformation*> stack{pRoot};
    while (!stack.empty()) {
        const CDirInformation* p = stack.back();
        stack.pop_back();
        std::uint64_t nHere = 0;
        for (const CFileInformation* f = p->m_pFirstFile; f != nullptr; f = f->m_pNextFile)
            ++nHere;
        shape.nFiles += nHere;
        for (const CDirInformation* d = p->m_pFirstSubDir; d != nullptr; d = d->m_pNextDir) {
            ++nHere;
            ++shape.nDirs;
            stack.push_back(d);
        }
        shape.nLargestDir = std::max(shape.nLargestDir, nHere);
    }
    return shape;
}

// CPU time of the process (user + system). On a machine shared with other jobs the wall time
// also holds the time spent waiting for a core; this does not.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Wall and CPU time of one piece of work.
class CTimer {
public:
    CTimer() : m_tWall(std::chrono::steady_clock::now()), m_dCpu(CpuSeconds()) {}
    double Wall() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_tWall).count();
    }
    double Cpu() const { return CpuSeconds() - m_dCpu; }

private:
    std::chrono::steady_clock::time_point m_tWall;
    double m_dCpu;
};

struct SStats {
    double dMedian = 0;
    double dMin = 0;
    double dMax = 0;
};

SStats Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double dMedian = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {dMedian, times.front(), times.back()};
}

int Usage() {
    std::fprintf(stderr, "usage: scan_bench [--runs K] [--tsv] DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int nRuns = 5;
    bool bTsv = false;
    std::string strDir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view strArg = argv[i];
        if (strArg == "--runs" && i + 1 < argc)
            nRuns = std::max(1, std::atoi(argv[++i]));
        else if (strArg == "--tsv")
            bTsv = true;
        else if (strDir.empty() && !strArg.starts_with("--"))
            strDir = argv[i];
        else
            return Usage();
    }
    if (strDir.empty())
        return Usage();

    CKWLOption option;
    option.m_bRecursive = true;

    // 1. First scan: memory, and warm caches.
    const std::uint64_t nHwmBefore = StatusBytes("VmHWM");
    const std::uint64_t nHeapBefore = HeapInUse();
    std::uint64_t nEntries = 0;
    STreeShape shape;
    double dFirst = 0;
    std::uint64_t nHwmGrowth = 0;
    std::uint64_t nHeapRetained = 0;
    {
        CItemTree tree;
        {
            CDirectoryScanner scanner(option);
            const CTimer t;
            const bool bOpened = scanner.RebuildTree(tree, strDir);
            dFirst = t.Wall();
            if (!bOpened) {
                std::fprintf(stderr, "scan_bench: cannot open %s\n", strDir.c_str());
                return 1;
            }
            nEntries = scanner.GetEntriesRead();
            nHwmGrowth = StatusBytes("VmHWM") - nHwmBefore;
        }
        // The scanner's scratch is gone now: what is left is the tree.
        nHeapRetained = HeapInUse() - nHeapBefore;
        shape = Shape(tree.Root());
    }
    if (nEntries == 0) {
        std::fprintf(stderr, "scan_bench: %s is empty\n", strDir.c_str());
        return 1;
    }
    if (shape.nFiles + shape.nDirs != nEntries)
        std::fprintf(stderr, "scan_bench: warning: tree holds %llu nodes, scanner read %llu\n",
                     static_cast<unsigned long long>(shape.nFiles + shape.nDirs),
                     static_cast<unsigned long long>(nEntries));

    // 2. Fresh scans: every node allocated.
    std::vector<double> fresh;
    std::vector<double> freshCpu;
    for (int i = 0; i < nRuns; ++i) {
        CItemTree tree;
        CDirectoryScanner scanner(option);
        const CTimer t;
        scanner.RebuildTree(tree, strDir);
        fresh.push_back(t.Wall());
        freshCpu.push_back(t.Cpu());
    }

    // 3. Rescans: the previous tree's nodes are recycled into the next one.
    std::vector<double> rescan;
    std::vector<double> rescanCpu;
    {
        CItemTree tree;
        CDirectoryScanner scanner(option);
        scanner.RebuildTree(tree, strDir);
        for (int i = 0; i < nRuns; ++i) {
            const CTimer t;
            scanner.RebuildTree(tree, strDir);
            rescan.push_back(t.Wall());
            rescanCpu.push_back(t.Cpu());
        }
    }

    const SStats sFresh = Summarise(fresh);
    const SStats sRescan = Summarise(rescan);
    const SStats sFreshCpu = Summarise(freshCpu);
    const SStats sRescanCpu = Summarise(rescanCpu);
    const double dEntries = static_cast<double>(nEntries);
    const double dPeakPerEntry = static_cast<double>(nHwmGrowth) / dEntries;
    const double dHeapPerEntry = static_cast<double>(nHeapRetained) / dEntries;

    if (bTsv) {
        // entries files dirs largest_dir first_s scan_s scan_min scan_max rescan_s rescan_min
        // rescan_max scan_ns rescan_ns peak_B tree_B scan_cpu_ns rescan_cpu_ns
        std::printf(
            "%llu\t%llu\t%llu\t%llu\t%.6f\t%.6f\t%.6f\t%.6f\t%.6f\t%.6f\t%.6f\t%.1f\t%.1f\t%.1f"
            "\t%.1f\t%.1f\t%.1f\n",
            static_cast<unsigned long long>(nEntries),
            static_cast<unsigned long long>(shape.nFiles),
            static_cast<unsigned long long>(shape.nDirs),
            static_cast<unsigned long long>(shape.nLargestDir), dFirst, sFresh.dMedian, sFresh.dMin,
            sFresh.dMax, sRescan.dMedian, sRescan.dMin, sRescan.dMax,
            sFresh.dMedian * 1e9 / dEntries, sRescan.dMedian * 1e9 / dEntries, dPeakPerEntry,
            dHeapPerEntry, sFreshCpu.dMedian * 1e9 / dEntries, sRescanCpu.dMedian * 1e9 / dEntries);
        return 0;
    }
    std::printf("tree            %s\n", strDir.c_str());
    std::printf("entries         %llu (%llu files, %llu directories; largest directory %llu)\n",
                static_cast<unsigned long long>(nEntries),
                static_cast<unsigned long long>(shape.nFiles),
                static_cast<unsigned long long>(shape.nDirs),
                static_cast<unsigned long long>(shape.nLargestDir));
    std::printf("first scan      %.3f s (untimed warm-up)\n", dFirst);
    std::printf("scan            %.3f s median of %d (min %.3f, max %.3f) = %.0f ns/entry\n",
                sFresh.dMedian, nRuns, sFresh.dMin, sFresh.dMax, sFresh.dMedian * 1e9 / dEntries);
    std::printf("scan CPU        %.3f s median = %.0f ns/entry\n", sFreshCpu.dMedian,
                sFreshCpu.dMedian * 1e9 / dEntries);
    std::printf("rescan          %.3f s median of %d (min %.3f, max %.3f) = %.0f ns/entry\n",
                sRescan.dMedian, nRuns, sRescan.dMin, sRescan.dMax,
                sRescan.dMedian * 1e9 / dEntries);
    std::printf("rescan CPU      %.3f s median = %.0f ns/entry\n", sRescanCpu.dMedian,
                sRescanCpu.dMedian * 1e9 / dEntries);
    std::printf("peak RSS growth %.1f MiB = %.0f bytes/entry\n",
                static_cast<double>(nHwmGrowth) / 1048576.0, dPeakPerEntry);
    std::printf("tree heap       %.1f MiB = %.0f bytes/entry\n",
                static_cast<double>(nHeapRetained) / 1048576.0, dHeapPerEntry);
    return 0;
}
