#include "dialogs/CountryCityDialog.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/DataView.h"
#include "data/ReferenceLookup.h"

CountryCityDialog::CountryCityDialog(UINT templateId, HWND parent, int countriesId, int citiesId)
    : Dialog(templateId, parent), m_countriesId(countriesId), m_citiesId(citiesId) {}

void CountryCityDialog::BindControls(bool attach) {
    if (attach) {
        m_countries.AttachDlgItem(m_hwnd, m_countriesId);
        m_cities.AttachDlgItem(m_hwnd, m_citiesId);
    } else {
        m_countries.Unsubclass();
        m_cities.Unsubclass();
    }
}

void CountryCityDialog::FillCountries() {
    const OBData::DataView* view = OBData::GetCountryView();
    if (!view)
        return;
    for (int i = 0; i < view->GetCount(); ++i) {
        std::wstring name;
        if (!view->GetRow(i).GetString(L"displayName", name))
            continue;
        const int at = m_countries.AddString(name);
        if (at >= 0)
            m_countries.SetItemData(at, i);
    }
    m_countries.SetCurSel(0);
}

void CountryCityDialog::FillCities() {
    m_cities.SetRedraw(false);
    m_cities.ResetContent();
    const int selected = m_countries.GetCurSel();
    const OBData::DataView* countries = OBData::GetCountryView();
    if (selected >= 0 && countries) {
        const auto row = static_cast<int>(m_countries.GetItemData(selected));
        std::wstring code;
        if (row >= 0 && row < countries->GetCount() && countries->GetRow(row).GetString(L"iso2Name", code)) {
            const std::wstring filter = L"country = '" + code + L"'";
            const std::unique_ptr<OBData::DataView> cities(OBData::CreateCityView(nullptr, filter.c_str()));
            for (int i = 0; cities && i < cities->GetCount(); ++i) {
                const OBData::DataRow city = cities->GetRow(i);
                std::wstring name;
                std::int32_t id = 0;
                if (!city.GetString(L"displayName", name) || !city.GetInt(L"id", id))
                    continue;
                const int at = m_cities.AddString(name);
                if (at >= 0)
                    m_cities.SetItemData(at, id);
            }
        }
    }
    m_cities.SetRedraw(true);
}

bool CountryCityDialog::OnSize(SIZE) {
    if (!m_fitLists.empty())
        FitToClient({});
    return false;
}

void CountryCityDialog::FitToClient(std::initializer_list<int> listIds) {
    if (listIds.size() > 0)
        m_fitLists.assign(listIds);
    const auto rectOf = [this](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        return ScreenToClient(r);
    };
    std::vector<HWND> controls;
    int bottom = 0;
    for (HWND c = ::GetWindow(m_hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        controls.push_back(c);
        bottom = std::max<int>(bottom, rectOf(c).bottom);
    }
    const RECT client = GetClientRect();
    const int margin = GetSystemMetrics(SM_CYBORDER) * 4;
    int overflow = bottom + margin - client.bottom;
    if (overflow <= 0)
        return;

    struct Shrink {
        HWND list;
        RECT rect;
        int spare;
        int by = 0;
    };
    std::vector<Shrink> lists;
    int spare = 0;
    int lowestList = 0;
    for (int id : m_fitLists) {
        const HWND list = GetDlgItem(id);
        if (!list)
            continue;
        const RECT r = rectOf(list);
        const auto row = static_cast<int>(::SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
        const int keep = 2 * std::max(row, 1) + 2 * GetSystemMetrics(SM_CYBORDER);
        lists.push_back({list, r, std::max(0, static_cast<int>(r.bottom - r.top) - keep)});
        spare += lists.back().spare;
        lowestList = std::max<int>(lowestList, r.bottom);
    }
    // What the lists cannot give comes out of the gap below the lowest list.
    int below = std::numeric_limits<int>::max();
    for (HWND c : controls)
        if (rectOf(c).top >= lowestList)
            below = std::min<int>(below, rectOf(c).top);
    const int gap = below == std::numeric_limits<int>::max() ? 0 : below - lowestList - 1;
    const int extra = std::clamp(overflow - spare, 0, std::max(0, gap));
    overflow = std::min(overflow, spare);
    if (overflow <= 0 && extra == 0)
        return;
    int given = 0;
    for (std::size_t i = 0; i < lists.size() && overflow > 0; ++i) {
        lists[i].by = i + 1 == lists.size() ? overflow - given : overflow * lists[i].spare / spare;
        given += lists[i].by;
    }
    // Everything moves up by what the lists above it gave.
    const auto shiftAt = [&lists](int top) {
        int shift = 0;
        for (const Shrink& s : lists)
            if (s.rect.bottom <= top)
                shift += s.by;
        return shift;
    };
    for (HWND c : controls) {
        const RECT r = rectOf(c);
        const auto own =
            std::find_if(lists.begin(), lists.end(), [c](const Shrink& s) { return s.list == c; });
        const int height = r.bottom - r.top - (own != lists.end() ? own->by : 0);
        const int up = shiftAt(r.top) + (r.top >= lowestList ? extra : 0);
        ::SetWindowPos(c, nullptr, r.left, r.top - up, r.right - r.left, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
