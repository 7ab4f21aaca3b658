#include "platform/win32/win32_counters.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_topology.h"

#include <windows.h>
#include <pdh.h>

#include <algorithm>
#include <type_traits>

namespace korvane::platform::win32 {

namespace {

constexpr ULONG kSystemProcessorPerformanceInformation = 8;

// One processor's entry of SystemProcessorPerformanceInformation.
struct ProcessorPerformance {
    LARGE_INTEGER IdleTime;
    LARGE_INTEGER KernelTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER Reserved1[2];
    ULONG Reserved2;
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG informationClass, PVOID information, ULONG length,
                                             PULONG returnLength);
// The same for one processor group, named by the input buffer (a USHORT).
using QuerySystemInformationEx = LONG(WINAPI*)(ULONG informationClass, PVOID input, ULONG inputLength,
                                               PVOID information, ULONG length, PULONG returnLength);

std::uint64_t Delta(std::uint64_t now, std::uint64_t before)
{
    return now > before ? now - before : 0;
}

} // namespace

struct Win32Counters::Pdh {
    HMODULE module = nullptr;
    decltype(&::PdhOpenQueryW) openQuery = nullptr;
    decltype(&::PdhLookupPerfNameByIndexW) lookupPerfNameByIndex = nullptr;
    decltype(&::PdhAddCounterW) addCounter = nullptr;
    decltype(&::PdhAddCounterW) addEnglishCounter = nullptr; // Vista and later
    decltype(&::PdhCollectQueryData) collectQueryData = nullptr;
    decltype(&::PdhGetFormattedCounterValue) getFormattedCounterValue = nullptr;
    decltype(&::PdhCloseQuery) closeQuery = nullptr;

    // The system's pdh.dll with every call Korvane makes; nullptr without it.
    static std::unique_ptr<Pdh> Load()
    {
        auto pdh = std::make_unique<Pdh>();
        pdh->module = ::LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (pdh->module == nullptr)
            return nullptr;
        const auto find = [&pdh](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                reinterpret_cast<void*>(::GetProcAddress(pdh->module, name)));
            return function != nullptr;
        };
        if (!find(pdh->openQuery, "PdhOpenQueryW") || !find(pdh->lookupPerfNameByIndex, "PdhLookupPerfNameByIndexW") ||
            !find(pdh->addCounter, "PdhAddCounterW") || !find(pdh->collectQueryData, "PdhCollectQueryData") ||
            !find(pdh->getFormattedCounterValue, "PdhGetFormattedCounterValue") ||
            !find(pdh->closeQuery, "PdhCloseQuery")) {
            ::FreeLibrary(pdh->module);
            return nullptr;
        }
        find(pdh->addEnglishCounter, "PdhAddEnglishCounterW");
        return pdh;
    }
    ~Pdh()
    {
        if (module != nullptr)
            ::FreeLibrary(module);
    }
};

struct Win32Counters::Query {
    PDH_HQUERY pdh = nullptr;
    bool pdhCounters = false;
    std::vector<ProcessorTimes> previous;
    std::vector<ProcessorTimes> current;
};

std::optional<int> ProcessorOfCounterPath(std::string_view path)
{
    if (path.empty() || path.front() != '\\')
        return std::nullopt;
    const auto open = path.find('(');
    const auto close = path.find(')', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos || close == open + 1 ||
        path.substr(close + 1, 1) != "\\")
        return std::nullopt;
    int processor = 0;
    for (const char c : path.substr(open + 1, close - open - 1)) {
        if (c < '0' || c > '9' || processor > 9999)
            return std::nullopt;
        processor = processor * 10 + (c - '0');
    }
    return processor;
}

double BusyPercent(std::uint64_t idleDelta, std::uint64_t kernelDelta, std::uint64_t userDelta)
{
    const std::uint64_t total = kernelDelta + userDelta;
    if (total == 0)
        return 0;
    const std::uint64_t idle = std::min(idleDelta, total);
    return 100.0 * static_cast<double>(total - idle) / static_cast<double>(total);
}

Win32Counters::Win32Counters() : m_pdh(Pdh::Load()), m_groups(MachineGroups())
{
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        m_querySystemInformation = reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQuerySystemInformation"));
        m_querySystemInformationEx = reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQuerySystemInformationEx"));
    }
}

Win32Counters::~Win32Counters()
{
    for (const auto& [handle, query] : m_queries) {
        if (query->pdh != nullptr)
            m_pdh->closeQuery(query->pdh);
    }
}

int Win32Counters::OpenQuery(std::uint64_t userData, QueryHandle* query)
{
    auto opened = std::make_unique<Query>();
    const PDH_STATUS status = m_pdh ? m_pdh->openQuery(nullptr, static_cast<DWORD_PTR>(userData), &opened->pdh)
                                    : static_cast<PDH_STATUS>(ERROR_MOD_NOT_FOUND);
    // Without PDH the processor times still give the per-processor counters.
    if (status != ERROR_SUCCESS) {
        opened->pdh = nullptr;
        if (m_querySystemInformation == nullptr)
            return static_cast<int>(status);
    }
    *query = m_nextQuery++;
    m_queries[*query] = std::move(opened);
    return 0;
}

std::string Win32Counters::LookupPerfNameByIndex(std::uint32_t index)
{
    wchar_t name[PDH_MAX_COUNTER_NAME] = {};
    DWORD size = PDH_MAX_COUNTER_NAME;
    if (!m_pdh || m_pdh->lookupPerfNameByIndex(nullptr, index, name, &size) != ERROR_SUCCESS)
        return {};
    return Narrow(name);
}

