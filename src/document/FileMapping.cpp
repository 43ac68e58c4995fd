#include "FileMapping.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

namespace vog {

namespace {

// The mappings alive, for the bus error handler: a read past a file cut short lands here.
struct Span
{
    std::atomic<std::uintptr_t> from{0};
    std::atomic<std::uintptr_t> to{0};
};
constexpr int SpanCount = 64;
Span spans[SpanCount];
std::uintptr_t pageSize = 4096;
struct sigaction before;

// A read of a page the file no longer has: zeros stand in for the rest of the mapping, and
// the read goes on. A bus error anywhere else is the program's as before.
void onBusError(int signal, siginfo_t *info, void *context)
{
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Span &s : spans) {
        const std::uintptr_t from = s.from.load(), to = s.to.load();
        if (at < from || at >= to)
            continue;
        const std::uintptr_t page = at & ~(pageSize - 1);
        if (::mmap(reinterpret_cast<void *>(page), to - page, PROT_READ,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)
            != MAP_FAILED)
            return;
    }
    ::sigaction(SIGBUS, &before, nullptr);
    if (!(before.sa_flags & SA_SIGINFO) && before.sa_handler != SIG_DFL
        && before.sa_handler != SIG_IGN)
        before.sa_handler(signal);
    else if ((before.sa_flags & SA_SIGINFO) && before.sa_sigaction)
        before.sa_sigaction(signal, info, context);
    // Under the default action, the read fails again as it returns, and ends the program.
}

bool handlerInstalled()
{
    static const bool installed = [] {
        if (const long size = ::sysconf(_SC_PAGESIZE); size > 0)
            pageSize = std::uintptr_t(size);
        struct sigaction action = {};
        action.sa_sigaction = &onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &before) == 0;
    }();
    return installed;
}

} // namespace

std::shared_ptr<const FileMapping> FileMapping::map(int fd, qint64 size)
{
    if (size <= 0 || !handlerInstalled())
        return nullptr;
    int slot = 0;
    for (std::uintptr_t none = 0; slot < SpanCount; ++slot, none = 0)
        if (spans[slot].from.compare_exchange_strong(none, 1))
            break;
    if (slot == SpanCount)
        return nullptr;
    const std::size_t mapped = (std::size_t(size) + pageSize - 1) & ~(pageSize - 1);
    void *data = ::mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED) {
        spans[slot].from = 0;
        return nullptr;
    }
    std::shared_ptr<FileMapping> mapping(new FileMapping);
    mapping->m_data = static_cast<char *>(data);
    mapping->m_size = size;
    mapping->m_mapped = mapped;
    mapping->m_slot = slot;
    spans[slot].to = reinterpret_cast<std::uintptr_t>(data) + mapped;
    spans[slot].from = reinterpret_cast<std::uintptr_t>(data);
    return mapping;
}

FileMapping::~FileMapping()
{
    spans[m_slot].to = 0;
    ::munmap(m_data, m_mapped);
    spans[m_slot].from = 0;
}

QByteArray FileMapping::bytes() const
{
    return QByteArray::fromRawData(m_data, m_size);
}

} // namespace vog
