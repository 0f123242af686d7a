#include "proof/StateStore.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

StateStore::StateStore(int words) : m_words(std::max(1, words)), m_slots(1u << 12, 0) {}

uint64_t StateStore::hash(const uint64_t *state) const
{
    uint64_t h = 0x9e3779b97f4a7c15ull;
    for (int i = 0; i < m_words; ++i) {
        uint64_t x = state[i] + h;
        x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
        x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
        h = x ^ (x >> 31);
    }
    return h;
}

std::pair<uint32_t, bool> StateStore::insert(const uint64_t *state)
{
    // Kept at most half full, so that a probe ends soon.
    if (size_t(m_count) * 2 >= m_slots.size())
        grow();
    const size_t mask = m_slots.size() - 1;
    const size_t bytes = size_t(m_words) * sizeof(uint64_t);
    for (size_t slot = hash(state) & mask;; slot = (slot + 1) & mask) {
        const uint32_t stored = m_slots[slot];
        if (stored == 0) {
            if (m_count == UINT32_MAX)
                throw std::length_error("too many states");
            if ((m_count & (ChunkStates - 1)) == 0)
                m_chunks.push_back(std::make_unique<uint64_t[]>(size_t(ChunkStates) * size_t(m_words)));
            std::memcpy(m_chunks.back().get() + size_t(m_count & (ChunkStates - 1)) * size_t(m_words), state, bytes);
            m_slots[slot] = ++m_count;
            return {m_count - 1, true};
        }
        if (std::memcmp(this->state(stored - 1), state, bytes) == 0)
            return {stored - 1, false};
    }
}

void StateStore::grow()
{
    std::vector<uint32_t> slots(m_slots.size() * 2, 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t index = 0; index < m_count; ++index) {
        size_t slot = hash(state(index)) & mask;
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = index + 1;
    }
    m_slots = std::move(slots);
}

qint64 StateStore::bytes() const
{
    return qint64(m_chunks.size()) * ChunkStates * m_words * qint64(sizeof(uint64_t))
           + tableBytes();
}