CounterHandle Win32Counters::AddCounter(QueryHandle query, const std::string& path)
{
    const auto it = m_queries.find(query);
    if (it == m_queries.end())
        return 0;
    Query& q = *it->second;
    Counter counter;
    PDH_HCOUNTER pdhCounter = nullptr;
    const auto processor = ProcessorOfCounterPath(path);
    const bool groups = m_groups.GroupCount() > 1 && processor.has_value();
    const auto add = groups ? m_pdh ? m_pdh->addEnglishCounter : nullptr : m_pdh ? m_pdh->addCounter : nullptr;
    const std::wstring pdhPath = Widen(groups ? GroupCounterPath(m_groups, *processor) : path);
    if (q.pdh != nullptr && add != nullptr && !pdhPath.empty() &&
        add(q.pdh, pdhPath.c_str(), 0, &pdhCounter) == ERROR_SUCCESS) {
        counter.pdhCounter = pdhCounter;
        q.pdhCounters = true;
    } else {
        const std::size_t processors = ReadProcessorTimes().size();
        if (!processor || static_cast<std::size_t>(*processor) >= processors)
            return 0;
        counter.processor = *processor;
    }
    const CounterHandle handle = m_nextCounter++;
    m_counters[handle] = {query, counter};
    return handle;
}

std::vector<Win32Counters::ProcessorTimes> Win32Counters::ReadProcessorTimes() const
{
    // The plain query answers for the calling thread's group only.
    std::vector<ProcessorPerformance> entries;
    if (m_groups.GroupCount() > 1 && m_querySystemInformationEx != nullptr) {
        const auto query = reinterpret_cast<QuerySystemInformationEx>(m_querySystemInformationEx);
        for (USHORT group = 0; group < m_groups.GroupCount(); ++group) {
            std::vector<ProcessorPerformance> ofGroup(64);
            ULONG length = 0;
            if (query(kSystemProcessorPerformanceInformation, &group, sizeof group, ofGroup.data(),
                      static_cast<ULONG>(ofGroup.size() * sizeof(ProcessorPerformance)), &length) < 0)
                return {};
            ofGroup.resize(std::min<std::size_t>(length / sizeof(ProcessorPerformance), ofGroup.size()));
            entries.insert(entries.end(), ofGroup.begin(), ofGroup.end());
        }
    } else {
        if (m_querySystemInformation == nullptr)
            return {};
        const auto query = reinterpret_cast<QuerySystemInformation>(m_querySystemInformation);
        entries.resize(256);
        ULONG length = 0;
        if (query(kSystemProcessorPerformanceInformation, entries.data(),
                  static_cast<ULONG>(entries.size() * sizeof(ProcessorPerformance)), &length) < 0)
            return {};
        entries.resize(std::min<std::size_t>(length / sizeof(ProcessorPerformance), entries.size()));
    }
    std::vector<ProcessorTimes> times;
    times.reserve(entries.size());
    for (const auto& entry : entries)
        times.push_back({static_cast<std::uint64_t>(entry.IdleTime.QuadPart),
                         static_cast<std::uint64_t>(entry.KernelTime.QuadPart),
                         static_cast<std::uint64_t>(entry.UserTime.QuadPart)});
    return times;
}

void Win32Counters::CollectQueryData(QueryHandle query)
{
    const auto it = m_queries.find(query);
    if (it == m_queries.end())
        return;
    Query& q = *it->second;
    if (q.pdhCounters)
        m_pdh->collectQueryData(q.pdh);
    q.previous = std::move(q.current);
    q.current = ReadProcessorTimes();
}

double Win32Counters::GetDoubleCounterValue(CounterHandle counter, int* status)
{
    *status = -1;
    const auto it = m_counters.find(counter);
    if (it == m_counters.end())
        return 0;
    const auto& [queryHandle, entry] = it->second;
    if (entry.pdhCounter != nullptr) {
        PDH_FMT_COUNTERVALUE value{};
        const PDH_STATUS result = m_pdh->getFormattedCounterValue(static_cast<PDH_HCOUNTER>(entry.pdhCounter),
                                                                  PDH_FMT_DOUBLE, nullptr, &value);
        *status = static_cast<int>(result != ERROR_SUCCESS ? result : value.CStatus);
        return result == ERROR_SUCCESS ? value.doubleValue : 0;
    }
    const Query& q = *m_queries.at(queryHandle);
    const auto cpu = static_cast<std::size_t>(entry.processor);
    // The first collection has nothing to compare with.
    if (cpu >= q.current.size() || cpu >= q.previous.size())
        return 0;
    *status = 0;
    return BusyPercent(Delta(q.current[cpu].idle, q.previous[cpu].idle),
                       Delta(q.current[cpu].kernel, q.previous[cpu].kernel),
                       Delta(q.current[cpu].user, q.previous[cpu].user));
}

void Win32Counters::CloseQuery(QueryHandle query)
{
    const auto it = m_queries.find(query);
    if (it == m_queries.end())
        return;
    if (it->second->pdh != nullptr)
        m_pdh->closeQuery(it->second->pdh);
    for (auto counter = m_counters.begin(); counter != m_counters.end();) {
        if (counter->second.first == query)
            counter = m_counters.erase(counter);
        else
            ++counter;
    }
    m_queries.erase(it);
}

} // namespace korvane::platform::win32
