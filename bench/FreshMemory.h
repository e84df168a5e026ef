#pragma once
// Memory in the same state for every timed run that writes a large file.
//
// On a virtual machine whose memory balloon reports free pages to the host
// (virtio free page reporting), the kernel hands free blocks of 2 MiB and
// more back to the host about two seconds after they were freed, and the
// host drops them: the first write into such memory afterwards takes a host
// page fault for every page. A run that writes 1 GiB into it takes five to
// ten times as long as one that writes into memory the run before it has
// just freed, whatever program it runs. Which run of a pair meets such memory
// depends only on when the kernel's report happens to run, so without care
// the ratio of one pair says more about that than about the two programs.
//
// So before each timed run, the bench holds as much memory as the run may
// write (the report cannot give away memory in use), waits until a report
// has been made, and frees the memory right before the run: every run, ours
// and the tool's alike, starts from memory the host backs, and the next
// report is two seconds away. On a machine without such a balloon nothing is
// held and nothing waited for.
#include <QElapsedTimer>
#include <QFile>

#include <memory>

#include <sys/mman.h>
#include <unistd.h>

namespace bench {

// Interrupts the balloon's reporting queue has raised so far, one per batch
// of reported memory; -1 when the machine has no such queue.
inline long freePageReports() {
    QFile f(QStringLiteral("/proc/interrupts"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.read(1 << 20).split('\n')) {
        if (!line.contains("reporting_vq")) continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        long count = 0;
        for (qsizetype i = 1; i < fields.size(); ++i) {  // the first is the interrupt's number
            bool number = false;
            const long n = fields[i].toLong(&number);
            if (!number) break;  // the counts end where the controller's name begins
            count += n;
        }
        return count;
    }
    return -1;
}

// Memory mapped and written page by page, in huge pages where the kernel
// gives them (the page cache of a large file takes its memory in blocks of
// that size, too), so that the host backs it.
class Touched {
public:
    explicit Touched(qint64 bytes) {
        if (bytes <= 0) return;
        void* p = ::mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return;
        data_ = static_cast<char*>(p);
        size_ = size_t(bytes);
        ::madvise(data_, size_, MADV_HUGEPAGE);
        const size_t page = size_t(::sysconf(_SC_PAGESIZE));
        for (size_t at = 0; at < size_; at += page) data_[at] = 1;
    }
    ~Touched() { release(); }
    Touched(const Touched&) = delete;
    Touched& operator=(const Touched&) = delete;

    void release() {
        if (data_) ::munmap(data_, size_);
        data_ = nullptr;
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

class FreshMemory {
public:
    // Holds `bytes` of memory and waits for a report of free memory: a
    // little memory is freed to be reported, and the wait ends once the
    // count of reports has changed and then stood still for a while (or
    // after long enough for two reports, should another program take that
    // memory first).
    explicit FreshMemory(qint64 bytes) {
        if (freePageReports() < 0) return;
        held_ = std::make_unique<Touched>(bytes);
        Touched(kBait).release();
        constexpr qint64 kQuietMs = 200, kLongestMs = 5000;
        long last = freePageReports();
        bool changed = false;
        QElapsedTimer since, all;
        since.start();
        all.start();
        while (!(changed && since.elapsed() >= kQuietMs) && all.elapsed() < kLongestMs) {
            ::usleep(20000);
            const long now = freePageReports();
            if (now != last) {
                last = now;
                changed = true;
                since.restart();
            }
        }
    }

    // Frees the memory, for the run that starts next.
    void release() { held_.reset(); }

private:
    // More than the processors' caches of free pages keep back from the
    // kernel's free lists, which alone are reported.
    static constexpr qint64 kBait = 64 << 20;
    std::unique_ptr<Touched> held_;
};

}  // namespace bench
