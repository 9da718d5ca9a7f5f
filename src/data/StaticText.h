// Texts of the built-in tables live in static storage and are referred to
// from the records by a 32-bit reference, so a record keeps the same widths,
// offsets and stride on every platform (a pointer would not fit in 4 bytes on
// 64-bit machines).
//
// A reference names a pool (top 8 bits) and a code-unit offset into it (low
// 24 bits). A pool is a run of NUL-terminated wide strings laid end to end.
// Pool 0 is never registered, so reference 0 reads as the empty text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace OBData {

using TextRef = std::uint32_t;

inline constexpr std::uint32_t kTextPoolCount = 256;
inline constexpr std::uint32_t kTextOffsetBits = 24;
inline constexpr std::uint32_t kTextOffsetMask = (1u << kTextOffsetBits) - 1;

// The built-in gazetteer's texts always sit in this pool.
inline constexpr std::uint32_t kGazetteerTextPool = 1;

constexpr TextRef MakeTextRef(std::uint32_t pool, std::uint32_t offset) {
    return (pool << kTextOffsetBits) | (offset & kTextOffsetMask);
}

// Publishes (or, with a null text, withdraws) the pool in a slot. `length`
// counts code units including the final NUL. Slot 0 cannot be set.
void SetTextPool(std::uint32_t slot, const wchar_t* text, std::size_t length);

// The text a reference names; never null. A reference to an unknown pool or
// past the end of its pool reads as the empty text.
const wchar_t* ResolveText(TextRef ref);

// A growable pool for tables assembled at run time (tests and tools). It claims
// a free slot for its lifetime; references stay valid while it lives.
class TextPool {
public:
    TextPool();
    ~TextPool();
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // Stores a copy of the text and returns its reference. Texts are cut at
    // an embedded NUL. When the pool is full or no slot was free, returns 0
    // (the empty text).
    TextRef Add(std::wstring_view text);

    std::uint32_t Slot() const { return m_slot; }

private:
    std::uint32_t m_slot = 0;
    std::wstring m_storage;
};

}  // namespace OBData
