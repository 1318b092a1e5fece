// A file's bytes mapped into memory instead of copied, safe against the file shrinking.
#include "base/file_mapping.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <utility>

#include "base/error.h"

namespace lintaro {

namespace {

// The live mappings, read by the SIGBUS handler, which may run at any moment on any thread:
// fixed slots of atomics, no locks and no allocation.
// A slot's begin while its mapping is being made: the handler must not take the slot's range
// for one until begin holds the mapping's address, which is stored after its end.
constexpr std::uintptr_t kClaimed = 1;

struct Slot {
    std::atomic<std::uintptr_t> begin{0};  // 0: a free slot; kClaimed: being filled
    std::atomic<std::uintptr_t> end{0};    // the end of the mapping's last page
    std::atomic<bool> lost{false};
    // The lowest page that a read found lost; from there on the mapping reads zeros.
    std::atomic<std::uintptr_t> lost_from{UINTPTR_MAX};
};
constexpr std::size_t kSlots = 64;
std::array<Slot, kSlots> slots;

std::uintptr_t page_size = 4096;
struct sigaction previous_action {};

// A read of a mapped page past the end of a file that shrank: the rest of the mapping becomes
// zero pages of this process, so the read and every later one find zeros. Any other SIGBUS
// goes where it went before.
void OnBusError(int signal_number, siginfo_t* info, void* context) {
    // Only the kernel's signal for an access has an address; one sent by kill or raise
    // (si_code 0 or below) is not about a mapping.
    const bool access_fault = info->si_code > 0;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : slots) {
        if (!access_fault) break;
        const std::uintptr_t begin = slot.begin.load();
        const std::uintptr_t end = slot.end.load();
        // 0: a free slot; kClaimed: one whose mapping is still being made.
        if (begin <= kClaimed || address < begin || address >= end) continue;
        const std::uintptr_t page = address & ~(page_size - 1);
        // mmap is a plain system call, safe to make here.
        if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            std::uintptr_t lowest = slot.lost_from.load();
            while (page < lowest && !slot.lost_from.compare_exchange_weak(lowest, page)) {
            }
            slot.lost.store(true);
            return;
        }
    }
    if ((previous_action.sa_flags & SA_SIGINFO) != 0 && previous_action.sa_sigaction != nullptr) {
        previous_action.sa_sigaction(signal_number, info, context);
    } else if (previous_action.sa_handler != SIG_DFL && previous_action.sa_handler != SIG_IGN) {
        previous_action.sa_handler(signal_number);
    } else {
        // Returning makes an access fault again, now with the default action; a sent signal
        // is sent again.
        ::signal(SIGBUS, SIG_DFL);
        if (!access_fault) ::raise(SIGBUS);
    }
}

void InstallHandlerOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        page_size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &previous_action);
    });
}

}  // namespace

std::error_code FileMapping::Map(int fd, std::size_t size, FileMapping& mapping) {
    if (size == 0) return SystemError(EINVAL);
    InstallHandlerOnce();
    int slot = -1;
    for (std::size_t k = 0; k < kSlots && slot < 0; ++k) {
        std::uintptr_t free = 0;
        // Claimed with a placeholder until the address is known.
        if (slots[k].begin.compare_exchange_strong(free, kClaimed)) slot = static_cast<int>(k);
    }
    if (slot < 0) return SystemError(ENOMEM);
    Slot& entry = slots[static_cast<std::size_t>(slot)];
    void* const data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED) {
        const std::error_code error = LastSystemError();
        entry.begin.store(0);
        return error;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    entry.lost.store(false);
    entry.lost_from.store(UINTPTR_MAX);
    entry.end.store(begin + ((size + page_size - 1) & ~(page_size - 1)));
    entry.begin.store(begin);
    mapping = FileMapping();
    mapping.data_ = static_cast<char*>(data);
    mapping.size_ = size;
    mapping.slot_ = slot;
    return {};
}

FileMapping::~FileMapping() {
    Release();
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      slot_(std::exchange(other.slot_, -1)) {}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
}

bool FileMapping::PagesLost() const {
    if (slot_ < 0) return false;
    // A file cut short loses its last page first. Reading its last byte finds that out also
    // where this process never read there: another process searched the text, or the file
    // was cut after the search.
    static_cast<void>(*static_cast<const volatile char*>(data_ + size_ - 1));
    return slots[static_cast<std::size_t>(slot_)].lost.load();
}

std::size_t FileMapping::LostFrom() const {
    if (slot_ < 0) return size_;
    const std::uintptr_t lost_from = slots[static_cast<std::size_t>(slot_)].lost_from.load();
    const auto begin = reinterpret_cast<std::uintptr_t>(data_);
    return lost_from == UINTPTR_MAX ? size_ : std::min<std::size_t>(lost_from - begin, size_);
}

void FileMapping::Release() {
    if (data_ == nullptr) return;
    Slot& entry = slots[static_cast<std::size_t>(slot_)];
    // Out of the table first: no read of these pages comes after this point. The end goes
    // first, since clearing the beginning frees the slot for another mapping.
    entry.end.store(0);
    entry.begin.store(0);
    ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
    slot_ = -1;
}

}  // namespace lintaro
