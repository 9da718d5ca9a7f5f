#include "data/StaticText.h"

namespace OBData {

namespace {

struct PoolSlot {
    const wchar_t* text;
    std::size_t length;
    bool claimed;
};

// Zero-initialised at load time, so texts resolve before any constructor runs.
constinit PoolSlot g_pools[kTextPoolCount] = {};

const wchar_t kEmpty[] = L"";

}  // namespace

void SetTextPool(std::uint32_t slot, const wchar_t* text, std::size_t length) {
    if (slot == 0 || slot >= kTextPoolCount)
        return;
    // A pool must end in a NUL so that every offset inside it names a
    // terminated string.
    if (text == nullptr || length == 0 || text[length - 1] != L'\0') {
        g_pools[slot].text = nullptr;
        g_pools[slot].length = 0;
        return;
    }
    g_pools[slot].text = text;
    g_pools[slot].length = length;
}

const wchar_t* ResolveText(TextRef ref) {
    const std::uint32_t slot = ref >> kTextOffsetBits;
    const std::uint32_t offset = ref & kTextOffsetMask;
    const PoolSlot& pool = g_pools[slot];
    if (pool.text == nullptr || offset >= pool.length)
        return kEmpty;
    return pool.text + offset;
}

TextPool::TextPool() {
    // Slot 1 belongs to the gazetteer; run-time pools take the others.
    for (std::uint32_t s = kGazetteerTextPool + 1; s < kTextPoolCount; ++s) {
        if (!g_pools[s].claimed && g_pools[s].text == nullptr) {
            g_pools[s].claimed = true;
            m_slot = s;
            break;
        }
    }
    m_storage.push_back(L'\0');  // offset 0 is the empty text
}

TextPool::~TextPool() {
    if (m_slot != 0) {
        SetTextPool(m_slot, nullptr, 0);
        g_pools[m_slot].claimed = false;
    }
}

TextRef TextPool::Add(std::wstring_view text) {
    if (m_slot == 0)
        return 0;
    const auto nul = text.find(L'\0');
    if (nul != std::wstring_view::npos)
        text = text.substr(0, nul);
    if (text.empty())
        return MakeTextRef(m_slot, 0);
    const std::size_t offset = m_storage.size();
    if (offset + text.size() + 1 > kTextOffsetMask)
        return 0;
    m_storage.append(text);
    m_storage.push_back(L'\0');
    SetTextPool(m_slot, m_storage.data(), m_storage.size());
    return MakeTextRef(m_slot, static_cast<std::uint32_t>(offset));
}

}  // namespace OBData
