// The city list of the map view and the time planner: each row shows the
// day or night picture, the city's name and local time and, on a second
// line, one piece of information that the user steps through with two
// small buttons or the left and right keys.
#pragma once

#include <string>
#include <vector>

#include "app/CityGroupInfoListFields.h"
#include "app/CityGroupListCtrl.h"
#include "app/DayNightImageList.h"
#include "info/WorkingHours.h"

namespace OBControls {

class CityGroupInfoList : public CityGroupListCtrl {
public:
    using FieldSet = CityInfoFieldSet;

    // Loads the stored field choice kept under `listName`, if any.
    CityGroupInfoList(const std::wstring& listName, OBData::CityGroup* cityGroup, int fontSize);
    ~CityGroupInfoList() override;

    // The row pictures (not owned), or nullptr for none.
    void SetImageList(DayNightImageList* list);
    DayNightImageList* GetImageList() const { return m_images; }

    FieldSet GetFieldSet() const { return m_fieldSet; }
    void SetSelectedFields(const std::vector<int>& indexes);
    const std::wstring& GetListName() const { return m_listName; }
    int GetLineHeight() const { return m_lineHeight; }
    // Tints every row by what the shown time is for its city: working hours
    // ("work_start" to "work_end"), waking hours, or night. Light colours on
    // ordinary rows, the highlight shifted towards them on the selected one,
    // so the text reads as it does untinted.
    void SetDayPartTint(bool on);
    bool GetDayPartTint() const { return m_dayPartTint; }
    // The background of a row of a city at the shown time.
    static COLORREF TintColour(OBData::DayPart part, bool selected, COLORREF highlight);

    // The information line's text for a city at the shown time: the change
    // of its clock within the coming week, if any, else the current field.
    std::wstring GetInfoText(const OBData::City& city) const;

    bool OnCreate(CREATESTRUCT* createInfo) override;
    void OnDestroy() override;
    void StoreState() override;
    int MeasureRowHeight() override;
    void DrawRow(const RowPaint& row, OBData::City* city, const ZEP_Utility::DateTime& time) override;
    void DrawHeader(HDC dc, const ZEP_Utility::DateTime& time, const RECT& rect) override;
    bool OnKeyDown(UINT key, UINT flags) override;
    void ShowPreviousInfo() override;
    void ShowNextInfo() override;

private:
    void StepField(int delta);
    void RepaintInfoLines();
    void PlaceInfoButtons(int left, int lineTop);

    std::wstring m_listName;
    FieldSet m_fieldSet;
    DayNightImageList* m_images = nullptr;
    int m_lineHeight = 0;
    ZEP_Wnd::OwnedFont m_boldFont;
    bool m_dayPartTint = false;
};

}  // namespace OBControls
