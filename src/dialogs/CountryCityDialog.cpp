#include "dialogs/CountryCityDialog.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/City.h"
#include "data/CityFinder.h"
#include "data/Country.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"

CountryCityDialog::CountryCityDialog(UINT templateId, HWND parent, int findId, int countriesId, int citiesId)
    : Dialog(templateId, parent), m_findId(findId), m_countriesId(countriesId), m_citiesId(citiesId) {
    m_find.onKey = [this](UINT key) { return OnFindKey(key); };
    m_cities.onKey = [this](UINT key) { return OnListKey(key); };
}

void CountryCityDialog::BindControls(bool attach) {
    if (attach) {
        m_find.AttachDlgItem(m_hwnd, m_findId);
        m_countries.AttachDlgItem(m_hwnd, m_countriesId);
        m_cities.AttachDlgItem(m_hwnd, m_citiesId);
    } else {
        m_find.Unsubclass();
        m_countries.Unsubclass();
        m_cities.Unsubclass();
    }
}

bool CountryCityDialog::MultipleSelection() const {
    return (::GetWindowLong(m_cities.GetHandle(), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

void CountryCityDialog::SelectCityRow(int row) {
    if (MultipleSelection()) {
        m_cities.SetSel(-1, false);
        if (row >= 0) {
            m_cities.SetSel(row, true);
            m_cities.SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(row));
        }
    } else {
        m_cities.SetCurSel(row);
    }
}

void CountryCityDialog::ShowCity(const OBData::City& city, bool select) {
    const OBData::DataView* countries = OBData::GetCountryView();
    const OBData::Country* country = city.GetCountry();
    if (!countries || !country)
        return;
    for (int i = 0; i < m_countries.GetCount(); ++i) {
        std::wstring code;
        const auto row = static_cast<int>(m_countries.GetItemData(i));
        if (row >= 0 && row < countries->GetCount() && countries->GetRow(row).GetString(L"iso2Name", code) &&
            code == country->GetIso2Name()) {
            m_countries.SetCurSel(i);
            break;
        }
    }
    FillCities();
    for (int i = 0; i < m_cities.GetCount(); ++i)
        if (m_cities.GetItemData(i) == city.GetId()) {
            if (select)
                SelectCityRow(i);
            else
                m_cities.SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(i));
            break;
        }
    OnCitiesChanged();
}

void CountryCityDialog::FocusFindBox() {
    m_find.SetFocus();
    m_find.SendMessage(EM_SETSEL, 0, -1);
}

// The matches across every country, best first and in that order (the list
// would sort them by name), the best one highlighted; with the text gone,
// the chosen country's cities again.
void CountryCityDialog::ShowFound() {
    const std::vector<OBData::City*> found = OBData::FindCities(m_find.GetWindowText());
    m_finding = !OBData::FoldForFind(m_find.GetWindowText()).empty();
    if (!m_finding) {
        FillCities();
        OnCitiesChanged();
        return;
    }
    m_cities.SetRedraw(false);
    m_cities.ResetContent();
    for (const OBData::City* city : found) {
        const int at = m_cities.InsertString(-1, OBData::CityWithCountry(*city));
        if (at >= 0)
            m_cities.SetItemData(at, city->GetId());
    }
    SelectCityRow(found.empty() ? -1 : 0);
    m_cities.SetRedraw(true);
    OnCitiesChanged();
}

bool CountryCityDialog::OnFindKey(UINT key) {
    switch (key) {
    case VK_DOWN:
        m_cities.SetFocus();
        if (m_cities.GetCount() > 0 &&
            (MultipleSelection() ? m_cities.SendMessage(LB_GETSELCOUNT) <= 0 : m_cities.GetCurSel() < 0)) {
            SelectCityRow(0);
            OnCitiesChanged();
        }
        return true;
    case VK_RETURN: TakeHighlighted(); return true;
    case VK_ESCAPE:
        if (m_find.GetWindowText().empty())
            OnCancel();
        else
            m_find.SetWindowText(L"");
        return true;
    default: return false;
    }
}

bool CountryCityDialog::OnListKey(UINT key) {
    switch (key) {
    case VK_RETURN: TakeHighlighted(); return true;
    case VK_ESCAPE:
        if (m_find.GetWindowText().empty()) {
            OnCancel();
        } else {
            m_find.SetWindowText(L"");
            FocusFindBox();
        }
        return true;
    default: return false;
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

bool CountryCityDialog::OnCommand(const CommandParams& command) {
    const auto id = static_cast<int>(command.id);
    if (id == m_findId && command.code == EN_CHANGE) {
        ShowFound();
    } else if (id == m_countriesId && command.code == CBN_SELCHANGE) {
        // A country chosen ends the finding: its own cities show.
        if (m_finding)
            m_find.SetWindowText(L"");
        else {
            FillCities();
            OnCitiesChanged();
        }
    } else if (id == m_citiesId && command.code == LBN_DBLCLK) {
        TakeHighlighted();
    } else if (id == m_citiesId && command.code == LBN_SELCHANGE) {
        OnCitiesChanged();
    } else {
        return false;
    }
    return true;
}

// "Find: [....] Country: [.... v]" on one line, each box half of what the
// labels leave, at the find box's height; what was below the country row
// moves up by the row given up. The labels are the controls just before
// their boxes in the template.
void CountryCityDialog::PutFindBesideCountry() {
    const HWND edit = m_find.GetHandle(), combo = m_countries.GetHandle();
    const HWND findLabel = edit ? ::GetWindow(edit, GW_HWNDPREV) : nullptr;
    const HWND countryLabel = combo ? ::GetWindow(combo, GW_HWNDPREV) : nullptr;
    if (!findLabel || !countryLabel || m_findBesideCountry)
        return;
    m_findBesideCountry = true;
    const auto rectOf = [this](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        return ScreenToClient(r);
    };
    const auto textWidth = [](HWND label) {
        HDC dc = ::GetDC(label);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessage(label, WM_GETFONT, 0, 0)));
        const std::wstring text = [label] {
            wchar_t buffer[64] = {};
            ::GetWindowText(label, buffer, 64);
            return std::wstring(buffer);
        }();
        SIZE size{0, 0};
        ::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        return static_cast<int>(size.cx);
    };
    const RECT findText = rectOf(findLabel), findBox = rectOf(edit), countryText = rectOf(countryLabel),
               countryBox = rectOf(combo);
    const int gap = 3 * GetSystemMetrics(SM_CXBORDER);
    const int left = findText.left, right = countryBox.right + (GetClientRect().right - countryBox.right) / 2;
    const int findWidth = textWidth(findLabel) + gap, countryWidth = textWidth(countryLabel) + gap;
    const int box = std::max(1, (right - left - findWidth - countryWidth - 2 * gap) / 2);
    const int moveUp = countryBox.top - findBox.top;
    const auto place = [](HWND c, int x, int y, int w, int h) {
        ::SetWindowPos(c, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    int x = left;
    place(findLabel, x, findText.top, findWidth, findText.bottom - findText.top);
    x += findWidth;
    place(edit, x, findBox.top, box, findBox.bottom - findBox.top);
    x += box + 2 * gap;
    place(countryLabel, x, findText.top, countryWidth, countryText.bottom - countryText.top);
    x += countryWidth;
    place(combo, x, findBox.top, right - x, countryBox.bottom - countryBox.top);
    for (HWND c = ::GetWindow(m_hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        const RECT r = rectOf(c);
        if (c != findLabel && c != edit && c != countryLabel && c != combo && r.top > countryText.top)
            place(c, r.left, r.top - moveUp, r.right - r.left, r.bottom - r.top);
    }
}

void CountryCityDialog::FitToClient(std::initializer_list<int> listIds) {
    if (listIds.size() > 0)
        m_fitLists.assign(listIds);
    const auto rectOf = [this](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        return ScreenToClient(r);
    };
    // A landscape screen first gives up the find box's own row.
    const RECT area = GetClientRect();
    if (area.right > area.bottom && area.bottom > 0)
        PutFindBesideCountry();
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
