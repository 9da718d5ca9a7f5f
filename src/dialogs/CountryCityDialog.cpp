#include "dialogs/CountryCityDialog.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "data/City.h"
#include "data/CityFinder.h"
#include "data/Country.h"
#include "data/DataView.h"
#include "data/ReferenceLookup.h"
#include "dialogs/ListDialogLayout.h"
#include "wnd/Paint.h"

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

// "Find: [....] Country: [.... v]" on one line across the width the layout
// gave the country box, each box half of what the labels leave, at the find
// box's height; what was below the country row moves up by `rowGiven`. The
// labels are the controls just before their boxes in the template.
void CountryCityDialog::PutFindBesideCountry(int rowGiven) {
    const HWND edit = m_find.GetHandle(), combo = m_countries.GetHandle();
    const HWND findLabel = edit ? ::GetWindow(edit, GW_HWNDPREV) : nullptr;
    const HWND countryLabel = combo ? ::GetWindow(combo, GW_HWNDPREV) : nullptr;
    if (!findLabel || !countryLabel)
        return;
    const auto rectOf = [this](HWND control) { return OBControls::ControlRectInDialog(m_hwnd, control); };
    const auto textWidth = [](HWND label) {
        wchar_t text[64] = {};
        const int length = ::GetWindowText(label, text, 64);
        const ZEP_Wnd::WindowDC dc(label);
        const ZEP_Wnd::SelectGuard font(dc,
                                        reinterpret_cast<HGDIOBJ>(::SendMessage(label, WM_GETFONT, 0, 0)));
        SIZE size{0, 0};
        ::GetTextExtentPoint32(dc, text, length, &size);
        return static_cast<int>(size.cx);
    };
    const RECT findText = rectOf(findLabel), findBox = rectOf(edit), countryText = rectOf(countryLabel),
               countryBox = rectOf(combo);
    const int gap = 3 * GetSystemMetrics(SM_CXBORDER);
    const int left = findText.left, right = countryBox.right;
    const int findWidth = textWidth(findLabel) + gap, countryWidth = textWidth(countryLabel) + gap;
    const int box = std::max(1, (right - left - findWidth - countryWidth - 2 * gap) / 2);
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
            place(c, r.left, r.top - rowGiven, r.right - r.left, r.bottom - r.top);
    }
}

void CountryCityDialog::FitToClient(std::initializer_list<int> listIds) {
    if (listIds.size() > 0) {
        m_fitLists.assign(listIds);
        // The find row's height as the template placed it (the first call
        // comes before anything has moved).
        if (m_find.GetHandle() && m_countries.GetHandle())
            m_findRow = OBControls::ControlRectInDialog(m_hwnd, m_countries.GetHandle()).top -
                        OBControls::ControlRectInDialog(m_hwnd, m_find.GetHandle()).top;
    }
    // A landscape screen gives the find box's own row to the lists: they
    // are laid out as though the screen were a row taller, then everything
    // below the country row moves up into it.
    const RECT area = GetClientRect();
    const int rowGiven = area.right > area.bottom && area.bottom > 0 ? std::max(0, m_findRow) : 0;
    OBControls::FitListsToClient(m_hwnd, m_fitLists, 0, rowGiven);
    if (rowGiven > 0)
        PutFindBesideCountry(rowGiven);
}
