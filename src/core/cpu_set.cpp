#include "core/cpu_set.h"

#include "core/affinity.h"

#include <bit>
#include <charconv>

namespace korvane::core {

namespace {

constexpr int kWordBits = 64;
// Far above any machine: a number past it is a typing error, not a CPU.
constexpr int kMaxCpuNumber = 1 << 20;

std::size_t WordOf(int cpu)
{
    return static_cast<std::size_t>(cpu / kWordBits);
}

std::uint64_t BitOf(int cpu)
{
    return std::uint64_t{1} << (cpu % kWordBits);
}

bool OnlyDigitsZeroToThree(int number)
{
    do {
        if (number % 10 > 3)
            return false;
        number /= 10;
    } while (number > 0);
    return true;
}

// Writes a run ("7", "7,8", "7-9") at out, after a comma unless it is the first; returns the end.
char* WriteRun(char* out, bool first, int from, int to)
{
    if (!first)
        *out++ = ',';
    out = std::to_chars(out, out + 12, from).ptr;
    if (to == from)
        return out;
    *out++ = to - from >= 2 ? '-' : ',';
    return std::to_chars(out, out + 12, to).ptr;
}

std::string Quoted(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

std::string_view Stripped(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<int> NumberOf(std::string_view text)
{
    text = Stripped(text);
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < 0 ||
        number > kMaxCpuNumber)
        return std::nullopt;
    return number;
}

// The set of a list of plain numbers and ranges ("0-3,8,10-11"), read in one pass; nothing when
// the list is anything else, for ParseList to say why.
std::optional<CpuSet> ParsePlainList(std::string_view text)
{
    CpuSet set;
    const char* at = text.data();
    const char* const end = at + text.size();
    const auto number = [&at, end](unsigned* value) {
        if (at == end || *at < '0' || *at > '9')
            return false;
        unsigned n = 0;
        for (; at != end && *at >= '0' && *at <= '9'; ++at) {
            n = n * 10 + static_cast<unsigned>(*at - '0');
            if (n > static_cast<unsigned>(kMaxCpuNumber))
                return false;
        }
        *value = n;
        return true;
    };
    while (true) {
        unsigned first = 0;
        if (!number(&first))
            return std::nullopt;
        unsigned last = first;
        if (at != end && *at == '-') {
            ++at;
            if (!number(&last) || last < first)
                return std::nullopt;
        }
        set.AddRange(static_cast<int>(first), static_cast<int>(last));
        if (at == end)
            return set;
        if (*at++ != ',')
            return std::nullopt;
    }
}

// The set of a CPU list, or why it cannot be read.
std::optional<CpuSet> ParseList(std::string_view text, std::string* error)
{
    if (auto plain = ParsePlainList(text))
        return plain;
    CpuSet set;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item =
            Stripped(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (item.empty()) {
            *error = "An empty place between commas.";
            return std::nullopt;
        }
        const std::size_t hyphen = item.find('-');
        const auto first = NumberOf(item.substr(0, hyphen));
        const auto last = hyphen == std::string_view::npos ? first : NumberOf(item.substr(hyphen + 1));
        if (!first || !last || *last < *first) {
            *error = Quoted(item);
            *error += !first || !last ? " is neither a CPU number nor a range of them." : " runs backwards.";
            return std::nullopt;
        }
        set.AddRange(*first, *last);
        if (comma == std::string_view::npos)
            return set;
        start = comma + 1;
    }
}

} // namespace

CpuSet CpuSet::FromMask(std::uint64_t mask)
{
    CpuSet set;
    if (mask != 0)
        set.m_words.push_back(mask);
    return set;
}

CpuSet CpuSet::FromWords(std::vector<std::uint64_t> words)
{
    CpuSet set;
    set.m_words = std::move(words);
    set.Trim();
    return set;
}

CpuSet CpuSet::Range(int first, int last)
{
    CpuSet set;
    set.AddRange(first, last);
    return set;
}

void CpuSet::AddRange(int first, int last)
{
    if (first < 0 || last < first)
        return;
    if (m_words.size() <= WordOf(last))
        m_words.resize(WordOf(last) + 1, 0);
    for (std::size_t word = WordOf(first); word <= WordOf(last); ++word) {
        std::uint64_t bits = ~std::uint64_t{0};
        if (word == WordOf(first))
            bits &= ~(BitOf(first) - 1);
        if (word == WordOf(last) && last % kWordBits != kWordBits - 1)
            bits &= (BitOf(last) << 1) - 1;
        m_words[word] |= bits;
    }
}

void CpuSet::Add(int cpu)
{
    if (cpu < 0)
        return;
    if (m_words.size() <= WordOf(cpu))
        m_words.resize(WordOf(cpu) + 1, 0);
    m_words[WordOf(cpu)] |= BitOf(cpu);
}

void CpuSet::Remove(int cpu)
{
    if (!Contains(cpu))
        return;
    m_words[WordOf(cpu)] &= ~BitOf(cpu);
    Trim();
}

bool CpuSet::Contains(int cpu) const
{
    return cpu >= 0 && WordOf(cpu) < m_words.size() && (m_words[WordOf(cpu)] & BitOf(cpu)) != 0;
}

int CpuSet::Count() const
{
    int count = 0;
    for (const std::uint64_t word : m_words)
        count += std::popcount(word);
    return count;
}

int CpuSet::Next(int cpu) const
{
    int from = cpu + 1;
    if (from < 0)
        from = 0;
    for (std::size_t word = WordOf(from); word < m_words.size(); ++word) {
        std::uint64_t bits = m_words[word];
        if (word == WordOf(from))
            bits &= ~(BitOf(from) - 1);
        if (bits != 0)
            return static_cast<int>(word) * kWordBits + std::countr_zero(bits);
    }
    return -1;
}

int CpuSet::Highest() const
{
    if (m_words.empty())
        return -1;
    return static_cast<int>(m_words.size()) * kWordBits - 1 - std::countl_zero(m_words.back());
}

std::uint32_t CpuSet::LowMask() const
{
    return m_words.empty() ? 0U : static_cast<std::uint32_t>(m_words.front());
}

CpuSet& CpuSet::operator|=(const CpuSet& other)
{
    if (m_words.size() < other.m_words.size())
        m_words.resize(other.m_words.size(), 0);
    for (std::size_t i = 0; i < other.m_words.size(); ++i)
        m_words[i] |= other.m_words[i];
    return *this;
}

CpuSet& CpuSet::operator&=(const CpuSet& other)
{
    if (m_words.size() > other.m_words.size())
        m_words.resize(other.m_words.size());
    for (std::size_t i = 0; i < m_words.size(); ++i)
        m_words[i] &= other.m_words[i];
    Trim();
    return *this;
}

void CpuSet::Trim()
{
    while (!m_words.empty() && m_words.back() == 0)
        m_words.pop_back();
}

std::string CpuListText(const CpuSet& set)
{
    // Room for every CPU as a number of at most 7 digits and a separator.
    std::string text(static_cast<std::size_t>(set.Count()) * 8 + 16, '\0');
    char* out = text.data();
    int runs = 0;
    int runStart = -1;
    int previous = -2;
    const std::vector<std::uint64_t>& words = set.Words();
    for (std::size_t word = 0; word < words.size(); ++word) {
        const int base = static_cast<int>(word) * kWordBits;
        std::uint64_t bits = words[word];
        // A full word inside a run adds nothing to write.
        if (bits == ~std::uint64_t{0} && previous == base - 1) {
            previous = base + kWordBits - 1;
            continue;
        }
        while (bits != 0) {
            const int cpu = base + std::countr_zero(bits);
            bits &= bits - 1;
            if (cpu != previous + 1) {
                if (runStart >= 0)
                    out = WriteRun(out, runs++ == 0, runStart, previous);
                runStart = cpu;
            }
            previous = cpu;
        }
    }
    if (runStart >= 0)
        out = WriteRun(out, runs == 0, runStart, previous);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

std::string CpuSetText(const CpuSet& set)
{
    if (set.Highest() <= 3)
        return AffinityTexts()[set.LowMask()];
    std::string text = CpuListText(set);
    // A lone number of the digits 0-3 would read as a digit text.
    if (set.Count() == 1 && OnlyDigitsZeroToThree(set.First())) {
        const std::string number = text;
        text.push_back('-');
        text += number;
    }
    return text;
}

bool IsCpuListText(std::string_view text)
{
    bool marked = false;
    for (const char c : text) {
        if (c == ',' || c == '-' || (c >= '4' && c <= '9'))
            marked = true;
        else if (c < '0' || c > '3')
            return false;
    }
    return marked;
}

std::optional<CpuSet> CpuSetOfText(std::string_view text)
{
    if (text == AffinityTexts()[0])
        return CpuSet();
    if (IsCpuListText(text)) {
        std::string error;
        return ParseList(text, &error);
    }
    return CpuSet::FromMask(MaskOfAffinityText(text));
}

std::optional<CpuSet> CpuSetToApply(std::string_view text)
{
    if (IsCpuListText(text))
        return CpuSetOfText(text);
    return CpuSet::FromMask(MaskOfAffinityText(text));
}

TypedCpuSet ParseTypedCpuSet(std::string_view text, int highestCpu)
{
    TypedCpuSet result;
    for (const char c : text) {
        if (!(c >= '0' && c <= '9') && c != ',' && c != '-' && c != ' ') {
            result.error = Quoted(std::string_view(&c, 1)) + " is not part of a CPU list.";
            return result;
        }
    }
    std::string compact;
    for (const char c : text) {
        if (c != ' ')
            compact.push_back(c);
    }
    if (compact.empty()) {
        result.error = "No CPU given.";
        return result;
    }
    const auto set = IsCpuListText(compact) ? ParseList(text, &result.error)
                                            : std::optional(CpuSet::FromMask(MaskOfAffinityText(compact)));
    if (!set)
        return result;
    if (set->Highest() > highestCpu) {
        result.error = "CPU " + std::to_string(set->Highest()) + " is not on this machine, whose CPUs are 0 to " +
                       std::to_string(highestCpu) + ".";
        return result;
    }
    result.set = set;
    return result;
}

} // namespace korvane::core
