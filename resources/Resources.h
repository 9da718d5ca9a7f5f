// The program's resources: the string table, the menus and the menu bar, the
// dialog templates owned by the shell and the bitmaps. They are registered
// with the window system once at start-up, before any window is made.
#pragma once

namespace OBResources {

// Menus.
constexpr unsigned kMainMenu = 103;       // menu bar and its four popups
constexpr unsigned kCityPopupMenu = 104;  // the views' tap-and-hold menu

// Dialog templates.
constexpr unsigned kAboutBoxTemplate = 100;
constexpr unsigned kHtmlDialogTemplate = 30002;
constexpr unsigned kPickCitiesTemplate = 104;   // "Change Cities"
constexpr unsigned kHomeCityTemplate = 117;     // "Home City"
constexpr unsigned kTimePlannerTemplate = 111;  // the planner's panel

// About box controls.
constexpr int kAboutTitleId = 1101;
constexpr int kAboutTextId = 1102;

// Bitmaps.
constexpr unsigned kRowPicturesSmall = 110;    // 2 pictures of 16 x 16
constexpr unsigned kRowPicturesLarge = 1030;   // 2 pictures of 32 x 32
constexpr unsigned kPreviousInfoSmall = 1003;  // 4 frames of 14 x 14
constexpr unsigned kNextInfoSmall = 1004;
constexpr unsigned kPreviousInfoLarge = 1028;  // 4 frames of 28 x 28
constexpr unsigned kNextInfoLarge = 1029;
constexpr unsigned kBusyAnimation = 1027;  // 8 frames of 8 x 8
constexpr unsigned kCheckStates = 30001;   // 3 pictures of 16 x 16
// The nearest city bar's buttons: 4 frames each (normal, pressed, focused,
// disabled), 14 x 14 (arrows 14 x 7) and 28 x 28 (arrows 28 x 14).
constexpr unsigned kCityInfoSmall = 112, kCityInfoLarge = 124;
constexpr unsigned kAddCitySmall = 113, kAddCityLarge = 122;
constexpr unsigned kNearbyCitiesSmall = 114, kNearbyCitiesLarge = 125;
constexpr unsigned kCloseBarSmall = 115, kCloseBarLarge = 123;
constexpr unsigned kNearerCitySmall = 116, kNearerCityLarge = 121;
constexpr unsigned kFurtherCitySmall = 117, kFurtherCityLarge = 126;

// The world pictures (resource type "IMAGE"): JPEG, 640 x 320.
constexpr const wchar_t* kImageResourceType = L"IMAGE";
constexpr unsigned kWorldDayImage = 119;
constexpr unsigned kWorldNightImage = 120;

// The Add City (nearby cities), Options and Change Fields dialogs.
constexpr unsigned kNearbyCitiesTemplate = 106;
constexpr unsigned kOptionsTemplate = 116;
constexpr unsigned kChangeFieldsTemplate = 1020;
void RegisterNearbyOptionsFieldsTemplates();

// The program's version as the About box shows it.
const wchar_t* ProgramVersion();

// Registers everything; calling it again registers it again (the window
// system may have been restarted in between).
void RegisterResources();

}  // namespace OBResources
