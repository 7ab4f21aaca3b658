#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::core {

// A set of logical CPUs of any size (a machine may have 1,024 or more), numbered from 0. Two sets
// with the same CPUs compare equal whatever they were built from.
class CpuSet {
public:
    CpuSet() = default;
    // The CPUs of the low bits of a mask: bit n is CPU n.
    static CpuSet FromMask(std::uint64_t mask);
    // CPUs first to last, both included; empty when last < first.
    static CpuSet Range(int first, int last);
    // The CPUs of 64-bit words, lowest first: bit n % 64 of word n / 64 is CPU n.
    static CpuSet FromWords(std::vector<std::uint64_t> words);

    void Add(int cpu);
    // Adds CPUs first to last, both included.
    void AddRange(int first, int last);
    void Remove(int cpu);
    bool Contains(int cpu) const;
    bool Empty() const { return m_words.empty(); }
    int Count() const;
    // The lowest CPU, or -1 for the empty set.
    int First() const { return Next(-1); }
    // The lowest CPU above cpu, or -1 when there is none.
    int Next(int cpu) const;
    // The highest CPU, or -1 for the empty set.
    int Highest() const;
    // Bits 0 to 31 of the set.
    std::uint32_t LowMask() const;
    // 64 CPUs a word, lowest first; no zero word at the end.
    const std::vector<std::uint64_t>& Words() const { return m_words; }

    CpuSet& operator|=(const CpuSet& other);
    CpuSet& operator&=(const CpuSet& other);
    friend CpuSet operator|(CpuSet a, const CpuSet& b) { return a |= b; }
    friend CpuSet operator&(CpuSet a, const CpuSet& b) { return a &= b; }
    bool operator==(const CpuSet& other) const = default;

private:
    void Trim();

    std::vector<std::uint64_t> m_words;
};

// The one text of a set. A set inside CPUs 0-3 has its digit text ("013", "?" for none); any other
// set is its CPUs in ascending order, runs of three or more as ranges ("0-7", "0,1,4",
// "0-3,8-11,16"). A single CPU whose number has only the digits 0-3 is the one-CPU range "12-12",
// as "12" is CPUs 1 and 2.
std::string CpuSetText(const CpuSet& set);

// The set as a CPU list whatever its CPUs ("2,3", "0-7", "0,1,4", "" for none): runs of three or
// more as ranges, the others one by one.
std::string CpuListText(const CpuSet& set);

// Whether a text is a CPU list rather than a digit text: it holds only digits, commas and
// hyphens, and a comma, a hyphen or a digit 4-9.
bool IsCpuListText(std::string_view text);

// The set of a text, so that every set's text reads back as the set: "?" is the empty set, any
// other digit text is read digit by digit (a non-digit counting as CPU 0), a CPU list by its
// ranges. Nothing when the list cannot be read ("5-3", "0,,1"). Giving a digit text to a process
// keeps its own rule, by which "?" is CPU 0.
std::optional<CpuSet> CpuSetOfText(std::string_view text);

// The CPUs a text gives a process: a digit text by its own rule (a non-digit, "?" too, is CPU 0),
// a CPU list by its ranges; nothing when the list cannot be read, which is never applied.
std::optional<CpuSet> CpuSetToApply(std::string_view text);

// A set the user typed, read as a stored text is, or the reason it cannot be applied on a machine
// whose highest CPU is highestCpu: a character that is not a digit, comma, hyphen or space, no
// CPU at all, a list that cannot be read, a CPU the machine does not have.
struct TypedCpuSet {
    std::optional<CpuSet> set;
    std::string error;
};
TypedCpuSet ParseTypedCpuSet(std::string_view text, int highestCpu);

} // namespace korvane::core
