// The part the Change Cities and Home City dialogs share: a find box, a
// drop-down of the gazetteer's countries and a list of cities. With the find
// box empty the list holds the chosen country's cities by name; with text in
// it, the cities of every country whose names hold the text, best first, as
// "Tokyo, Japan". Return or a double tap takes the highlighted city; Down
// moves from the find box into the list; Escape clears the find box, then
// cancels.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "wnd/Controls.h"
#include "wnd/Dialog.h"

namespace OBData {
class City;
}

// A control whose Return, Escape and Down keys reach `onKey` before the
// control itself or the dialog manager (which would take Return for OK and
// Escape for Cancel); keys `onKey` declines go on as usual.
template <class Control>
class KeyRoutedControl : public Control {
public:
    std::function<bool(UINT key)> onKey;

    bool OnGetDlgCode(const MSG* message, LRESULT& codes) override {
        codes = this->DefaultProc(WM_GETDLGCODE, message ? message->wParam : 0,
                                  reinterpret_cast<LPARAM>(message));
        if (message &&
            ((message->message == WM_KEYDOWN &&
              (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) ||
             (message->message == WM_CHAR && (message->wParam == L'\r' || message->wParam == 0x1B))))
            codes |= DLGC_WANTALLKEYS;
        return true;
    }
    bool OnKeyDown(UINT key, UINT flags) override {
        if ((key == VK_RETURN || key == VK_ESCAPE || key == VK_DOWN) && onKey && onKey(key))
            return true;
        return Control::OnKeyDown(key, flags);
    }
};

class CountryCityDialog : public ZEP_Wnd::Dialog {
public:
    CountryCityDialog(UINT templateId, HWND parent, int findId, int countriesId, int citiesId);

    void BindControls(bool attach) override;
    // The find box, the country drop-down and double taps on the list.
    bool OnCommand(const CommandParams& command) override;
    // A new size (the shell fitting the dialog around its bars) fits the lists again.
    bool OnSize(SIZE client) override;

    const ZEP_Wnd::ComboBox& GetCountries() const { return m_countries; }
    const ZEP_Wnd::ListBox& GetCities() const { return m_cities; }
    const ZEP_Wnd::Window& GetFindBox() const { return m_find; }

protected:
    // Every country by name, its row in the country view as the item's data;
    // the alphabetically first one selected.
    void FillCountries();
    // The selected country's cities by name, their ids as the items' data.
    void FillCities();
    // Chooses the city's country, lists its cities and scrolls the city into
    // view, selected or with only the caret on it.
    void ShowCity(const OBData::City& city, bool select);
    // Selects one row of the city list alone (-1: none) and shows it.
    void SelectCityRow(int row);
    // Whether the list shows what the find box found rather than a country.
    bool IsFinding() const { return m_finding; }
    // Lays the dialog out for its client area (ListDialogLayout: the given
    // lists take or give the height, wide controls grow with the width) and
    // on a landscape screen puts the find box and the country drop-down on
    // one row, which the lists get. The first call names the lists and comes
    // before anything else moves the controls; OnSize calls it again.
    void FitToClient(std::initializer_list<int> listIds);
    // Puts the keyboard in the find box; call at the end of OnInitDialog and
    // return false from it.
    void FocusFindBox();

    // Return in the find box or the list, or a double tap on the list: the
    // highlighted city is taken (added, or chosen).
    virtual void TakeHighlighted() = 0;
    // The list was filled anew or its selection changed.
    virtual void OnCitiesChanged() {}

    ZEP_Wnd::ComboBox m_countries;
    KeyRoutedControl<ZEP_Wnd::ListBox> m_cities;

private:
    void PutFindBesideCountry(int rowGiven);
    void ShowFound();
    bool OnFindKey(UINT key);
    bool OnListKey(UINT key);
    bool MultipleSelection() const;

    KeyRoutedControl<ZEP_Wnd::Window> m_find;
    std::vector<int> m_fitLists;
    int m_findId;
    int m_countriesId;
    int m_citiesId;
    bool m_finding = false;
    int m_findRow = 0;
};
