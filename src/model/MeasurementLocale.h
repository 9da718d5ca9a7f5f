// Whether the user's locale measures in the US system (miles, Fahrenheit).
#pragma once

namespace ob::model {

// From LC_MEASUREMENT (LC_ALL, LC_MEASUREMENT, LANG in the usual order).
// When the named locale is not installed, its territory decides: "_US".
bool LocaleUsesUsMeasurement();

}  // namespace ob::model
