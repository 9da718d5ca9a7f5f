// Every number by which the program names one of its resources: menus and
// commands, the string table, dialog templates and their controls, bitmaps
// and pictures. The templates (resources/*.cpp) and the windows that use them
// both read these names, so a number is written once; the tools that write
// the picture indexes (resources/*/index.txt) read them here by name too. The
// numbers themselves are fixed: tests use some of them.
//
// The window library numbers its own resources (the HTML dialog's template
// and viewer, the check list's pictures, the program icon); the templates use
// its names for those.
#pragma once

#include "platform/ui/WinTypes.h"

namespace OBResources {

// The id of a template control no code asks for (labels, frames).
constexpr WORD kNoId = 0xFFFF;

// ------------------------------------------------------------------ menus
constexpr UINT kMainMenu = 103;       // menu bar and its four popups
constexpr UINT kCityPopupMenu = 104;  // the views' tap-and-hold menu

// The menu bar's buttons, one per popup.
constexpr UINT kFileMenuButton = 40004;
constexpr UINT kViewMenuButton = 40008;
constexpr UINT kCityMenuButton = 40009;
constexpr UINT kToolsMenuButton = 40034;

// File, View and Tools: handled by the main window.
constexpr UINT kCmdAbout = 40003;
constexpr UINT kCmdExit = 40007;
constexpr UINT kCmdChangeCities = 40012;
constexpr UINT kCmdViewMap = 40027;
constexpr UINT kCmdViewPlanner = 40028;
constexpr UINT kCmdViewWeather = 40032;
constexpr UINT kCmdOptions = 40033;
// The City menu and Tools > "Update Weather": handled for the shown view.
constexpr UINT kCmdCityInformation = 44001;
constexpr UINT kCmdSetAsHome = 44002;
constexpr UINT kCmdRemoveCity = 44003;
constexpr UINT kCmdWeatherDetail = 44005;
constexpr UINT kCmdUpdateWeather = 44006;
constexpr UINT kCmdMoveUp = 44007;
constexpr UINT kCmdMoveDown = 44008;
constexpr UINT kCmdCopy = 44009;
constexpr UINT kCmdChangeFields = 40017;

// ----------------------------------------------------------- string table
constexpr UINT kNoCitiesText = 16;  // a view with no city chosen
// The nearest city bar's button tips.
constexpr UINT kAddCityTip = 17;
constexpr UINT kCityInfoTip = 18;
constexpr UINT kNearbyCitiesTip = 19;
constexpr UINT kCloseBarTip = 20;
constexpr UINT kNearerCityTip = 21;
constexpr UINT kFurtherCityTip = 22;
// The list's arrows between a city's lines of information.
constexpr UINT kPreviousInfoTip = 1007;
constexpr UINT kNextInfoTip = 1008;
// The menu bar's button texts.
constexpr UINT kFileMenuText = 40006;
constexpr UINT kViewMenuText = 104;
constexpr UINT kCityMenuText = 40011;
constexpr UINT kToolsMenuText = 40015;
// The labels of a city's fields.
constexpr UINT kDialLabel = 1002;
constexpr UINT kDistanceLabel = 1003;
constexpr UINT kSunriseLabel = 1004;
constexpr UINT kSunsetLabel = 1005;
constexpr UINT kSummerLabel = 1011;
constexpr UINT kAirportLabel = 1015;
constexpr UINT kOffsetLabel = 1016;
// The weather list's day names: Sunday to Saturday follow each other.
constexpr UINT kSundayText = 1018;
constexpr UINT kTodayText = 1025;
constexpr UINT kUpdatingText = 1033;
constexpr UINT kProgramName = 1034;  // the caption of the window and the message boxes
constexpr UINT kRemoveCityQuestion = 1035;
constexpr UINT kDataCostWarning = 1049;
// The Options dialog's choices.
constexpr UINT kKilometresText = 1036;
constexpr UINT kMilesText = 1037;
constexpr UINT kNauticalMilesText = 1038;
constexpr UINT kAmPmText = 1039;
constexpr UINT k24HourText = 1040;
constexpr UINT kLogCriticalText = 1041;
constexpr UINT kLogErrorsText = 1042;
constexpr UINT kLogWarningsText = 1043;
constexpr UINT kLogInformationText = 1044;
constexpr UINT kLogDetailText = 1045;
constexpr UINT kLogFullText = 1046;
constexpr UINT kCelsiusText = 1047;
constexpr UINT kFahrenheitText = 1048;

// ------------------------------------------------------- dialog templates
constexpr UINT kAboutBoxTemplate = 100;
constexpr UINT kPickCitiesTemplate = 104;    // "Change Cities"
constexpr UINT kNearbyCitiesTemplate = 106;  // "Add City"
constexpr UINT kTimePlannerTemplate = 111;   // the planner's panel
constexpr UINT kOptionsTemplate = 116;
constexpr UINT kHomeCityTemplate = 117;  // "Home City"
constexpr UINT kChangeFieldsTemplate = 1020;

// About box.
constexpr int kAboutTitleId = 1101;
constexpr int kAboutTextId = 1102;

// Change Cities.
constexpr int kPickCountriesId = 1001;
constexpr int kPickCitiesId = 1002;
constexpr int kPickAddId = 1003;
constexpr int kPickRemoveId = 1004;
constexpr int kPickSelectedId = 1005;
constexpr int kPickSetHomeId = 1006;
constexpr int kPickUpId = 1007;
constexpr int kPickDownId = 1008;
constexpr int kPickFindId = 1009;

// Home City.
constexpr int kHomeCountriesId = 1035;
constexpr int kHomeCitiesId = 1036;
constexpr int kHomeFindId = 1037;

// Add City (the nearby cities).
constexpr int kNearbyCountId = 1018;
constexpr int kNearbyUpdateId = 1020;
constexpr int kNearbyListId = 1011;

// Options: the drop-down lists follow each other in this order.
constexpr int kOptionsTimeFormatId = 1031;
constexpr int kOptionsDistanceUnitsId = 1032;
constexpr int kOptionsTemperatureUnitsId = 1033;
constexpr int kOptionsLogLevelId = 1034;
constexpr int kOptionsShadowId = 1015;
constexpr int kOptionsMapTwoLinesId = 1016;
constexpr int kOptionsTwilightId = 1017;
constexpr int kOptionsPlannerTwoLinesId = 1018;
constexpr int kOptionsOnCradleId = 1019;
constexpr int kOptionsOnWifiId = 1020;
constexpr int kOptionsOnDataCallId = 1021;
constexpr int kOptionsOnlyWhileRunningId = 1022;

// Change Fields.
constexpr int kFieldsMoveUpId = 1007;
constexpr int kFieldsMoveDownId = 1008;
constexpr int kFieldsListId = 1010;

// The time planner's panel.
constexpr int kPlannerSliderId = 1012;
constexpr int kPlannerEarlierId = 1013;
constexpr int kPlannerLaterId = 1014;
constexpr int kPlannerDateId = 1015;
constexpr int kPlannerNowId = 1016;
constexpr int kPlannerTimeGroupId = 1017;
constexpr int kPlannerDateGroupId = 1030;

// ---------------------------------------------------------------- bitmaps
constexpr UINT kRowPicturesSmall = 110;    // 2 pictures of 16 x 16
constexpr UINT kRowPicturesLarge = 1030;   // 2 pictures of 32 x 32
constexpr UINT kPreviousInfoSmall = 1003;  // 4 frames of 14 x 14
constexpr UINT kNextInfoSmall = 1004;
constexpr UINT kPreviousInfoLarge = 1028;  // 4 frames of 28 x 28
constexpr UINT kNextInfoLarge = 1029;
constexpr UINT kBusyAnimation = 1027;  // 8 frames of 8 x 8
// The nearest city bar's buttons: 4 frames each (normal, pressed, focused,
// disabled), 14 x 14 (arrows 14 x 7) and 28 x 28 (arrows 28 x 14).
constexpr UINT kCityInfoSmall = 112, kCityInfoLarge = 124;
constexpr UINT kAddCitySmall = 113, kAddCityLarge = 122;
constexpr UINT kNearbyCitiesSmall = 114, kNearbyCitiesLarge = 125;
constexpr UINT kCloseBarSmall = 115, kCloseBarLarge = 123;
constexpr UINT kNearerCitySmall = 116, kNearerCityLarge = 121;
constexpr UINT kFurtherCitySmall = 117, kFurtherCityLarge = 126;

// The world pictures (resource type "IMAGE"): JPEG, 640 x 320.
constexpr const wchar_t* kImageResourceType = L"IMAGE";
constexpr UINT kWorldDayImage = 119;
constexpr UINT kWorldNightImage = 120;

}  // namespace OBResources
