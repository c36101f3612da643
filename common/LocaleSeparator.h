#pragma once
// The decimal separator of the user's locale, looked up here and nowhere
// else, for every number the program reads or writes the locale's way.

namespace torvane {

// The radix character of the environment's numeric locale (LC_ALL,
// LC_NUMERIC, LANG), or '.' when that locale is unknown or its separator is
// not one byte. The process's own locale is not touched.
char LocaleDecimalSeparator();

}  // namespace torvane
