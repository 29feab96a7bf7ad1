// forked_child.cpp: cutting a forked child loose from its parent's runtime
// (see forked_child.h for why).
#include "forked_child.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace morvax::coreclrwrap {
namespace {

// The name the runtime gives the memfd behind its double-mapped code.
constexpr char kDoubleMapperPath[] = "/memfd:doublemapper";

struct sigaction g_before_start[NSIG];
struct sigaction g_runtime_handlers[NSIG];
bool g_signals_remembered = false;

void* handler_of(const struct sigaction& action) {
    // sa_handler and sa_sigaction share storage; either names the function.
    return reinterpret_cast<void*>(action.sa_handler);
}

void give_back_signals() {
    if (!g_signals_remembered) {
        return;
    }
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        struct sigaction current;
        if (sigaction(signal_number, nullptr, &current) != 0) {
            continue;
        }
        void* runtime = handler_of(g_runtime_handlers[signal_number]);
        // Only what the runtime installed and nobody replaced since.
        if (runtime != handler_of(g_before_start[signal_number]) && handler_of(current) == runtime) {
            sigaction(signal_number, &g_before_start[signal_number], nullptr);
        }
    }
}

struct Range {
    uintptr_t start;
    uintptr_t end;
};

// Reads /proc/self/maps line by line into fixed buffers and collects up to
// capacity ranges mapped from the double-mapped file.  *more is set when the
// array filled before the end.
size_t collect_code_views(Range* ranges, size_t capacity, bool* more) {
    *more = false;
    int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (maps < 0) {
        return 0;
    }
    char chunk[4096];
    char line[512];
    size_t line_length = 0;
    size_t count = 0;
    ssize_t got;
    while ((got = read(maps, chunk, sizeof chunk)) > 0) {
        for (ssize_t i = 0; i < got; ++i) {
            if (chunk[i] != '\n') {
                // A long line keeps its head: the range, and a path short enough to match.
                if (line_length < sizeof line - 1) {
                    line[line_length++] = chunk[i];
                }
                continue;
            }
            line[line_length] = '\0';
            line_length = 0;
            const char* path = std::strchr(line, '/');
            if (path == nullptr || std::strncmp(path, kDoubleMapperPath, sizeof kDoubleMapperPath - 1) != 0) {
                continue;
            }
            unsigned long long start = 0, end = 0;
            if (std::sscanf(line, "%llx-%llx", &start, &end) != 2 || end <= start) {
                continue;
            }
            if (count == capacity) {
                *more = true;
                close(maps);
                return count;
            }
            ranges[count++] = {static_cast<uintptr_t>(start), static_cast<uintptr_t>(end)};
        }
    }
    close(maps);
    return count;
}

// Replaces every view of the shared code file by inaccessible private memory
// at the same addresses: the addresses stay reserved, and nothing in the
// child can read, run or write the parent's code through them any more.
void drop_code_views() {
    static Range ranges[256];
    bool more = true;
    while (more) {
        size_t count = collect_code_views(ranges, sizeof ranges / sizeof ranges[0], &more);
        for (size_t i = 0; i < count; ++i) {
            void* replaced = mmap(reinterpret_cast<void*>(ranges[i].start), ranges[i].end - ranges[i].start,
                                  PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED | MAP_NORESERVE, -1, 0);
            if (replaced == MAP_FAILED) {
                // Cannot be replaced: at least make it unusable.
                munmap(reinterpret_cast<void*>(ranges[i].start), ranges[i].end - ranges[i].start);
            }
        }
        if (count == 0) {
            break;
        }
    }
}

// Points every descriptor of the shared code file at /dev/null, which cannot
// be mapped: a new view made in the child fails instead of writing into the
// parent's code.  The number stays taken, so no file the child opens later
// can be mistaken for the code file.
void retire_code_file_descriptors() {
    int directory = open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0) {
        return;
    }
    int found[16];
    size_t found_count = 0;
    alignas(struct dirent64) char entries[4096];
    ssize_t got;
    while ((got = getdents64(directory, entries, sizeof entries)) > 0) {
        for (ssize_t at = 0; at < got;) {
            auto* entry = reinterpret_cast<struct dirent64*>(entries + at);
            at += entry->d_reclen;
            int fd = 0;
            if (std::sscanf(entry->d_name, "%d", &fd) != 1 || fd == directory) {
                continue;
            }
            char link_path[64];
            char target[128];
            std::snprintf(link_path, sizeof link_path, "/proc/self/fd/%d", fd);
            ssize_t length = readlink(link_path, target, sizeof target - 1);
            if (length <= 0) {
                continue;
            }
            target[length] = '\0';
            if (std::strncmp(target, kDoubleMapperPath, sizeof kDoubleMapperPath - 1) == 0 &&
                found_count < sizeof found / sizeof found[0]) {
                found[found_count++] = fd;
            }
        }
    }
    close(directory);
    if (found_count == 0) {
        return;
    }
    int null_device = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null_device < 0) {
        return;
    }
    for (size_t i = 0; i < found_count; ++i) {
        dup3(null_device, found[i], O_CLOEXEC);
    }
    close(null_device);
}

}  // namespace

void remember_signal_dispositions_before_start() {
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        sigaction(signal_number, nullptr, &g_before_start[signal_number]);
    }
}

void remember_runtime_signal_handlers() {
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        sigaction(signal_number, nullptr, &g_runtime_handlers[signal_number]);
    }
    g_signals_remembered = true;
}

void detach_from_parent_runtime() {
    give_back_signals();
    drop_code_views();
    retire_code_file_descriptors();
}

}  // namespace morvax::coreclrwrap
