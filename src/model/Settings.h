// The key/value store behind "settings.csv": one "key,value" pair per line,
// keys in ascending order, no quoting. The program and the weather
// downloader both read the file through this class.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/FileApi.h"

namespace ZEP_Utility {

// Orders keys by their UTF-16 code units, so the file's line order does not
// depend on the width of wchar_t.
struct Utf16KeyLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class Settings {
public:
    using Map = std::map<std::wstring, std::wstring, Utf16KeyLess>;

    // Longest line, line end (CR LF) included, that SetString accepts. A
    // "cities" value naming every city of the gazetteer takes about 2,100
    // characters. Lines read from the file are taken whole whatever their
    // length, so that a save writes back what was read.
    static constexpr std::size_t kMaxLineChars = 65536;
    // Largest file Load reads; a larger one is refused unread.
    static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

    Settings() = default;
    virtual ~Settings() = default;

    // Empties the store and reads the file (UTF-8, an optional byte-order
    // mark, lines ended by LF, CR LF or CR). False when the file cannot be
    // read: missing, not a regular file, larger than kMaxFileBytes or
    // unreadable (GetLoadResult tells which); the store is then empty. Lines
    // without a comma are kept aside and written back by Save, byte for byte,
    // before the pairs.
    bool Load(const std::wstring& path);
    // Load's reading of the file's bytes, without the file.
    void LoadText(std::string_view bytes);
    ob::kernel::FileReadResult GetLoadResult() const { return m_loadResult; }
    // True when the last Load found a file it had to refuse: saving would
    // replace what could not be read.
    bool LoadRefusedFile() const {
        return m_loadResult != ob::kernel::FileReadResult::Ok &&
               m_loadResult != ob::kernel::FileReadResult::Missing;
    }

    // Replaces the file with the whole store. The pairs go to a temporary
    // file beside it, which is flushed to disk and renamed over the old one:
    // on any failure the old file is left as it was and Save returns false.
    bool Save(const std::wstring& path) const;
    // Saves over what another program may have written since this store read
    // or saved the file: when the file changed since then (inode, size or
    // time), it is read again first and its lines are kept for every key this
    // store did not set or remove, its lines without a comma too. Then Save.
    bool SaveKeepingOthers(const std::wstring& path);
    // What Save writes: the lines kept aside, then the pairs in key order.
    std::string GetFileText() const;

    // True and the value when the key exists; false with `value` untouched.
    bool GetString(const std::wstring& key, std::wstring& value) const;
    // True when the key exists. `value` takes the decimal integer at the
    // start of the text (leading blanks and a sign allowed) and keeps what it
    // held when there is none.
    bool GetInt(const std::wstring& key, int& value) const;
    // The same with a real number. Non-finite values are not taken.
    bool GetDouble(const std::wstring& key, double& value) const;

    // Inserts or replaces a pair. A pair the file could not hold (a key with
    // a comma or a line break, a value with a line break, or a line longer
    // than kMaxLineChars) is refused and false is returned.
    bool SetString(const std::wstring& key, const std::wstring& value);
    bool SetInt(const std::wstring& key, int value);        // as "%d"
    bool SetDouble(const std::wstring& key, double value);  // as "%f"

    bool Remove(const std::wstring& key);
    void Clear() {
        m_pairs.clear();
        m_otherLines.clear();
        m_ours.clear();
    }
    const Map& GetPairs() const { return m_pairs; }

    // The number parsers behind GetInt and GetDouble, for other readers of
    // stored text. They read from the start of `text` as "%d" and "%lf" do.
    static bool ParseInt(const std::wstring& text, int& value);
    static bool ParseDouble(const std::wstring& text, double& value);
    static std::wstring FormatInt(int value);
    static std::wstring FormatDouble(double value);

private:
    Map m_pairs;
    // The keys set or removed since the file was read: this store's own.
    std::set<std::wstring, Utf16KeyLess> m_ours;
    // The file as the last Load or save found it; nothing when it was missing.
    std::optional<ob::kernel::FileStamp> m_stamp;
    std::vector<std::string> m_otherLines;  // as read, without their line ends
    ob::kernel::FileReadResult m_loadResult = ob::kernel::FileReadResult::Missing;
};

}  // namespace ZEP_Utility
