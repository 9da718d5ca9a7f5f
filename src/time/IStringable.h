// The one-operation interface of values that render themselves as text.
#pragma once

#include <string>

namespace ZEP_Utility {

class IStringable {
public:
    virtual ~IStringable() = default;
    virtual std::wstring ToString() const = 0;
};

}  // namespace ZEP_Utility
