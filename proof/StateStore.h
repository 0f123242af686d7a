#pragma once

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// The distinct states of a search, each a fixed number of 64-bit words, kept
// in the order they were first found and found again through an
// open-addressed table of their indices.
class StateStore
{
public:
    explicit StateStore(int words);

    // The index of state (words() words), added when it is new; whether it
    // was added.
    std::pair<uint32_t, bool> insert(const uint64_t *state);

    const uint64_t *state(uint32_t index) const
    {
        return &m_chunks[index >> ChunkBits][size_t(index & (ChunkStates - 1)) * size_t(m_words)];
    }
    uint32_t size() const { return m_count; }
    int words() const { return m_words; }
    // What the store holds in memory now, and of that its table.
    qint64 bytes() const;
    qint64 tableBytes() const { return qint64(m_slots.capacity() * sizeof(uint32_t)); }

private:
    uint64_t hash(const uint64_t *state) const;
    void grow();

    // States are kept in chunks of a fixed size, so that growing never
    // copies them and never holds the old and the new copy at once.
    static constexpr int ChunkBits = 16;
    static constexpr uint32_t ChunkStates = 1u << ChunkBits;

    int m_words;
    uint32_t m_count = 0;
    std::vector<std::unique_ptr<uint64_t[]>> m_chunks;
    std::vector<uint32_t> m_slots; // index + 1 of a state, 0 for a free slot
};
